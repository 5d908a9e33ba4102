#include "store/Query.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"

#include <QDateTime>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {

struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Field names are matched as the engine matches column names: ASCII letter case ignored.
QString fieldKey(const QString& field)
{
    return field.toLower();
}

[[noreturn]] void fieldNotFound(const QString& field)
{
    throw DatabaseError(0, QStringLiteral("Field '%1' not found").arg(field).toStdString());
}

int lookup(const QHash<QString, int>& index, const QString& field)
{
    const auto found = index.constFind(fieldKey(field));
    if (found == index.constEnd()) fieldNotFound(field);
    return found.value();
}

QVariant columnValue(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                                          sqlite3_column_bytes(statement, column)));
    case SQLITE_BLOB: {
        const char* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(statement, column)));
    }
    default:
        return QVariant();
    }
}

bool isNumber(const QVariant& value)
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
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isIntegral(const QVariant& value)
{
    return isNumber(value) && value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float;
}

bool sameNumber(const QVariant& a, const QVariant& b)
{
    if (isIntegral(a) && isIntegral(b)) return a.toLongLong() == b.toLongLong();
    return a.toDouble() == b.toDouble();
}

// The text a value takes when the engine compares it with a text column.
QString asStoredText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 17);
    default:
        return isIntegral(value) ? QString::number(value.toLongLong()) : value.toString();
    }
}

// A whole-value match: text exactly, numbers by value, a date against its stored text.
bool matches(const QVariant& stored, const QVariant& wanted)
{
    const bool storedNull = !stored.isValid() || stored.isNull();
    const bool wantedNull = !wanted.isValid() || wanted.isNull();
    if (storedNull || wantedNull) return storedNull && wantedNull;
    if (isNumber(stored)) {
        if (isNumber(wanted)) return sameNumber(stored, wanted);
        if (wanted.typeId() == QMetaType::QString) {
            bool ok = false;
            const double number = wanted.toString().toDouble(&ok);
            return ok && number == stored.toDouble();
        }
        return false;
    }
    if (stored.typeId() == QMetaType::QByteArray) return wanted.typeId() == QMetaType::QByteArray && stored == wanted;
    return stored.toString() == asStoredText(wanted);
}

}  // namespace

QVariant Record::value(const QString& field) const
{
    return values_[static_cast<size_t>(lookup(index_, field))];
}

void Record::setValue(const QString& field, const QVariant& value)
{
    values_[static_cast<size_t>(lookup(index_, field))] = value;
}

double Record::asFloat(const QString& field) const
{
    const QVariant v = value(field);
    return v.isNull() ? 0.0 : v.toDouble();
}

Query::Query(Connection& connection, QStringList sql) : SQL(std::move(sql)), connection_(connection) {}

void Query::open()
{
    if (open_) close();

    sqlite3* db = connection_.handle();
    const QByteArray text = SQL.join(QLatin1Char('\n')).toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &raw, &tail);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK) connection_.fail(rc);
    if (!statement) throw DatabaseError(SQLITE_MISUSE, "The query has no SQL statement");
    {
        // A second statement would silently not run; refuse it instead.
        const int rest = static_cast<int>(text.constData() + text.size() - tail);
        sqlite3_stmt* extra = nullptr;
        rc = sqlite3_prepare_v2(db, tail, rest, &extra, nullptr);
        StatementHandle extraStatement(extra);
        if (rc != SQLITE_OK) connection_.fail(rc);
        if (extraStatement) throw DatabaseError(SQLITE_MISUSE, "The query holds more than one SQL statement");
    }

    const int columns = sqlite3_column_count(statement.get());
    QStringList names;
    QHash<QString, int> index;
    const auto addName = [&](const QString& name) {
        index.insert(fieldKey(name), static_cast<int>(names.size()));
        names << name;
    };
    for (int column = 0; column < columns; ++column) {
        const QString name = QString::fromUtf8(sqlite3_column_name(statement.get(), column));
        // With two columns of one name the first one answers, as it does by name elsewhere.
        if (index.contains(fieldKey(name))) {
            names << name;
            continue;
        }
        addName(name);
    }
    for (const QString& name : calculatedFields) {
        if (index.contains(fieldKey(name))) throw DatabaseError(0, QStringLiteral("Field '%1' already exists").arg(name).toStdString());
        addName(name);
    }

    std::vector<std::vector<QVariant>> rows;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        std::vector<QVariant> values(static_cast<size_t>(names.size()));
        for (int column = 0; column < columns; ++column) values[static_cast<size_t>(column)] = columnValue(statement.get(), column);
        if (onCalcFields) {
            Record record(index, values);
            onCalcFields(record);
        }
        rows.push_back(std::move(values));
    }
    if (rc != SQLITE_DONE) connection_.fail(rc);

    names_ = std::move(names);
    index_ = std::move(index);
    rows_ = std::move(rows);
    open_ = true;
    current_ = rows_.empty() ? -1 : 0;
    eof_ = rows_.empty();
    emit opened();
    if (current_ >= 0) emit currentChanged(current_);
}

void Query::close()
{
    open_ = false;
    names_.clear();
    index_.clear();
    rows_.clear();
    current_ = -1;
    eof_ = true;
    emit closed();
}

void Query::setCurrent(int row, bool eof)
{
    if (rows_.empty()) {
        eof_ = true;
        return;
    }
    eof_ = eof;
    if (row == current_) return;
    current_ = row;
    emit currentChanged(current_);
}

void Query::first()
{
    setCurrent(0, false);
}

void Query::next()
{
    if (current_ + 1 >= recordCount()) {
        setCurrent(current_, true);
        return;
    }
    setCurrent(current_ + 1, false);
}

void Query::prior()
{
    setCurrent(current_ > 0 ? current_ - 1 : 0, false);
}

void Query::moveTo(int row)
{
    setCurrent(std::clamp(row, 0, std::max(0, recordCount() - 1)), false);
}

bool Query::locate(const QString& field, const QVariant& value)
{
    if (!open_) return false;
    const int column = fieldIndex(field);
    for (int row = 0; row < recordCount(); ++row) {
        if (matches(rows_[static_cast<size_t>(row)][static_cast<size_t>(column)], value)) {
            setCurrent(row, false);
            return true;
        }
    }
    return false;
}

int Query::fieldIndex(const QString& field) const
{
    return lookup(index_, field);
}

QVariant Query::value(const QString& field) const
{
    return valueAt(current_, field);
}

QString Query::asString(const QString& field) const
{
    return value(field).toString();
}

double Query::asFloat(const QString& field) const
{
    const QVariant v = value(field);
    return v.isNull() ? 0.0 : v.toDouble();
}

bool Query::isNull(const QString& field) const
{
    return value(field).isNull();
}

QVariant Query::valueAt(int row, const QString& field) const
{
    if (!open_) return {};
    const int column = fieldIndex(field);
    if (row < 0 || row >= recordCount()) return {};
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}
