#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The server ledger's own objects and names.

// A result column's name as the tables declare it: the server folds the
// unquoted names the tables were made with to lower case. Any other name is
// a statement's own, written quoted so that it keeps its spelling.
QByteArray declaredName(const QByteArray& serverName);

// The server's notice channel: every committed change of a ledger table sends
// on it "<table> <day> <kind>" (day and kind empty where the table has none).
inline const QString kNoticeChannel = QStringLiteral("kovanta");

// An empty server database made a ledger, in three steps so that a ledger
// moved from a file gets its rows before the keys, indexes and notices:
// the tables and the engine's functions the statements use;
QString serverTablesScript();
// then the constraints, indexes, change marks and notices, and each key's
// next number past the largest stored.
QString serverFinishScript();

// A ledger of an earlier version made this one's: the tables, columns and
// indexes added since, with their notices. The caller holds the transaction.
QString serverUpgradeScript(int fromVersion);

// Who and where a change is written from, kept beside each changed row so
// that a refused correction can name them.
QString serverSessionScript(const QString& user, const QString& computer, const QString& timeZone);

// A server error for a second row with a code that names an account already.
bool isDuplicateCode(int code);
// The error of a statement that found no server to reach.
bool isLostServer(int code);
