#include "store/History.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <sqlite3.h>

namespace {

const char* const kChangeGone = "Değişiklik kaydı bulunamadı";
const char* const kUnknownTable = "Değişiklik kaydı bilinmeyen bir tabloya ait";

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

qint64 recordChange(const Connection& connection, const schema::Table& table, qint64 key, ChangeKind kind,
                    const QString& before, const QString& after, const QDateTime& when)
{
    Statement insert(connection, QStringLiteral("INSERT INTO Degisiklikler (Zaman, Tablo, Kayit_No, Islem, Onceki, Sonraki) "
                                                "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    insert.bind(1, when);
    insert.bind(2, QString::fromLatin1(table.name));
    insert.bind(3, key);
    insert.bind(4, kindCode(kind));
    insert.bind(5, before.isEmpty() ? QVariant() : QVariant(before));
    insert.bind(6, after.isEmpty() ? QVariant() : QVariant(after));
    insert.run();
    return sqlite3_last_insert_rowid(connection.handle());
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
    if (change.column(2).toString() != kindCode(ChangeKind::Deletion)) return {Restoration::Outcome::NotADeletion, tableName, key};
    const schema::Table* table = schema::tableNamed(tableName);
    if (!table || !table->recorded) throw DatabaseError(DatabaseError::kNotEngine, kUnknownTable);

    // Keys are never given out again, so after its last change, a deletion,
    // the key is free; anything later (a restore) has taken it back.
    Statement later(connection, QStringLiteral("SELECT 1 FROM Degisiklikler WHERE Tablo=?1 AND Kayit_No=?2 AND DID>?3 LIMIT 1"));
    later.bind(1, tableName);
    later.bind(2, key);
    later.bind(3, changeKey);
    if (later.step()) return {Restoration::Outcome::Superseded, tableName, key};

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
    return {Restoration::Outcome::Restored, tableName, key};
}
