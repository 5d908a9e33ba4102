#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <vector>

class Connection;
class TableCursor;
namespace schema {
struct Table;
}

// The fields of one append or edit; only post writes them. Dropped without a
// post (an error half-way), it leaves nothing behind.
class RowWrite {
public:
    RowWrite(RowWrite&&) = default;
    RowWrite(const RowWrite&) = delete;
    RowWrite& operator=(const RowWrite&) = delete;

    // QDate is stored as 'YYYY-MM-DD', QDateTime as 'YYYY-MM-DD HH:MM:SS'.
    RowWrite& setField(const QString& field, const QVariant& value);
    // Writes the fields set, as one autocommitted statement; returns the row's key.
    qint64 post();

private:
    friend class TableCursor;
    RowWrite(TableCursor& cursor, qint64 key) : cursor_(&cursor), key_(key) {}

    TableCursor* cursor_;
    qint64 key_;  // 0 for a new row
    std::vector<std::pair<QString, QVariant>> fields_;
    bool posted_ = false;
};

// A cursor over one whole table in key order, reading and writing single rows.
// A correction or deletion of a row of a recorded table writes the row of
// the history in the same transaction as the change: both or neither.
class TableCursor {
public:
    TableCursor(Connection& connection, const schema::Table& table);

    void open();
    void close();
    bool isOpen() const { return open_; }

    // Moves to the first row (in key order) whose field equals value as a
    // whole; stays put and returns false when none does.
    bool locate(const QString& field, const QVariant& value);
    bool first();
    // Key of the current row, 0 when there is none.
    qint64 currentKey() const { return current_; }
    // A field of the current row, read now.
    QVariant fieldValue(const QString& field) const;

    RowWrite append();
    RowWrite edit();
    // Returns the key of the deletion's row of the history (0: not recorded).
    qint64 deleteCurrent();

    const QString& table() const { return table_; }
    const QString& keyField() const { return key_; }

private:
    friend class RowWrite;
    void requireOpen() const;
    qint64 write(qint64 key, const std::vector<std::pair<QString, QVariant>>& fields);

    Connection& connection_;
    const schema::Table& schema_;
    QString table_;
    QString key_;
    bool open_ = false;
    qint64 current_ = 0;
};
