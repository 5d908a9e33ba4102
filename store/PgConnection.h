#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>

#include <memory>

struct pg_conn;
struct pg_result;

// The statement text with the program's placeholders (?N, and a bare ? as the
// engine numbers it: one past the largest so far) written as the server's $N.
// Quoted text, quoted names and comments are left alone.
QString serverPlaceholders(const QString& sql);

// The server's five-character SQLSTATE packed into the error code, six bits a
// character as the server itself packs it, so it never collides with 0 or
// DatabaseError::kNotEngine.
int sqlStateCode(const char* sqlState);

// Type ids from the server's catalog; stable across versions, and the
// server's own header for them is not part of the client package.
enum PgType : unsigned {
    kPgBool = 16,
    kPgBytea = 17,
    kPgInt8 = 20,
    kPgInt2 = 21,
    kPgInt4 = 23,
    kPgOid = 26,
    kPgFloat4 = 700,
    kPgFloat8 = 701,
    kPgDate = 1082,
    kPgTimestamp = 1114,
    kPgNumeric = 1700,
};

// A result of the server's, freed however the scope is left.
struct ClearResult {
    void operator()(pg_result* result) const;
};
using PgResult = std::unique_ptr<pg_result, ClearResult>;

// One connection to a ledger on a PostgreSQL server. Every failure throws
// DatabaseError carrying the server's (or the client library's) own text;
// a server that cannot be reached throws the code isLostServer tells.
class PgConnection {
public:
    // What every session gets; a longer task (a move) sets its own.
    static constexpr int kStatementLimitMs = 10000;
    static constexpr int kLockLimitMs = 5000;

    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // conninfo is libpq's "key=value ..." text or a URI. session runs after
    // every connection made, the first and each one after a loss.
    void open(const QString& conninfo, const QString& session = {});
    void close();
    bool isOpen() const { return conn_ != nullptr; }
    // Whether the last contact found the server; a lost connection is made
    // again by the next statement outside a transaction, or by reconnect().
    bool connected() const;
    bool reconnect();
    // Inside a transaction the server has begun and not ended.
    bool inTransaction() const;

    // The statement run with the values bound; its rows as the server sent them.
    PgResult run(const QString& serverText, const QVariantList& params);
    // Statements separated by ';', no values bound, run as one round trip;
    // the last one's rows come back.
    PgResult script(const QString& statements);
    // The distinct notices other connections sent on the channels listened
    // to, every one that has come, read without waiting; false when the
    // connection was found lost.
    bool takeNotices(QSet<QString>& payloads);

    // Runs one statement with ?N placeholders. Rows come back with integers as
    // qlonglong, double precision and real as double, bool as bool, date as
    // QDate, timestamp as QDateTime, bytea as QByteArray, NULL as a null
    // QVariant and everything else (numeric too, to lose no digit) as QString.
    using Row = QVariantList;
    QList<Row> exec(const QString& sql, const QVariantList& params = {});

    // How long a statement waits for the server's first word before the
    // connection is given up as lost; 0: for ever.
    void setAnswerLimit(int ms) { answerLimitMs_ = ms; }

    pg_conn* handle() const { return conn_; }
    // The connection's socket to watch for what the server sends; -1 without one.
    int socket() const;

private:
    [[noreturn]] void failLost() const;
    // What every connection made runs first: the client's encoding, every
    // digit of a double, then the caller's session.
    void startSession();
    // The result of the statement sent, waited for within the answer limit.
    PgResult awaitResult();
    // The result of a statement sent, or the error it met.
    PgResult checked(PgResult result) const;

    static constexpr int kNoticeRounds = 64;

    pg_conn* conn_ = nullptr;
    QString session_;
    // Past the server's own statement limit, for a server that cannot say so.
    int answerLimitMs_ = kStatementLimitMs + 5000;
};
