#pragma once

#include <QString>
#include <QStringList>

class PgConnection;
struct sqlite3;

// A file ledger put onto an empty server database in one transaction: the
// tables, every row with its key as it is, each key's next number as the
// file would give it, then the indexes and notices. Before the commit every
// table's rows are read back from the server and compared with the file's,
// field by field (numbers to the bit), so a ledger that did not arrive whole
// is not left there at all. The file is only read.
struct MovedLedger {
    // "Cariler: 30 satır, hepsi aynı", one line a table.
    QStringList tables;
    qint64 rows = 0;
};

// Throws DatabaseError naming what stopped it: a database that is not
// empty, a row the server refused, a field that came back different.
// Once the ledger is on the server the file is marked as moved (it opens
// read-only from then on) and the server's tables are vacuumed and analysed,
// so that the first report is as fast as later ones.
MovedLedger moveLedgerToServer(const QString& filePath, const QString& conninfo);

// Where a file's ledger was moved, for a person: the server and the moment;
// empty for a file that was not moved.
QString movedTo(sqlite3* db);

// Vacuums and analyses the ledger's own tables, which alone the ledger's
// role may: no warning for the server's catalogues.
void tidyServerTables(PgConnection& server);
