#include "store/LedgerIdentity.h"

#include "store/Connection.h"
#include "store/EngineHandle.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QFile>
#include <QRandomGenerator>

namespace {

const QString kRead = QStringLiteral("SELECT Kimlik FROM Defter_Kimligi LIMIT 1");

QString readIdentity(sqlite3* db)
{
    Statement read(db, kRead);
    return read.step() ? read.column(0).toString() : QString();
}

bool hasIdentityTable(sqlite3* db)
{
    Statement table(db, QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'Defter_Kimligi'"));
    return table.step();
}

}  // namespace

QString ledgerIdentity(const Connection& connection)
{
    sqlite3* db = connection.handle();
    if (hasIdentityTable(db)) {
        const QString identity = readIdentity(db);
        if (!identity.isEmpty()) return identity;
    }
    quint32 random[4];
    QRandomGenerator::system()->fillRange(random);
    const QString identity =
        QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex().constData();
    Transaction making(connection);
    Statement(db, QStringLiteral("CREATE TABLE IF NOT EXISTS Defter_Kimligi (Kimlik VARCHAR(32) NOT NULL)")).run();
    Statement store(db, QStringLiteral("INSERT INTO Defter_Kimligi (Kimlik) SELECT ? WHERE NOT EXISTS (SELECT 1 FROM Defter_Kimligi)"));
    store.bind(1, identity);
    store.run();
    making.commit();
    return readIdentity(db);
}

QString fileIdentity(const QString& path)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, nullptr);
    const DatabaseHandle db(raw);
    if (rc != SQLITE_OK) return {};
    try {
        return hasIdentityTable(db.get()) ? readIdentity(db.get()) : QString();
    } catch (const std::exception&) {
        return {};  // not a database, or damaged: no identity to match
    }
}
