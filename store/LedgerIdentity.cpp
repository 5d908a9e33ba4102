#include "store/LedgerIdentity.h"

#include "store/Connection.h"
#include "store/EngineHandle.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QFile>
#include <QFileInfo>
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

bool hasPlaceColumn(sqlite3* db)
{
    Statement column(db, QStringLiteral("SELECT 1 FROM pragma_table_info('Defter_Kimligi') WHERE name = 'Yeri'"));
    return column.step();
}

// One row: the identity and the file it belongs to.
void keepIdentity(sqlite3* db, const QString& identity, const QString& place)
{
    Transaction making(db);
    Statement(db, QStringLiteral("CREATE TABLE IF NOT EXISTS Defter_Kimligi (Kimlik VARCHAR(32) NOT NULL)")).run();
    if (!hasPlaceColumn(db)) Statement(db, QStringLiteral("ALTER TABLE Defter_Kimligi ADD COLUMN Yeri TEXT")).run();
    Statement(db, QStringLiteral("DELETE FROM Defter_Kimligi")).run();
    Statement store(db, QStringLiteral("INSERT INTO Defter_Kimligi (Kimlik, Yeri) VALUES (?1, ?2)"));
    store.bind(1, identity);
    store.bind(2, place);
    store.run();
    making.commit();
}

}  // namespace

LedgerIdentity ledgerIdentity(const Connection& connection)
{
    sqlite3* db = connection.handle();
    const QString place = QFileInfo(connection.path()).absoluteFilePath();
    LedgerIdentity identity;
    QString madeAt;
    if (hasIdentityTable(db)) {
        identity.value = readIdentity(db);
        if (hasPlaceColumn(db)) {
            Statement where(db, QStringLiteral("SELECT Yeri FROM Defter_Kimligi LIMIT 1"));
            if (where.step()) madeAt = where.column(0).toString();
        }
        // An identity made before its place was kept stays; it learns its place.
        if (!identity.value.isEmpty() && (madeAt.isEmpty() || madeAt == place)) {
            if (madeAt.isEmpty()) keepIdentity(db, identity.value, place);
            return identity;
        }
    }
    // None yet, or a copy of a ledger made elsewhere: its copies must not be
    // taken for the other's.
    if (!identity.value.isEmpty()) identity.copiedFrom = madeAt;
    quint32 random[4];
    QRandomGenerator::system()->fillRange(random);
    keepIdentity(db, QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex().constData(), place);
    identity.value = readIdentity(db);
    return identity;
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
