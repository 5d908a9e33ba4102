#include "store/History.h"

#include "store/DatabaseError.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char* const kChangeGone = "Değişiklik kaydı bulunamadı";
const char* const kUnknownTable = "Değişiklik kaydı bilinmeyen bir tabloya ait";

void appendText(QString& json, const QString& text)
{
    json += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) json += QLatin1Char('\\');
        if (c.unicode() < 0x20)
            json += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            json += c;
    }
    json += QLatin1Char('"');
}

void appendValue(QString& json, const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        json += QStringLiteral("null");
        break;
    case QMetaType::LongLong:
        json += QString::number(value.toLongLong());
        break;
    case QMetaType::Double:
        // The shortest text that reads back as the same double.
        json += QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        break;
    default:
        appendText(json, value.toString());
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
    QString json = QStringLiteral("{");
    for (int column = 0; column < row.columnCount(); ++column) {
        if (column > 0) json += QLatin1Char(',');
        appendText(json, row.columnName(column));
        json += QLatin1Char(':');
        appendValue(json, row.column(column));
    }
    return json + QLatin1Char('}');
}

QVariantMap rowFields(const QString& json)
{
    return QJsonDocument::fromJson(json.toUtf8()).object().toVariantMap();
}

qint64 recordChange(const Connection& connection, const schema::Table& table, qint64 key, ChangeKind kind,
                    const QString& before, const QString& after)
{
    Statement insert(connection, QStringLiteral("INSERT INTO Degisiklikler (Zaman, Tablo, Kayit_No, Islem, Onceki, Sonraki) "
                                                "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    insert.bind(1, QDateTime::currentDateTime());
    insert.bind(2, QString::fromLatin1(table.name));
    insert.bind(3, key);
    insert.bind(4, kindCode(kind));
    insert.bind(5, before.isEmpty() ? QVariant() : QVariant(before));
    insert.bind(6, after.isEmpty() ? QVariant() : QVariant(after));
    insert.run();
    Statement last(connection, QStringLiteral("SELECT last_insert_rowid()"));
    last.step();
    return last.column(0).toLongLong();
}

RecordedChange::RecordedChange(const Connection& connection, const schema::Table& table, qint64 key)
    : connection_(connection), table_(table), key_(key)
{
    if (!table.recorded) return;
    transaction_.emplace(connection);
    before_ = rowJson(connection, table, key);
}

qint64 RecordedChange::commit(ChangeKind kind)
{
    if (!transaction_) return 0;
    const QString after = kind == ChangeKind::Deletion ? QString() : rowJson(connection_, table_, key_);
    const qint64 change = after == before_ ? 0 : recordChange(connection_, table_, key_, kind, before_, after);
    transaction_->commit();
    return change;
}

Restoration restoreDeleted(const Connection& connection, qint64 changeKey)
{
    Transaction transaction(connection);
    Statement change(connection, QStringLiteral("SELECT Tablo, Kayit_No, Islem, Onceki FROM Degisiklikler WHERE DID=?1"));
    change.bind(1, changeKey);
    if (!change.step()) throw DatabaseError(DatabaseError::kNotEngine, kChangeGone);
    const QString tableName = change.column(0).toString();
    const qint64 key = change.column(1).toLongLong();
    if (change.column(2).toString() != kindCode(ChangeKind::Deletion)) return {Restoration::Outcome::NotADeletion, tableName};
    const schema::Table* table = schema::tableNamed(tableName);
    if (!table || !table->recorded) throw DatabaseError(DatabaseError::kNotEngine, kUnknownTable);

    // Keys are never given out again, so after its last change, a deletion,
    // the key is free; anything later (a restore) has taken it back.
    Statement later(connection, QStringLiteral("SELECT 1 FROM Degisiklikler WHERE Tablo=?1 AND Kayit_No=?2 AND DID>?3 LIMIT 1"));
    later.bind(1, tableName);
    later.bind(2, key);
    later.bind(3, changeKey);
    if (later.step()) return {Restoration::Outcome::Superseded, tableName};

    const QVariantMap fields = rowFields(change.column(3).toString());
    const QStringList names = table->fieldNames();
    QStringList marks;
    for (int i = 1; i <= names.size(); ++i) marks << QStringLiteral("?%1").arg(i);
    Statement insert(connection, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                     .arg(tableName, fieldList(*table), marks.join(QStringLiteral(", "))));
    for (int i = 0; i < names.size(); ++i) insert.bind(i + 1, i == 0 ? QVariant(key) : fields.value(names[i]));
    insert.run();
    recordChange(connection, *table, key, ChangeKind::Restore, {}, rowJson(connection, *table, key));
    transaction.commit();
    return {Restoration::Outcome::Restored, tableName};
}
