#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// Where the server's SQL differs from the file engine's, it differs here and
// nowhere else: the ledger writes one text, this makes the server's of it.

// The file engine's statement as the server runs it: ?N placeholders as $N,
// whole numbers in 64 bits, the engine's own rounding of halves, an insert
// that hands back the key it gave.
QString serverSql(const QString& sql);

// The spellings result columns have in the statement text or the tables, by
// the server's names: the server folds unquoted names to lower case, the
// ledger reads them as written. Worked out once for each statement text.
QList<QByteArray> writtenNames(const QList<QByteArray>& serverNames, const QString& sql);

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

// Who and where a change is written from, kept beside each changed row so
// that a refused correction can name them.
QString serverSessionScript(const QString& user, const QString& computer, const QString& timeZone);

// A server error for a second row with a code that names an account already.
bool isDuplicateCode(int code);
// The error of a statement that found no server to reach.
bool isLostServer(int code);
