#pragma once

#include <QString>
#include <QStringList>

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
MovedLedger moveLedgerToServer(const QString& filePath, const QString& conninfo);
