// The old Windows program's ten-year file (300 producers, 1.2 million rows)
// taken over into a new ledger, beside libmdb reading the same file bare:
// every row of the four tables fetched and cracked, nothing kept.
#include "bench/BenchLedger.h"
#include "bench/JetOfLedger.h"
#include "ledger/TakeOver.h"
#include "store/Connection.h"
#include "store/JetFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <glib.h>
#include <mdbtools.h>

#include <chrono>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

QString oldFile()
{
    const QString ledger = cachedLedger(10);
    const QString jet = ledger + QStringLiteral(".jet");
    if (!QFile::exists(jet)) writeJetOfLedger(ledger, jet);
    return jet;
}

qint64 bareRead(const QString& path)
{
    MdbHandle* mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE)) throw std::runtime_error("libmdb could not open the file");
    qint64 rows = 0;
    for (const QString& name : JetFile::tables()) {
        QByteArray spelt = name.toLatin1();
        MdbTableDef* table = mdb_read_table_by_name(mdb, spelt.data(), MDB_TABLE);
        mdb_read_columns(table);
        mdb_rewind_table(table);
        while (mdb_fetch_row(table)) ++rows;
        mdb_free_tabledef(table);
    }
    mdb_close(mdb);
    return rows;
}

void takeOverTenYears(benchmark::State& state)
{
    const QString jet = oldFile();
    double bare = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        benchmark::DoNotOptimize(bareRead(jet));
        bare = secondsSince(start);
        QTemporaryDir folder;
        start = Clock::now();
        Connection ledger;
        ledger.createNew(folder.filePath(QStringLiteral("AnaData/Kovanta.mdb")));
        rows = takeOver(JetFile(jet), ledger).rows;
        state.SetIterationTime(secondsSince(start));
    }
    state.counters["libmdb_bare_read_s"] = bare;
    state.counters["rows"] = static_cast<double>(rows);
}

}  // namespace

int main(int argc, char** argv)
{
    return runMeasurements(
        argc, argv, [] { benchmark::RegisterBenchmark("TakeOver.tenYears", takeOverTenYears)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1); },
        "libmdb", [] {});
}
