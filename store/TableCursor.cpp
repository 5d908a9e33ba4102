#include "store/TableCursor.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"

#include <QDate>
#include <QDateTime>

#include <sqlite3.h>

#include <memory>

namespace {

struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

const char* const kClosed = "Cannot perform this operation on a closed dataset";
const char* const kEmpty = "Cannot perform this operation on an empty dataset";
const char* const kNotEditing = "Dataset not in edit or insert mode";
const char* const kRowGone = "Record not found or changed by another user";

QString identifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

StatementHandle prepare(const Connection& connection, const QString& sql)
{
    sqlite3* db = connection.handle();
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &raw, nullptr);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK) connection.fail(rc);
    return statement;
}

void bindText(const Connection& connection, sqlite3_stmt* statement, int position, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const int rc = sqlite3_bind_text(statement, position, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) connection.fail(rc);
}

// Values go in the form the day fields and the numbers are stored in.
void bind(const Connection& connection, sqlite3_stmt* statement, int position, const QVariant& value)
{
    int rc = SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        rc = sqlite3_bind_null(statement, position);
        break;
    case QMetaType::QDate: {
        const QDate date = value.toDate();
        if (!date.isValid()) {
            rc = sqlite3_bind_null(statement, position);
            break;
        }
        bindText(connection, statement, position, date.toString(QStringLiteral("yyyy-MM-dd")));
        return;
    }
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        if (!moment.isValid()) {
            rc = sqlite3_bind_null(statement, position);
            break;
        }
        bindText(connection, statement, position, moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        return;
    }
    case QMetaType::Bool:
        rc = sqlite3_bind_int(statement, position, value.toBool() ? 1 : 0);
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        rc = sqlite3_bind_double(statement, position, value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        rc = sqlite3_bind_int64(statement, position, value.toLongLong());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        rc = sqlite3_bind_blob(statement, position, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default:
        if (value.isNull()) {
            rc = sqlite3_bind_null(statement, position);
            break;
        }
        bindText(connection, statement, position, value.toString());
        return;
    }
    if (rc != SQLITE_OK) connection.fail(rc);
}

void run(const Connection& connection, sqlite3_stmt* statement)
{
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) connection.fail(rc);
}

// The key of the first row the statement yields, 0 when it yields none.
qint64 firstKey(const Connection& connection, sqlite3_stmt* statement)
{
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) return sqlite3_column_int64(statement, 0);
    if (rc != SQLITE_DONE) connection.fail(rc);
    return 0;
}

}  // namespace

RowWrite& RowWrite::setField(const QString& field, const QVariant& value)
{
    if (posted_) throw DatabaseError(0, kNotEditing);
    for (auto& [name, held] : fields_) {
        if (name.compare(field, Qt::CaseInsensitive) == 0) {
            held = value;
            return *this;
        }
    }
    fields_.emplace_back(field, value);
    return *this;
}

qint64 RowWrite::post()
{
    if (posted_) throw DatabaseError(0, kNotEditing);
    const qint64 key = cursor_->write(key_, fields_);
    posted_ = true;
    key_ = key;
    return key;
}

TableCursor::TableCursor(Connection& connection, QString table, QString keyField)
    : connection_(connection), table_(std::move(table)), key_(std::move(keyField))
{
}

void TableCursor::open()
{
    prepare(connection_, QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(identifier(key_), identifier(table_)));
    open_ = true;
    first();
}

void TableCursor::close()
{
    open_ = false;
    current_ = 0;
}

void TableCursor::requireOpen() const
{
    if (!open_) throw DatabaseError(0, kClosed);
}

bool TableCursor::locate(const QString& field, const QVariant& value)
{
    requireOpen();
    const StatementHandle statement =
        prepare(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %3=? ORDER BY %1 LIMIT 1")
                                 .arg(identifier(key_), identifier(table_), identifier(field)));
    bind(connection_, statement.get(), 1, value);
    const qint64 key = firstKey(connection_, statement.get());
    if (key == 0) return false;
    current_ = key;
    return true;
}

