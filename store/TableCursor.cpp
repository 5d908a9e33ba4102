#include "store/TableCursor.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/History.h"
#include "store/Schema.h"
#include "store/SqlText.h"
#include "store/Statement.h"



namespace {

const char* const kClosed = "Kapalı bir tabloda bu işlem yapılamaz";
const char* const kEmpty = "Boş bir tabloda bu işlem yapılamaz";
const char* const kNotEditing = "Tablo düzeltme ya da ekleme durumunda değil";
const char* const kRowGone = "Kayıt bulunamadı ya da bu arada değiştirildi";

// The key of the first row the statement yields, 0 when it yields none.
qint64 firstKey(Statement& statement)
{
    return statement.step() ? statement.column(0).toLongLong() : 0;
}

}  // namespace

RowWrite& RowWrite::setField(const QString& field, const QVariant& value)
{
    if (posted_) throw DatabaseError(DatabaseError::kNotEngine, kNotEditing);
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
    if (posted_) throw DatabaseError(DatabaseError::kNotEngine, kNotEditing);
    const qint64 key = cursor_->write(key_, fields_);
    posted_ = true;
    key_ = key;
    return key;
}

TableCursor::TableCursor(Connection& connection, const schema::Table& table)
    : connection_(connection), schema_(table), table_(QString::fromLatin1(table.name)), key_(table.keyField())
{
}

void TableCursor::open()
{
    Statement(connection_, QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(dialectOf(connection_).identifier(key_), dialectOf(connection_).identifier(table_)));
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
    if (!open_) throw DatabaseError(DatabaseError::kNotEngine, kClosed);
}

bool TableCursor::locate(const QString& field, const QVariant& value)
{
    requireOpen();
    Statement statement(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %3=? ORDER BY %1 LIMIT 1")
                                         .arg(dialectOf(connection_).identifier(key_), dialectOf(connection_).identifier(table_), dialectOf(connection_).identifier(field)));
    statement.bind(1, value);
    const qint64 key = firstKey(statement);
    if (key == 0) return false;
    current_ = key;
    return true;
}

bool TableCursor::first()
{
    requireOpen();
    Statement statement(connection_, QStringLiteral("SELECT %1 FROM %2 ORDER BY %1 LIMIT 1").arg(dialectOf(connection_).identifier(key_), dialectOf(connection_).identifier(table_)));
    current_ = firstKey(statement);
    return current_ != 0;
}

QVariant TableCursor::fieldValue(const QString& field) const
{
    requireOpen();
    Statement statement(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %3=?").arg(dialectOf(connection_).identifier(field), dialectOf(connection_).identifier(table_), dialectOf(connection_).identifier(key_)));
    if (current_ == 0) return {};
    statement.bind(1, current_);
    return statement.step() ? statement.column(0) : QVariant();
}

RowWrite TableCursor::append()
{
    requireOpen();
    return RowWrite(*this, 0);
}

RowWrite TableCursor::edit()
{
    requireOpen();
    if (current_ == 0) throw DatabaseError(DatabaseError::kNotEngine, kEmpty);
    return RowWrite(*this, current_);
}

qint64 TableCursor::deleteCurrent()
{
    requireOpen();
    if (current_ == 0) throw DatabaseError(DatabaseError::kNotEngine, kEmpty);
    const QString key = dialectOf(connection_).identifier(key_);
    const QString table = dialectOf(connection_).identifier(table_);
    qint64 recorded = 0;
    {
        RecordedChange change(connection_, schema_, current_);
        Statement statement(connection_, QStringLiteral("DELETE FROM %1 WHERE %2=?").arg(table, key));
        statement.bind(1, current_);
        statement.run();
        if (statement.changes() == 0) throw DatabaseError(DatabaseError::kNotEngine, kRowGone);
        recorded = change.commit(ChangeKind::Deletion);
    }
    // The row after the deleted one becomes current, else the one before.
    Statement after(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %1>? ORDER BY %1 LIMIT 1").arg(key, table));
    after.bind(1, current_);
    qint64 next = firstKey(after);
    if (next == 0) {
        Statement before(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %1<? ORDER BY %1 DESC LIMIT 1").arg(key, table));
        before.bind(1, current_);
        next = firstKey(before);
    }
    current_ = next;
    return recorded;
}

qint64 TableCursor::write(qint64 key, const std::vector<std::pair<QString, QVariant>>& fields)
{
    requireOpen();
    const QString table = dialectOf(connection_).identifier(table_);
    if (key == 0) {
        QStringList names;
        QStringList marks;
        for (const auto& field : fields) {
            names << dialectOf(connection_).identifier(field.first);
            marks << QStringLiteral("?");
        }
        QString sql = fields.empty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                           : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                 .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        sql += dialectOf(connection_).returning(dialectOf(connection_).identifier(key_));
        Statement statement(connection_, sql);
        for (size_t i = 0; i < fields.size(); ++i) statement.bind(static_cast<int>(i) + 1, fields[i].second);
        statement.run();
        current_ = statement.insertedKey();
        return current_;
    }

    RecordedChange change(connection_, schema_, key);
    if (fields.empty()) {
        // Nothing to change, but the row must still be there.
        Statement statement(connection_, QStringLiteral("SELECT %1 FROM %2 WHERE %1=?").arg(dialectOf(connection_).identifier(key_), table));
        statement.bind(1, key);
        if (firstKey(statement) == 0) throw DatabaseError(DatabaseError::kNotEngine, kRowGone);
    } else {
        QStringList assignments;
        for (const auto& field : fields) assignments << dialectOf(connection_).identifier(field.first) + QStringLiteral("=?");
        Statement statement(connection_, QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                             .arg(table, assignments.join(QStringLiteral(", ")), dialectOf(connection_).identifier(key_)));
        int position = 1;
        for (const auto& field : fields) statement.bind(position++, field.second);
        statement.bind(position, key);
        statement.run();
        if (statement.changes() == 0) throw DatabaseError(DatabaseError::kNotEngine, kRowGone);
    }
    change.commit(ChangeKind::Correction);
    current_ = key;
    return key;
}
