#pragma once

#include "ledger/TakeOver.h"
#include "store/MoveLedger.h"

#include <QDate>

#include <QString>

// Where this data folder's ledger is: the file AnaData/Kovanta.mdb, or a
// server database named in the folder's own settings (AnaData/Kovanta.ini),
// so that each desk's folder opens its ledger wherever it is started from.

// The names the user's settings are kept under (~/.config/Orvalin), the
// same for the window and the command line.
void nameUserSettings();

// AnaData/Kovanta.ini, made absolute.
QString serverSettingsPath();

// libpq's connection text or service ("service=kovanta"); empty for the file.
// Read only from a regular file of this user's that no one else may write,
// never through a link: else throws std::runtime_error naming the file and
// why, and no server is chosen from it.
QString savedServer();
// Keeps it for the next starts in a new file of mode 0600 put in place of
// the old one; empty goes back to the file. A text with a password in any
// form is not kept: the password belongs in ~/.pgpass or the service file.
// False when refused or not written.
bool saveServer(const QString& conninfo);
bool holdsPassword(const QString& conninfo);

// A server named by the folder's settings is trusted only once the user
// has seen where it is: a folder copied or shared may carry someone else's
// choice, and libpq would hand it the user's password. A server chosen on
// this computer is known from then on.
bool serverKnownHere(const QString& conninfo);
void rememberServerHere(const QString& conninfo);
// The question shown before the first connection to it from this folder.
QString firstConnectionQuestion(const QString& conninfo);

// The folder's file ledger moved onto the server, and the server kept as
// the folder's choice so that every start opens it there; `choice` says
// whether it was kept, and what to do when it was not.
struct FolderMoved {
    MovedLedger moved;
    QString choice;
};
FolderMoved moveFolderLedger(const QString& conninfo);

// The old Windows program's Jet file taken over into the ledger at
// ledgerPath, or onto an empty server database when conninfo names one: the
// new ledger is made beside and put in place only once whole and checked.
// An old file lying at ledgerPath itself is kept in its folder under
// keptOldFilePath, never changed; an existing ledger is taken over into only
// when it holds no rows. The summary is written beside the folder's ledger.
struct FolderTakenOver {
    TakenOver taken;
    QString keptOld;
    QString summaryPath;
};
FolderTakenOver takeOverIntoFolder(const QString& oldPath, const QString& ledgerPath, const QString& conninfo, const QDate& today,
                                   const TakeOverProgress& progress);
// An old file a take-over cut off by a crash left beside the ledger, put
// under its kept name; a half-made new ledger there is removed.
void settleTakeOverLeftovers(const QString& ledgerPath, const QDate& today);

// The server named by "--sunucu CONN" among the arguments, taken out of
// them; else the saved one.
QString serverOf(QStringList& arguments);
