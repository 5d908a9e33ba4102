#include "store/Query.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Statement.h"

#include <QDateTime>

#include <sqlite3.h>

#include <algorithm>

namespace {

// Field names are matched as the engine matches column names: ASCII letter case ignored.
QString fieldKey(const QString& field)
{
    return field.toLower();
}

[[noreturn]] void fieldNotFound(const QString& field)
{
    throw DatabaseError(DatabaseError::kNotEngine, QStringLiteral("'%1' alanı bulunamadı").arg(field).toStdString());
}

// The index holds every name as the query spells it and in lower case, so
// that the usual spelling is found without making a new text.
int find(const QHash<QString, int>& index, const QString& field)
{
    auto found = index.constFind(field);
    if (found == index.constEnd()) found = index.constFind(fieldKey(field));
    return found == index.constEnd() ? -1 : found.value();
}

int lookup(const QHash<QString, int>& index, const QString& field)
{
    const int column = find(index, field);
    if (column < 0) fieldNotFound(field);
    return column;
}

bool sameNumber(const QVariant& a, const QVariant& b)
{
    if (isWholeNumber(a) && isWholeNumber(b)) return a.toLongLong() == b.toLongLong();
    return a.toDouble() == b.toDouble();
}

// The text a value takes when the engine compares it with a text column.
QString asStoredText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(kStoredDateFormat);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(kStoredMomentFormat);
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 17);
    default:
        return isWholeNumber(value) ? QString::number(value.toLongLong()) : value.toString();
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

void RowStore::reset(int width)
{
    cells_.clear();
    bytes_.clear();
    others_.clear();
    width_ = static_cast<size_t>(width);
    rows_ = 0;
}

void RowStore::addRow(const Statement& statement, int columns)
{
    cells_.resize(cells_.size() + width_);
    const int row = rows_++;
    for (int column = 0; column < columns; ++column) {
        Cell& c = cell(row, column);
        switch (statement.columnType(column)) {
        case Statement::Type::Integer:
            c.kind = Kind::Integer;
            c.integer = statement.columnInteger(column);
            break;
        case Statement::Type::Real:
            c.kind = Kind::Real;
            c.real = statement.columnReal(column);
            break;
        case Statement::Type::Text:
        case Statement::Type::Blob: {
            const QByteArrayView bytes = statement.columnBytes(column);
            c.kind = statement.columnType(column) == Statement::Type::Text ? Kind::Text : Kind::Blob;
            c.offset = bytes_.size();
            c.length = static_cast<int>(bytes.size());
            bytes_.append(bytes);
            break;
        }
        case Statement::Type::Null:
            break;
        }
    }
}

QVariant RowStore::value(int row, int column) const
{
    const Cell& c = cell(row, column);
    switch (c.kind) {
    case Kind::Integer:
        return QVariant(static_cast<qlonglong>(c.integer));
    case Kind::Real:
        return QVariant(c.real);
    case Kind::Text:
        return QVariant(QString::fromUtf8(bytes_.constData() + c.offset, c.length));
    case Kind::Blob:
        return QVariant(QByteArray(bytes_.constData() + c.offset, c.length));
    case Kind::Other:
        return others_[static_cast<size_t>(c.offset)];
    case Kind::Null:
        break;
    }
    return {};
}

double RowStore::asFloat(int row, int column) const
{
    const Cell& c = cell(row, column);
    switch (c.kind) {
    case Kind::Integer:
        return static_cast<double>(c.integer);
    case Kind::Real:
        return c.real;
    case Kind::Null:
        return 0.0;
    default:
        return value(row, column).toDouble();
    }
}

void RowStore::set(int row, int column, const QVariant& value)
{
    Cell& c = cell(row, column);
    c = Cell();
    if (value.isNull()) return;
    if (value.typeId() == QMetaType::Double) {
        c.kind = Kind::Real;
        c.real = value.toDouble();
        return;
    }
    c.kind = Kind::Other;
    c.offset = static_cast<qint64>(others_.size());
    others_.push_back(value);
}

QVariant Record::value(const QString& field) const
{
    return rows_.value(row_, lookup(index_, field));
}

void Record::setValue(const QString& field, const QVariant& value)
{
    rows_.set(row_, lookup(index_, field), value);
}

double Record::asFloat(const QString& field) const
{
    return rows_.asFloat(row_, lookup(index_, field));
}

