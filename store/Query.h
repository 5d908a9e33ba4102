#pragma once

#include <QDate>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

class Connection;

class Statement;

// The values of a query's rows, kept compact: numbers as they are, texts in
// one buffer, made into a QString only when a field is read. Most of a
// list is never looked at; the grid reads the rows it shows.
class RowStore {
public:
    void reset(int width);
    int rowCount() const { return rows_; }
    // A new row with the statement's current columns; the rest empty.
    void addRow(const Statement& statement, int columns);

    QVariant value(int row, int column) const;
    // Empty counts as 0, as sums over no rows do.
    double asFloat(int row, int column) const;
    void set(int row, int column, const QVariant& value);

private:
    enum class Kind : char { Null, Integer, Real, Text, Blob, Other };
    struct Cell {
        Kind kind = Kind::Null;
        int length = 0;
        union {
            qint64 integer = 0;
            double real;
            qint64 offset;  // of a text or blob in bytes_, or of a value in others_
        };
    };
    const Cell& cell(int row, int column) const { return cells_[static_cast<size_t>(row) * width_ + static_cast<size_t>(column)]; }
    Cell& cell(int row, int column) { return cells_[static_cast<size_t>(row) * width_ + static_cast<size_t>(column)]; }

    std::vector<Cell> cells_;
    QByteArray bytes_;
    std::vector<QVariant> others_;
    size_t width_ = 0;
    int rows_ = 0;
};

// One row's values, by field name; calculated fields are set on it as it is read.
class Record {
public:
    Record(const QHash<QString, int>& index, RowStore& rows, int row) : index_(index), rows_(rows), row_(row) {}
    QVariant value(const QString& field) const;
    void setValue(const QString& field, const QVariant& value);
    // Empty counts as 0, as sums over no rows do.
    double asFloat(const QString& field) const;

private:
    const QHash<QString, int>& index_;
    RowStore& rows_;
    int row_;
};

// A read-only query: SQL text as lines, opened to a cursor over all its rows.
// Moving next from the last row sets the end flag and stays on the last row.
// Its text and values are given whole, by whoever owns the statement; every
// value is bound to the text's ?1, ?2, …, so nothing typed becomes SQL text.
class Query : public QObject {
    Q_OBJECT
public:
    explicit Query(Connection& connection, QStringList sql = {}, QVariantList parameters = {});

    // Closes, takes the new statement and its values, and opens again.
    void reopen(QStringList sql, QVariantList parameters = {});
    const QStringList& sql() const { return SQL; }
    const QVariantList& boundValues() const { return parameters; }
    Connection& connection() const { return connection_; }

    // Names of the calculated fields, and the routine that works them out
    // for every row as it is read, before anyone sees it; or, with
    // calculatedWhenRead, for a row the first time one of them is read there,
    // so a costly field is made only for the rows a grid shows.
    QStringList calculatedFields;
    std::function<void(Record&)> onCalcFields;
    bool calculatedWhenRead = false;
    // Fields a grid or a box shows: opening fails when one is missing, so
    // a misspelt name never reaches the painting.
    QStringList shownFields;

    void open();
    void close();
    bool isOpen() const { return open_; }

    int recordCount() const { return rows_.rowCount(); }
    QStringList fieldNames() const { return names_; }
    bool hasField(const QString& field) const;

    void first();
    void next();
    void prior();
    bool eof() const { return eof_; }
    // 0-based index of the current row, -1 when there are no rows.
    int currentRow() const { return current_; }
    void moveTo(int row);

    // Moves to the first row whose field equals value as a whole (text
    // compared exactly, letter case included); stays put when none does.
    bool locate(const QString& field, const QVariant& value);

    // Fields of the current row; an empty value when there is no row.
    QVariant value(const QString& field) const;
    QString asString(const QString& field) const;
    double asFloat(const QString& field) const;
    bool isNull(const QString& field) const;

    QVariant valueAt(int row, const QString& field) const;

signals:
    void opened();
    void closed();
    void currentChanged(int row);

private:
    int fieldIndex(const QString& field) const;
    void setCurrent(int row, bool eof);
    // The row's stored cell, its calculated fields worked out first when they are read late.
    const RowStore& rowsFor(int row, int column) const;

    QStringList SQL;
    QVariantList parameters;
    Connection& connection_;
    bool open_ = false;
    QStringList names_;
    // The names of a statement's columns and calculated fields, with their index.
    struct Layout {
        QByteArray key;
        QStringList names;
        QHash<QString, int> index;
    };
    static Layout makeLayout(const Statement& statement, int columns, const QStringList& calculated, const QByteArray& key);

    QHash<QString, int> index_;
    // Filled in as calculated fields are read late.
    mutable RowStore rows_;
    mutable std::vector<bool> calculated_;
    int firstCalculated_ = 0;
    Layout layout_;
    int current_ = -1;
    bool eof_ = true;
};
