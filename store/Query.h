#pragma once

#include <QDate>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

class Connection;

// One row's values, by field name; calculated fields are set on it as it is read.
class Record {
public:
    Record(const QHash<QString, int>& index, std::vector<QVariant>& values) : index_(index), values_(values) {}
    QVariant value(const QString& field) const;
    void setValue(const QString& field, const QVariant& value);
    // Empty counts as 0, as sums over no rows do.
    double asFloat(const QString& field) const;

private:
    const QHash<QString, int>& index_;
    std::vector<QVariant>& values_;
};

// A read-only query: SQL text as lines, opened to a cursor over all its rows.
// Moving next from the last row sets the end flag and stays on the last row.
class Query : public QObject {
    Q_OBJECT
public:
    explicit Query(Connection& connection, QStringList sql = {});

    QStringList SQL;
    // Names of the calculated fields, and the routine that works them out
    // for every row as it is read, before anyone sees it.
    QStringList calculatedFields;
    std::function<void(Record&)> onCalcFields;
    // Fields a grid or a box shows: opening fails when one is missing, so
    // a misspelt name never reaches the painting.
    QStringList shownFields;

    void open();
    void close();
    bool isOpen() const { return open_; }

    int recordCount() const { return static_cast<int>(rows_.size()); }
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

    Connection& connection_;
    bool open_ = false;
    QStringList names_;
    QHash<QString, int> index_;
    std::vector<std::vector<QVariant>> rows_;
    int current_ = -1;
    bool eof_ = true;
};
