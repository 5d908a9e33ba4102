#pragma once

#include <QString>

// Where this data folder's ledger is: the file AnaData/Kovanta.mdb, or a
// server database named in the folder's own settings (AnaData/Kovanta.ini),
// so that each desk's folder opens its ledger wherever it is started from.

// libpq's connection text or service ("service=kovanta"); empty for the file.
QString savedServer();
// Keeps it for the next starts; empty goes back to the file. A text with a
// password is not kept: the password belongs in ~/.pgpass or the service
// file. False when refused.
bool saveServer(const QString& conninfo);
bool holdsPassword(const QString& conninfo);

// The server named by "--sunucu CONN" among the arguments, taken out of
// them; else the saved one.
QString serverOf(QStringList& arguments);
