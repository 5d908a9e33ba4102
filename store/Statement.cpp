#include "store/Statement.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/FaultText.h"
#include "store/PgConnection.h"
#include "store/ServerSql.h"

#include <QDateTime>

#include <cstring>

#include <libpq-fe.h>
#include <sqlite3.h>

Statement::Statement(sqlite3* db, const QString& sql)
{
    prepare(db, sql);
}

void Statement::prepare(sqlite3* db, const QString& sql)
{
    db_ = db;
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &statement_, &tail);
    if (rc != SQLITE_OK) fail(rc);
    if (tail) rest_ = QByteArray(tail, static_cast<int>(text.constData() + text.size() - tail));
}

Statement::Statement(const Connection& connection, const QString& sql)
{
    if (!connection.isServer()) {
        prepare(connection.handle(), sql);
        return;
    }
    server_ = &connection.server();
    sql_ = sql;
    serverText_ = serverPlaceholders(sql);
}

Statement::~Statement()
{
    sqlite3_finalize(statement_);
}

void Statement::runOnServer() const
{
    if (result_) return;
    result_ = server_->run(serverText_, values_);
    row_ = -1;
}

const char* Statement::serverValue(int column) const
{
    runOnServer();
    // Past the rows, as the engine, every column is empty.
    const char* value = PQgetvalue(result_.get(), row_, column);
    return value ? value : "";
}

void Statement::fail(int code) const
{
    const QString engineText = QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
    throw DatabaseError(code, engineErrorText(code, engineText), engineText.toStdString());
}

bool isWholeNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
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
        return true;
    default:
        return false;
    }
}

bool isNumber(const QVariant& value)
{
    return isWholeNumber(value) || value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

void Statement::bind(int position, const QVariant& value)
{
    if (server_) {
        if (values_.size() < position) values_.resize(position);
        values_[position - 1] = value;
        return;
    }
    const auto bindText = [&](const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_bind_text(statement_, position, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    };
    int rc = SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        rc = sqlite3_bind_null(statement_, position);
        break;
    case QMetaType::QDate:
        rc = value.toDate().isValid() ? bindText(value.toDate().toString(kStoredDateFormat))
                                      : sqlite3_bind_null(statement_, position);
        break;
    case QMetaType::QDateTime:
        rc = value.toDateTime().isValid() ? bindText(value.toDateTime().toString(kStoredMomentFormat))
                                          : sqlite3_bind_null(statement_, position);
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        rc = sqlite3_bind_blob(statement_, position, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default:
        if (value.isNull())
            rc = sqlite3_bind_null(statement_, position);
        else if (isWholeNumber(value))
            rc = sqlite3_bind_int64(statement_, position, value.toLongLong());
        else if (isNumber(value))
            rc = sqlite3_bind_double(statement_, position, value.toDouble());
        else
            rc = bindText(value.toString());
        break;
    }
    if (rc != SQLITE_OK) fail(rc);
}

bool Statement::step()
{
    if (server_) {
        runOnServer();
        return ++row_ < PQntuples(result_.get());
    }
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) fail(rc);
    return false;
}

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset()
{
    if (server_) {
        result_.reset();
        values_.clear();
        row_ = -1;
        return;
    }
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

qint64 Statement::changes() const
{
    if (server_) return result_ ? QByteArray(PQcmdTuples(result_.get())).toLongLong() : 0;
    return sqlite3_changes64(db_);
}

qint64 Statement::insertedKey() const
{
    if (server_) return result_ && PQntuples(result_.get()) > 0 ? QByteArray(PQgetvalue(result_.get(), 0, 0)).toLongLong() : 0;
    return sqlite3_last_insert_rowid(db_);
}

int Statement::columnCount() const
{
    if (server_) {
        runOnServer();
        return PQnfields(result_.get());
    }
    return sqlite3_column_count(statement_);
}

QByteArrayView Statement::columnNameUtf8(int column) const
{
    if (server_) {
        runOnServer();
        if (names_.isEmpty()) {
            for (int c = 0; c < PQnfields(result_.get()); ++c) names_ << declaredName(PQfname(result_.get(), c));
        }
        return QByteArrayView(names_[column]);
    }
    return QByteArrayView(sqlite3_column_name(statement_, column));
}

QString Statement::columnName(int column) const
{
    if (server_) return QString::fromUtf8(columnNameUtf8(column));
    return QString::fromUtf8(sqlite3_column_name(statement_, column));
}

Statement::Type Statement::columnType(int column) const
{
    if (server_) {
        runOnServer();
        if (row_ < 0 || row_ >= PQntuples(result_.get()) || PQgetisnull(result_.get(), row_, column)) return Type::Null;
        switch (PQftype(result_.get(), column)) {
        case kPgBool:
        case kPgInt2:
        case kPgInt4:
        case kPgInt8:
        case kPgOid:
            return Type::Integer;
        case kPgFloat4:
        case kPgFloat8:
            return Type::Real;
        // An exact sum is whole where the engine's is an integer, and a
        // number with a fraction where it divided.
        case kPgNumeric:
            return std::strchr(serverValue(column), '.') ? Type::Real : Type::Integer;
        case kPgBytea:
            return Type::Blob;
        default:
            return Type::Text;
        }
    }
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

qint64 Statement::columnInteger(int column) const
{
    if (server_) {
        const char* text = serverValue(column);
        if (PQftype(result_.get(), column) == kPgBool) return text[0] == 't';
        return columnType(column) == Type::Real ? static_cast<qint64>(columnReal(column)) : QByteArray(text).toLongLong();
    }
    return sqlite3_column_int64(statement_, column);
}

double Statement::columnReal(int column) const
{
    if (server_) return QByteArray(serverValue(column)).toDouble();
    return sqlite3_column_double(statement_, column);
}

QByteArrayView Statement::columnBytes(int column) const
{
    if (server_) return QByteArrayView(serverValue(column), PQgetlength(result_.get(), row_, column));
    // The pointer first, then its length, as the engine asks.
    const void* data = sqlite3_column_type(statement_, column) == SQLITE_TEXT
                           ? static_cast<const void*>(sqlite3_column_text(statement_, column))
                           : sqlite3_column_blob(statement_, column);
    return QByteArrayView(static_cast<const char*>(data), sqlite3_column_bytes(statement_, column));
}

QVariant Statement::column(int column) const
{
    if (server_) {
        switch (columnType(column)) {
        case Type::Null:
            return QVariant();
        case Type::Integer:
            return QVariant(static_cast<qlonglong>(columnInteger(column)));
        case Type::Real:
            return QVariant(columnReal(column));
        default:
            return QVariant(QString::fromUtf8(columnBytes(column)));
        }
    }
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement_, column));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement_, column)),
                                          sqlite3_column_bytes(statement_, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(statement_, column)),
                                   sqlite3_column_bytes(statement_, column)));
    default:
        return QVariant();
    }
}
