#pragma once

#include <QList>
#include <QString>
#include <QVariant>

struct pg_conn;

// The statement text with the program's placeholders (?N, and a bare ? as the
// engine numbers it: one past the largest so far) written as the server's $N.
// Quoted text, quoted names and comments are left alone.
QString serverPlaceholders(const QString& sql);

// The server's five-character SQLSTATE packed into the error code, six bits a
// character as the server itself packs it, so it never collides with 0 or
// DatabaseError::kNotEngine.
int sqlStateCode(const char* sqlState);

// One connection to a ledger on a PostgreSQL server. Every failure throws
// DatabaseError carrying the server's (or the client library's) own text.
class PgConnection {
public:
    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // conninfo is libpq's "key=value ..." text.
    void open(const QString& conninfo);
    void close();
    bool isOpen() const { return conn_ != nullptr; }

    // Runs one statement with ?N placeholders. Rows come back with integers as
    // qlonglong, double precision and real as double, bool as bool, date as
    // QDate, timestamp as QDateTime, bytea as QByteArray, NULL as a null
    // QVariant and everything else (numeric too, to lose no digit) as QString.
    using Row = QVariantList;
    QList<Row> exec(const QString& sql, const QVariantList& params = {});

    pg_conn* handle() const { return conn_; }

private:
    pg_conn* conn_ = nullptr;
};
