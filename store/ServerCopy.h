#pragma once

#include "store/Backup.h"
#include "store/DatabaseError.h"

#include <QDate>
#include <QString>

#include <atomic>

// Daily copies of a ledger on a PostgreSQL server, made by the server's own
// pg_dump (custom format) onto a shelf of copies beside the file copies:
// Kovanta-2026-12-09.dump, under the same keeping rule as those. The
// programs come from KOVANTA_PG_BINDIR when set, else from the server's
// version folder when installed, else from PATH. A password never goes on
// their command line: libpq's password file or service file gives it, or the
// environment when the connection text holds one.

// Whether a libpq connection text carries a password in any of its forms: the
// password key, a URI's "user:password@" or "?password=", or the server
// options. A text libpq cannot read counts when it names a password at all.
bool connectionHoldsPassword(const QString& conninfo);
// The keys a connection text sets, by libpq's names ("host", "dbname"...);
// none for a text libpq cannot read.
QList<QPair<QString, QString>> connectionKeys(const QString& conninfo);

// The shelf's copies of the server: the same folder and name, ".dump".
CopyShelf serverCopies(const CopyShelf& shelf);

// When the day has no copy yet: dumps the database named by conninfo into a
// new file under a passing name, checks it with pg_restore --list (a listing
// that names the table Cariler), keeps it under the day's name and drops the
// copies the keeping rule no longer wants. Damaged when the check fails, with
// the program's words. Throws DatabaseError when pg_dump fails or cannot run.
DailyBackup makeServerDailyCopy(const QString& conninfo, const CopyShelf& shelf, const QDate& today,
                                const std::atomic<bool>* stop = nullptr);

// A copy refused before anything was written: not a ledger's, or holding
// more than the ledger's own objects.
struct ForeignCopy : DatabaseError {
    explicit ForeignCopy(const QString& why) : DatabaseError(kNotEngine, why.toStdString()) {}
};

// Restores a copy into the database named by conninfo, which must have no
// tables yet. Every entry of its table of contents must be one of the
// objects the program makes on a server ledger, else ForeignCopy is thrown
// and nothing is written; only those entries are restored, in one
// transaction, so a copy that breaks off leaves the database empty. Throws
// DatabaseError with the programs' or the server's words.
void restoreServerCopy(const QString& conninfo, const QString& dumpFile);