bool TableCursor::first()
{
    requireOpen();
    const StatementHandle statement =
        prepare(connection_, QStringLiteral("SELECT %1 FROM %2 ORDER BY %1 LIMIT 1").arg(identifier(key_), identifier(table_)));
    current_ = firstKey(connection_, statement.get());
    return current_ != 0;
}

QVariant TableCursor::fieldValue(const QString& field) const
{
    requireOpen();
    const StatementHandle statement =
        prepare(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %3=?").arg(identifier(field), identifier(table_), identifier(key_)));
    if (current_ == 0) return {};
    sqlite3_bind_int64(statement.get(), 1, current_);
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) return {};
    if (rc != SQLITE_ROW) connection_.fail(rc);
    switch (sqlite3_column_type(statement.get(), 0)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement.get(), 0)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement.get(), 0));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0)),
                                          sqlite3_column_bytes(statement.get(), 0)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(statement.get(), 0)),
                                   sqlite3_column_bytes(statement.get(), 0)));
    default:
        return {};
    }
}

RowWrite TableCursor::append()
{
    requireOpen();
    return RowWrite(*this, 0);
}

RowWrite TableCursor::edit()
{
    requireOpen();
    if (current_ == 0) throw DatabaseError(0, kEmpty);
    return RowWrite(*this, current_);
}

void TableCursor::deleteCurrent()
{
    requireOpen();
    if (current_ == 0) throw DatabaseError(0, kEmpty);
    const QString key = identifier(key_);
    const QString table = identifier(table_);
    {
        const StatementHandle statement = prepare(connection_, QStringLiteral("DELETE FROM %1 WHERE %2=?").arg(table, key));
        sqlite3_bind_int64(statement.get(), 1, current_);
        run(connection_, statement.get());
        if (sqlite3_changes(connection_.handle()) == 0) throw DatabaseError(0, kRowGone);
    }
    // The row after the deleted one becomes current, else the one before.
    const StatementHandle after =
        prepare(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %1>? ORDER BY %1 LIMIT 1").arg(key, table));
    sqlite3_bind_int64(after.get(), 1, current_);
    qint64 next = firstKey(connection_, after.get());
    if (next == 0) {
        const StatementHandle before =
            prepare(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %1<? ORDER BY %1 DESC LIMIT 1").arg(key, table));
        sqlite3_bind_int64(before.get(), 1, current_);
        next = firstKey(connection_, before.get());
    }
    current_ = next;
}

qint64 TableCursor::write(qint64 key, const std::vector<std::pair<QString, QVariant>>& fields)
{
    requireOpen();
    const QString table = identifier(table_);
    if (key == 0) {
        QStringList names;
        QStringList marks;
        for (const auto& field : fields) {
            names << identifier(field.first);
            marks << QStringLiteral("?");
        }
        const QString sql = fields.empty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                           : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                 .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        const StatementHandle statement = prepare(connection_, sql);
        for (size_t i = 0; i < fields.size(); ++i) bind(connection_, statement.get(), static_cast<int>(i) + 1, fields[i].second);
        run(connection_, statement.get());
        current_ = sqlite3_last_insert_rowid(connection_.handle());
        return current_;
    }

    if (fields.empty()) {
        // Nothing to change, but the row must still be there.
        const StatementHandle statement =
            prepare(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %1=?").arg(identifier(key_), table));
        sqlite3_bind_int64(statement.get(), 1, key);
        if (firstKey(connection_, statement.get()) == 0) throw DatabaseError(0, kRowGone);
    } else {
        QStringList assignments;
        for (const auto& field : fields) assignments << identifier(field.first) + QStringLiteral("=?");
        const StatementHandle statement =
            prepare(connection_, QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                     .arg(table, assignments.join(QStringLiteral(", ")), identifier(key_)));
        int position = 1;
        for (const auto& field : fields) bind(connection_, statement.get(), position++, field.second);
        sqlite3_bind_int64(statement.get(), position, key);
        run(connection_, statement.get());
        if (sqlite3_changes(connection_.handle()) == 0) throw DatabaseError(0, kRowGone);
    }
    current_ = key;
    return key;
}
