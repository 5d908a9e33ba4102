#include "store/History.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/SqlText.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QJsonDocument>
#include <QJsonObject>


#include <cmath>

namespace {

const char* const kChangeGone = "Değişiklik kaydı bulunamadı";

// What a kept field must be to go back into its column. A figure (litres,
// prices, lira) is a finite number below 1e12 in magnitude: no ledger comes
// near it, and 1e308 would print as a 309-digit sum. A whole number is one
// exactly (an integer, or a double below 2^53 with no fraction). A day is a
// real 'YYYY-MM-DD'; a moment a real 'YYYY-MM-DD HH:MM:SS' or nothing; a text
// is text or nothing. Lengths are not bounded: a text column keeps what it is
// given whole.
constexpr double kLargestFigure = 1e12;
constexpr double kLargestExactWhole = 9007199254740992.0;  // 2^53

bool isWhole(const QJsonValue& value)
{
    if (!value.isDouble()) return false;
    const QVariant number = value.toVariant();
    if (number.typeId() == QMetaType::LongLong) return true;
    const double d = number.toDouble();
    return std::trunc(d) == d && std::fabs(d) < kLargestExactWhole;
}

// The stored text of a day or a moment, and nothing else.
template <typename When>
bool isStored(const QJsonValue& value, const QString& format)
{
    const QString text = value.toString();
    return value.isString() && text.size() == format.size() && When::fromString(text, format).isValid();
}

QString fieldFlaw(const schema::Column& column, const QJsonValue& value)
{
    const QString name = QString::fromLatin1(column.name);
    const QString type = QString::fromLatin1(column.type);
    const auto flaw = [&name](const char* what) { return QStringLiteral("'%1' alanı %2").arg(name, QString::fromUtf8(what)); };
    if (value.isUndefined()) return flaw("yok");
    // A ledger or factory row has its day; another day (a rate's start, a
    // payout's) may have been kept empty.
    if (type == QLatin1String("DATE"))
        return (value.isNull() && name != QLatin1String("Tarih")) || isStored<QDate>(value, kStoredDateFormat)
                   ? QString()
                   : flaw("geçerli bir gün (YYYY-AA-GG) değil");
    if (value.isNull()) return {};
    if (type == QLatin1String("REAL")) {
        if (!value.isDouble()) return flaw("sayı değil");
        return std::isfinite(value.toDouble()) && std::fabs(value.toDouble()) < kLargestFigure ? QString() : flaw("sınırların dışında");
    }
    if (type.startsWith(QLatin1String("INTEGER"))) return isWhole(value) ? QString() : flaw("tam sayı değil");
    if (type == QLatin1String("DATETIME"))
        return isStored<QDateTime>(value, kStoredMomentFormat) ? QString() : flaw("geçerli bir tarih ve saat değil");
    return value.isString() ? QString() : flaw("metin değil");
}

void appendText(QByteArray& json, QByteArrayView utf8)
{
    json += '"';
    for (const char c : utf8) {
        if (c == '"' || c == '\\') json += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            json += "\\u00";
            json += "0123456789abcdef"[c >> 4];
            json += "0123456789abcdef"[c & 15];
        } else {
            json += c;
        }
    }
    json += '"';
}

void appendValue(QByteArray& json, const Statement& row, int column)
{
    switch (row.columnType(column)) {
    case Statement::Type::Null:
        json += "null";
        break;
    case Statement::Type::Integer:
        json += QByteArray::number(row.columnInteger(column));
        break;
    case Statement::Type::Real:
        // The shortest text that reads back as the same double.
        json += QByteArray::number(row.columnReal(column), 'g', QLocale::FloatingPointShortest);
        break;
    case Statement::Type::Text:
    case Statement::Type::Blob:
        appendText(json, row.columnBytes(column));
    }
}

QString fieldList(const schema::Table& table)
{
    return table.fieldNames().join(QStringLiteral(", "));
}

}  // namespace

QString rowJson(const Connection& connection, const schema::Table& table, qint64 key)
{
    Statement row(connection, QStringLiteral("SELECT %1 FROM %2 WHERE %3=?1")
                                  .arg(fieldList(table), QString::fromLatin1(table.name), table.keyField()));
    row.bind(1, key);
    if (!row.step()) return {};
    QByteArray json = "{";
    for (int column = 0; column < row.columnCount(); ++column) {
        if (column > 0) json += ',';
        appendText(json, row.columnNameUtf8(column));
        json += ':';
        appendValue(json, row, column);
    }
    json += '}';
    return QString::fromUtf8(json);
}

