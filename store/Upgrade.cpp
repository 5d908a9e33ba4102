#include "store/Upgrade.h"

#include "store/DatabaseError.h"
#include "store/Schema.h"
#include "store/StartGuard.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <sqlite3.h>

int validatedVersion(sqlite3* db, const QString& path)
{
    bool ours = false;
    int version = 0;
    try {
        Statement mark(db, QStringLiteral("PRAGMA application_id"));
        ours = mark.step() && mark.column(0).toInt() == schema::kApplicationId;
        Statement versionMark(db, QStringLiteral("PRAGMA user_version"));
        version = versionMark.step() ? versionMark.column(0).toInt() : 0;
        if (ours) {
            // A table or column added by a later version comes with the upgrade.
            for (const schema::Table& table : schema::tables())
                if (table.since <= version)
                    Statement(db, QStringLiteral("SELECT %1 FROM %2 LIMIT 0")
                                        .arg(table.fieldNames(version).join(QStringLiteral(", ")), QString::fromLatin1(table.name)));
        }
    } catch (const DatabaseError& error) {
        if (error.code() == SQLITE_READONLY_ROLLBACK) throw;
        failStart(path, error.code(), QString::fromStdString(error.engineText()));
    }
    if (!ours) failFile(path, SQLITE_NOTADB, QStringLiteral("bu dosya Orvalin Kovanta veritabanı değil"));
    if (version > schema::kVersion)
        failFile(path, SQLITE_CANTOPEN,
                 QStringLiteral("bu dosya programın daha yeni bir sürümüyle yazılmış (dosya sürümü %1, bu program %2). "
                                "Dosyaya dokunulmadı; programın yeni sürümünü kurun.")
                     .arg(version)
                     .arg(schema::kVersion));
    return version;
}


void upgrade(sqlite3* db, const QString& path, int fromVersion)
{
    try {
        Transaction transaction(db);
        if (sqlite3_exec(db, schema::upgradeScript(fromVersion).toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            throw DatabaseError(sqlite3_extended_errcode(db), sqlite3_errmsg(db));
        transaction.commit();
    } catch (const DatabaseError& error) {
        failStart(path, error.code(), QString::fromStdString(error.engineText()));
    }
}
