#pragma once

struct sqlite3;
class Connection;

// The steps between construction and commit() are kept together: leaving
// the scope without commit() (an error half-way) rolls them all back.
class Transaction {
public:
    explicit Transaction(sqlite3* db);
    explicit Transaction(const Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    sqlite3* db_;
    bool open_ = true;
};