QVariantMap rowFields(const QString& json)
{
    return QJsonDocument::fromJson(json.toUtf8()).object().toVariantMap();
}

KeptRow keptRow(const schema::Table& table, const QString& json, qint64 key)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {{}, QStringLiteral("kaydın önceki hâli (Onceki) okunamıyor")};
    const QJsonObject kept = document.object();
    KeptRow row;
    for (const schema::Column& column : table.columns) {
        const QJsonValue value = kept.value(QLatin1String(column.name));
        // A row kept before its table had the column.
        if (column.since > table.since && value.isUndefined()) {
            row.fields.insert(QString::fromLatin1(column.name), QVariant());
            continue;
        }
        row.flaw = fieldFlaw(column, value);
        if (row.flaw.isEmpty() && &column == &table.columns.front() && value.toVariant().toLongLong() != key)
            row.flaw = QStringLiteral("'%1' alanı kaydın numarası (%2) değil").arg(QLatin1String(column.name)).arg(key);
        if (!row.flaw.isEmpty()) return {{}, row.flaw};
        row.fields.insert(QString::fromLatin1(column.name), value.toVariant());
    }
    return row;
}

qint64 recordChange(const Connection& connection, const schema::Table& table, qint64 key, ChangeKind kind,
                    const QString& before, const QString& after, const QDateTime& when)
{
    Statement insert(connection, QStringLiteral("INSERT INTO Degisiklikler (Zaman, Tablo, Kayit_No, Islem, Onceki, Sonraki) "
                                                "VALUES (?1, ?2, ?3, ?4, ?5, ?6)") +
                                 dialectOf(connection).returning(QStringLiteral("DID")));
    insert.bind(1, when);
    insert.bind(2, QString::fromLatin1(table.name));
    insert.bind(3, key);
    insert.bind(4, kindCode(kind));
    insert.bind(5, before.isEmpty() ? QVariant() : QVariant(before));
    insert.bind(6, after.isEmpty() ? QVariant() : QVariant(after));
    insert.run();
    return insert.insertedKey();
}

namespace {

QString shownKey(const schema::Table& table, qint64 key)
{
    return QString::fromLatin1(table.name) + QLatin1Char(':') + QString::number(key);
}

// A shown field and the stored one are the same value: numbers to the bit,
// the rest as text, nothing and an empty text alike.
bool sameValue(const QVariant& shown, const QVariant& stored)
{
    if (isNumber(shown) || isNumber(stored)) return isNumber(shown) && isNumber(stored) && shown.toDouble() == stored.toDouble();
    return shown.toString() == stored.toString();
}

// The last change of the row: when, and on a server who and from where.
QString changeSince(const Connection& connection, const schema::Table& table, qint64 key, bool gone)
{
    const QString what = gone ? QStringLiteral("silindi") : QStringLiteral("değiştirildi");
    QString when;
    QString by;
    if (connection.isServer()) {
        Statement mark(connection, QStringLiteral("SELECT Zaman, Kullanici, Bilgisayar FROM Kayit_Izleri WHERE Tablo=?1 AND Kayit_No=?2"));
        mark.bind(1, QString::fromLatin1(table.name).toLower());
        mark.bind(2, key);
        if (mark.step()) {
            when = mark.column(0).toString();
            by = QStringLiteral(" %1 tarafından %2 bilgisayarından").arg(mark.column(1).toString(), mark.column(2).toString());
        }
    } else {
        Statement last(connection, QStringLiteral("SELECT Zaman FROM Degisiklikler WHERE Tablo=?1 AND Kayit_No=?2 ORDER BY DID DESC LIMIT 1"));
        last.bind(1, QString::fromLatin1(table.name));
        last.bind(2, key);
        if (last.step()) when = last.column(0).toString();
    }
    const QDateTime moment = QDateTime::fromString(when, kStoredMomentFormat);
    const QString at = moment.isValid() ? QStringLiteral(" %1'de").arg(moment.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))) : QString();
    return QStringLiteral("Bu kayıt (%1 numara) siz seçtikten sonra%2%3 %4. Sizin değişikliğiniz saklanmadı; kaydın şimdiki hâli "
                          "yeniden yüklendi, bakıp yeniden deneyin.")
        .arg(key)
        .arg(at, by, what);
}

}  // namespace

void rememberShown(const Connection& connection, const schema::Table& table, qint64 key, const QVariantMap& fields)
{
    connection.shownRows().insert(shownKey(table, key), fields);
}

