#pragma once

#include <QtGlobal>

struct sqlite3;
class Connection;
class PgConnection;

// The steps between construction and commit() are kept together: leaving
// the scope without commit() (an error half-way) rolls them all back. Made
// inside another, it is a savepoint of that one: its steps are undone alone,
// and kept only when the outer one commits.
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
