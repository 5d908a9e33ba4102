#include "store/Transaction.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/PgConnection.h"
#include "store/ServerSql.h"
#include "store/Statement.h"

#include <libpq-fe.h>
#include <sqlite3.h>

// IMMEDIATE takes the write lock at once: a busy file is met before any
// step, never half-way.
Transaction::Transaction(sqlite3* db) : db_(db)
{
    Statement(db_, QStringLiteral("BEGIN IMMEDIATE")).run();
}

Transaction::Transaction(const Connection& connection)
{
    if (!connection.isServer()) {
        db_ = connection.handle();
        Statement(db_, QStringLiteral("BEGIN IMMEDIATE")).run();
        return;
    }
    server_ = &connection.server();
    // Its number comes with the BEGIN: asked after a lost answer to COMMIT.
    const PgResult begun = server_->script(QStringLiteral("BEGIN; SELECT txid_current()"));
    serverId_ = QByteArray(PQgetvalue(begun.get(), 0, 0)).toLongLong();
}

Transaction::~Transaction()
{
    if (!open_) return;
    if (server_) {
        if (server_->inTransaction()) {
            try {
                server_->run(QStringLiteral("ROLLBACK"), {});
            } catch (const DatabaseError&) {
                // A lost connection has rolled it back on the server already.
            }
        }
        return;
    }
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    if (server_) {
        try {
            server_->run(QStringLiteral("COMMIT"), {});
        } catch (const DatabaseError& error) {
            // The answer to a commit can be lost after the server made it
            // durable: asked again, the server says whether it did.
            if (!isLostServer(error.code()) || !server_->reconnect()) throw;
            const QString status = server_->exec(QStringLiteral("SELECT txid_status(?1)"), {serverId_}).value(0).value(0).toString();
            if (status != QLatin1String("committed")) throw;
        }
        open_ = false;
        return;
    }
    Statement(db_, QStringLiteral("COMMIT")).run();
    open_ = false;
}