RecordedChange::RecordedChange(const Connection& connection, const schema::Table& table, qint64 key)
    : connection_(connection), table_(table), key_(key)
{
    const QVariantMap shown = connection.shownRows().take(shownKey(table, key));
    if (!table.recorded) return;
    transaction_.emplace(connection);
    // Desks at once: the second of two changes of one row waits here for the
    // first, then sees what it left.
    if (connection.isServer()) {
        Statement lock(connection, QStringLiteral("SELECT 1 FROM %1 WHERE %2=?1 FOR UPDATE").arg(QLatin1String(table.name), table.keyField()));
        lock.bind(1, key);
        lock.run();
    }
    before_ = rowJson(connection, table, key);
    refuseChangedRow(connection, table, key, shown, before_);
}

void refuseChangedRow(const Connection& connection, const schema::Table& table, qint64 key, const QVariantMap& shown, const QString& stored)
{
    if (shown.isEmpty()) return;
    const QVariantMap fields = rowFields(stored);
    const bool gone = fields.isEmpty();
    for (auto field = shown.begin(); field != shown.end(); ++field)
        if (gone || (fields.contains(field.key()) && !sameValue(field.value(), fields.value(field.key()))))
            throw RowChanged(changeSince(connection, table, key, gone).toStdString());
}

void refuseIfGone(const Connection& connection, const schema::Table& table, qint64 key)
{
    refuseChangedRow(connection, table, key, connection.shownRows().take(shownKey(table, key)), {});
}

qint64 RecordedChange::commit(ChangeKind kind)
{
    if (!transaction_) return 0;
    const QString after = kind == ChangeKind::Deletion ? QString() : rowJson(connection_, table_, key_);
    const qint64 change = after == before_ ? 0 : recordChange(connection_, table_, key_, kind, before_, after);
    transaction_->commit();
    return change;
}

Restoration restoreDeleted(const Connection& connection, qint64 changeKey, const RestoreCheck& check)
{
    Transaction transaction(connection);
    Statement change(connection, QStringLiteral("SELECT Tablo, Kayit_No, Islem, Onceki, typeof(Kayit_No) FROM Degisiklikler WHERE DID=?1"));
    change.bind(1, changeKey);
    if (!change.step()) throw DatabaseError(DatabaseError::kNotEngine, kChangeGone);
    const QString tableName = change.column(0).toString();
    const qint64 key = change.column(1).toLongLong();
    if (change.column(2).toString() != kindCode(ChangeKind::Deletion)) return {Restoration::Outcome::NotADeletion, tableName, key, {}};
    const auto damaged = [&](const QString& flaw) { return Restoration{Restoration::Outcome::Damaged, tableName, key, flaw}; };
    const schema::Table* table = schema::tableNamed(tableName);
    if (!table || !table->recorded) return damaged(QStringLiteral("'Tablo' alanı kaydedilen bir tablo değil"));
    if (change.column(4).toString() != QLatin1String("integer") || key <= 0)
        return damaged(QStringLiteral("'Kayit_No' alanı pozitif bir tam sayı değil"));

    // Keys are never given out again, so after its last change, a deletion,
    // the key is free; anything later (a restore) has taken it back.
    Statement later(connection, QStringLiteral("SELECT 1 FROM Degisiklikler WHERE Tablo=?1 AND Kayit_No=?2 AND DID>?3 LIMIT 1"));
    later.bind(1, tableName);
    later.bind(2, key);
    later.bind(3, changeKey);
    if (later.step()) return {Restoration::Outcome::Superseded, tableName, key, {}};

    const KeptRow kept = keptRow(*table, change.column(3).toString(), key);
    if (!kept.flaw.isEmpty()) return damaged(kept.flaw);
    Statement taken(connection, QStringLiteral("SELECT 1 FROM %1 WHERE %2=?1").arg(tableName, table->keyField()));
    taken.bind(1, key);
    if (taken.step()) return damaged(QStringLiteral("%1 numaralı kayıt zaten var").arg(key));
    if (check && !check(*table, kept.fields)) return {Restoration::Outcome::Refused, tableName, key, {}};

    const QStringList names = table->fieldNames();
    QStringList marks;
    for (int i = 1; i <= names.size(); ++i) marks << QStringLiteral("?%1").arg(i);
    Statement insert(connection, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                     .arg(tableName, fieldList(*table), marks.join(QStringLiteral(", "))));
    for (int i = 0; i < names.size(); ++i) insert.bind(i + 1, kept.fields.value(names[i]));
    insert.run();
    recordChange(connection, *table, key, ChangeKind::Restore, {}, rowJson(connection, *table, key));
    transaction.commit();
    return {Restoration::Outcome::Restored, tableName, key, {}};
}
