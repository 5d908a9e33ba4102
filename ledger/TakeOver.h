#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

class Connection;
class JetFile;

// The old Windows program's ledger taken over into this program's, key for
// key and figure for figure, in one transaction: before the commit the new
// ledger is compared with the old file table by table (rows, every key, the
// sums of every figure and each producer's balance, exactly), and any
// difference leaves nothing behind. What the old program stored that this
// one would not is kept as it is and listed.

// "Eski programın veritabanı bulundu: 312 cari, 1.108.402 hareket, 3.650 fabrika günü"
QString oldLedgerFound(const JetFile& old);

struct TakenOver {
    qint64 accounts = 0;
    qint64 rows = 0;
    qint64 factoryDays = 0;
    qint64 prices = 0;
    // Rows kept as the old program stored them though this one would not
    // store them so, one line each, for the collector to mend.
    QStringList kept;
    // The summary shown after the take-over and written beside the ledger.
    QString summary(const QString& from) const;
};

// Given up through the progress: nothing was written.
class TakeOverStopped : public std::runtime_error {
public:
    TakeOverStopped() : std::runtime_error("Aktarım durduruldu; yeni deftere hiçbir şey yazılmadı.") {}
};

// Rows taken so far of all; false stops the take-over.
using TakeOverProgress = std::function<bool(qint64 done, qint64 total)>;

// Into an open ledger holding no accounts, ledger rows or factory days
// (refused otherwise). Throws std::runtime_error naming what stopped it,
// TakeOverStopped when stopped.
TakenOver takeOver(const JetFile& old, Connection& ledger, const TakeOverProgress& progress = {});

// Where the summary is written: "AnaData/Aktarim-2026-12-10.txt".
QString takeOverSummaryPath(const QString& folder, const QDate& day);
// Where the old file is kept in its folder: "Kovanta-eski-2026-12-10.mdb",
// with a number added when that name is taken.
QString keptOldFilePath(const QString& path, const QDate& day);
