#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

class Connection;

// The form the day fields are stored in, and the stored form of a moment.
inline const QString kStoredDateFormat = QStringLiteral("yyyy-MM-dd");
inline const QString kStoredMomentFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Values that go in and come out as whole numbers (integers and truth
// values), and as numbers of either kind.
bool isWholeNumber(const QVariant& value);
bool isNumber(const QVariant& value);

// One prepared statement of the engine. Every failure throws DatabaseError
// with the engine's code and text.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    explicit Statement(const Connection& connection, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // What the text held after the first statement, not prepared.
    const QByteArray& rest() const { return rest_; }
    bool isEmpty() const { return statement_ == nullptr; }

    // QDate goes in as 'YYYY-MM-DD', QDateTime as 'YYYY-MM-DD HH:MM:SS'.
    void bind(int position, const QVariant& value);
    // True while it yields a row; false when it is done.
    bool step();
    // Steps through to the end.
    void run();
    // Ready to run again with new values.
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QByteArrayView columnNameUtf8(int column) const;
    QVariant column(int column) const;

    // The column in the engine's own form, without making a value of it.
    enum class Type { Null, Integer, Real, Text, Blob };
    Type columnType(int column) const;
    qint64 columnInteger(int column) const;
    double columnReal(int column) const;
    // Text as UTF-8, or a blob's bytes; valid until the next step.
    QByteArrayView columnBytes(int column) const;

private:
    [[noreturn]] void fail(int code) const;

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    QByteArray rest_;
};
