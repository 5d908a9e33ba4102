#include "store/Transaction.h"

#include "store/Connection.h"
#include "store/Statement.h"

#include <sqlite3.h>

// IMMEDIATE takes the write lock at once: a busy file is met before any
// step, never half-way.
Transaction::Transaction(sqlite3* db) : db_(db)
{
    Statement(db_, QStringLiteral("BEGIN IMMEDIATE")).run();
}

Transaction::Transaction(const Connection& connection) : Transaction(connection.handle()) {}

Transaction::~Transaction()
{
    if (open_ && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    Statement(db_, QStringLiteral("COMMIT")).run();
    open_ = false;
}
