#pragma once

#include <QString>

struct sqlite3;
class Connection;
class PgConnection;

// The steps between construction and commit() are kept together: leaving
// the scope without commit() (an error half-way) rolls them all back. Made
// inside another, it is a savepoint of that one: its steps are undone alone,
// and kept only when the outer one commits.
// A check and the write it allows, made by two desks at once, take turns on
// the table: on a server the lock (taken inside the transaction, before the
// check) lets each see what the one before it committed; the file's BEGIN
// IMMEDIATE already lets one writer in at a time.
void takeTurnOn(const Connection& connection, const QString& table);

class Transaction {
public:
    explicit Transaction(sqlite3* db);
    explicit Transaction(const Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    void begin();

    sqlite3* db_ = nullptr;
    PgConnection* server_ = nullptr;
    qint64 serverId_ = 0;
    bool open_ = true;
    bool nested_ = false;
};
