#include "store/Transaction.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/PgConnection.h"
#include "store/ServerSql.h"
#include "store/Statement.h"

#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

const QString kSavepoint = QStringLiteral("SAVEPOINT kovanta_step");
const char* const kRollBackSavepoint = "ROLLBACK TO SAVEPOINT kovanta_step; RELEASE SAVEPOINT kovanta_step";
const QString kReleaseSavepoint = QStringLiteral("RELEASE SAVEPOINT kovanta_step");

}  // namespace

Transaction::Transaction(sqlite3* db) : db_(db)
{
    begin();
}

Transaction::Transaction(const Connection& connection)
{
    if (connection.isServer())
        server_ = &connection.server();
    else
        db_ = connection.handle();
    begin();
}

void Transaction::begin()
{
    if (db_) {
        nested_ = !sqlite3_get_autocommit(db_);
        // IMMEDIATE takes the write lock at once: a busy file is met before
        // any step, never half-way.
        Statement(db_, nested_ ? kSavepoint : QStringLiteral("BEGIN IMMEDIATE")).run();
        return;
    }
    nested_ = server_->inTransaction();
    if (nested_) {
        server_->run(kSavepoint, {});
        return;
    }
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
                if (nested_)
                    server_->script(QString::fromLatin1(kRollBackSavepoint));
                else
                    server_->run(QStringLiteral("ROLLBACK"), {});
            } catch (const DatabaseError&) {
                // A lost connection has rolled it back on the server already.
            }
        }
        return;
    }
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, nested_ ? kRollBackSavepoint : "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    if (nested_) {
        if (server_)
            server_->run(kReleaseSavepoint, {});
        else
            Statement(db_, kReleaseSavepoint).run();
        open_ = false;
        return;
    }
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

void takeTurnOn(const Connection& connection, const QString& table)
{
    if (connection.isServer()) Statement(connection, QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table)).run();
}
