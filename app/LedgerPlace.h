#pragma once

#include <QString>

// Where this data folder's ledger is: the file AnaData/Kovanta.mdb, or a
// server database named in the folder's own settings (AnaData/Kovanta.ini),
// so that each desk's folder opens its ledger wherever it is started from.

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

// The server named by "--sunucu CONN" among the arguments, taken out of
// them; else the saved one.
QString serverOf(QStringList& arguments);