Query::Query(Connection& connection, QStringList sql, QVariantList parameters)
    : SQL(std::move(sql)), parameters(std::move(parameters)), connection_(connection)
{
}

void Query::reopen(QStringList sql, QVariantList values)
{
    close();
    SQL = std::move(sql);
    parameters = std::move(values);
    open();
}

Query::Layout Query::makeLayout(const Statement& statement, int columns, const QStringList& calculated, const QByteArray& key)
{
    Layout made{key, {}, {}};
    const auto addName = [&](const QString& name) {
        made.index.insert(name, static_cast<int>(made.names.size()));
        made.index.insert(fieldKey(name), static_cast<int>(made.names.size()));
        made.names << name;
    };
    for (int column = 0; column < columns; ++column) {
        const QString name = statement.columnName(column);
        // With two columns of one name the first one answers, as it does by name elsewhere.
        if (find(made.index, name) >= 0) {
            made.names << name;
            continue;
        }
        addName(name);
    }
    for (const QString& name : calculated) {
        if (find(made.index, name) >= 0)
            throw DatabaseError(DatabaseError::kNotEngine, QStringLiteral("'%1' alanı iki kez tanımlı").arg(name).toStdString());
        addName(name);
    }
    return made;
}

void Query::open()
{
    if (open_) close();

    Statement statement(connection_, SQL.join(QLatin1Char('\n')));
    if (statement.isEmpty()) throw DatabaseError(SQLITE_MISUSE, "Sorguda SQL cümlesi yok");
    // A second statement would silently not run; refuse it instead.
    if (!statement.rest().trimmed().isEmpty() && !Statement(connection_, QString::fromUtf8(statement.rest())).isEmpty())
        throw DatabaseError(SQLITE_MISUSE, "Sorguda birden çok SQL cümlesi var");

    for (int i = 0; i < parameters.size(); ++i) statement.bind(i + 1, parameters[i]);

    const int columns = statement.columnCount();
    // The fields' names and their index are made again only when the
    // statement's columns or the calculated fields differ from last time.
    QByteArray layout;
    for (int column = 0; column < columns; ++column) layout.append(statement.columnNameUtf8(column)).append('\0');
    layout.append(calculatedFields.join(QLatin1Char('\0')).toUtf8());
    if (layout != layout_.key) layout_ = makeLayout(statement, columns, calculatedFields, layout);
    const QHash<QString, int>& index = layout_.index;
    // Fields the screen shows must be there before anything shows them.
    for (const QString& name : shownFields) lookup(index, name);

    RowStore rows;
    rows.reset(static_cast<int>(layout_.names.size()));
    const bool now = onCalcFields && !calculatedWhenRead;
    while (statement.step()) {
        rows.addRow(statement, columns);
        if (now) {
            Record record(index, rows, rows.rowCount() - 1);
            onCalcFields(record);
        }
    }

    names_ = layout_.names;
    index_ = layout_.index;
    rows_ = std::move(rows);
    calculated_.assign(now || !onCalcFields ? 0 : static_cast<size_t>(rows_.rowCount()), false);
    firstCalculated_ = columns;
    open_ = true;
    current_ = rows_.rowCount() == 0 ? -1 : 0;
    eof_ = rows_.rowCount() == 0;
    emit opened();
    if (current_ >= 0) emit currentChanged(current_);
}

void Query::close()
{
    open_ = false;
    names_.clear();
    index_.clear();
    rows_.reset(0);
    calculated_.clear();
    current_ = -1;
    eof_ = true;
    emit closed();
}

void Query::setCurrent(int row, bool eof)
{
    if (rows_.rowCount() == 0) {
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
        if (matches(rowsFor(row, column).value(row, column), value)) {
            setCurrent(row, false);
            return true;
        }
    }
    return false;
}

const RowStore& Query::rowsFor(int row, int column) const
{
    const auto late = static_cast<size_t>(row);
    if (column >= firstCalculated_ && late < calculated_.size() && !calculated_[late]) {
        calculated_[late] = true;
        Record record(index_, rows_, row);
        onCalcFields(record);
    }
    return rows_;
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
    if (!open_ || current_ < 0) return 0.0;
    const int column = fieldIndex(field);
    return rowsFor(current_, column).asFloat(current_, column);
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
    return rowsFor(row, column).value(row, column);
}

bool Query::hasField(const QString& field) const
{
    return find(index_, field) >= 0;
}
