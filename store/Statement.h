#pragma once

#include "store/PgConnection.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

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

// One prepared statement of the engine, or of the server where the ledger is
// on one: the server runs it at the first step, and its rows are read as the
// engine's would be. Every failure throws DatabaseError with the engine's
// code and text.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    explicit Statement(const Connection& connection, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // What the text held after the first statement, not prepared.
    const QByteArray& rest() const { return rest_; }
    bool isEmpty() const { return server_ ? serverText_.trimmed().isEmpty() : statement_ == nullptr; }

    // QDate goes in as 'YYYY-MM-DD', QDateTime as 'YYYY-MM-DD HH:MM:SS'.
    void bind(int position, const QVariant& value);
    // True while it yields a row; false when it is done.
    bool step();
    // Steps through to the end.
    void run();
    // Ready to run again with new values.
    void reset();
    // The rows the last insert, correction or deletion changed, and the key
    // the last insert gave.
    qint64 changes() const;
    qint64 insertedKey() const;

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
    void prepare(sqlite3* db, const QString& sql);
    [[noreturn]] void fail(int code) const;
    // The server's: runs the statement once, before its first row is read.
    void runOnServer() const;
    const char* serverValue(int column) const;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
    QByteArray rest_;

    PgConnection* server_ = nullptr;
    QString sql_;
    QString serverText_;
    QVariantList values_;
    mutable PgResult result_;
    mutable int row_ = -1;
    mutable QList<QByteArray> names_;
};
