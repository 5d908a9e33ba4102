// The ten-year ledger on a local PostgreSQL server: moved there from its
// file, each screen's refresh through the program beside bare libpq running
// the same statements, and four desks saving intake at once, through the
// program and as bare inserts. The server commits to disk (fsync on).
#include "bench/BenchLedger.h"
#include "ledger/Ledger.h"
#include "screens/Fabrika/Fabrika.h"
#include "screens/Form.h"
#include "screens/Rapor/Rapor.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "store/Connection.h"
#include "store/MoveLedger.h"
#include "store/PgConnection.h"
#include "store/Query.h"
#include "store/ServerSql.h"
#include "tests/support/PgCluster.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDesks = 4;
constexpr auto kSaving = std::chrono::seconds(10);

// Stopped before the application ends, as are the screens.
std::unique_ptr<PgCluster> running;

PgCluster& cluster()
{
    if (!running) running = std::make_unique<PgCluster>(PgCluster::Commits::Durable);
    if (!running->running())
        throw std::runtime_error((running->absent().isEmpty() ? running->failure() : running->absent()).toStdString());
    return *running;
}

// Each move goes into a database of its own, made empty for it.
QString freshDatabase()
{
    static int made = 0;
    const QString name = QStringLiteral("moved_%1").arg(++made);
    PgConnection admin;
    admin.open(cluster().conninfo());
    admin.script(QStringLiteral("CREATE DATABASE %1").arg(name));
    return cluster().conninfo().replace(QStringLiteral("dbname=kovanta"), QStringLiteral("dbname=") + name);
}

// The first moved ledger; the refreshes and saves work on it.
QString movedLedger;

double timedMove()
{
    const QString conninfo = freshDatabase();
    // A move marks its file as moved: the cached ledger, which the other
    // measurements open, is left as it is.
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Kovanta.mdb"));
    if (!QFile::copy(cachedLedger(10), file)) throw std::runtime_error("the cached ledger cannot be copied");
    const auto start = Clock::now();
    const MovedLedger moved = moveLedgerToServer(file, conninfo);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (movedLedger.isEmpty()) movedLedger = conninfo;
    benchmark::DoNotOptimize(moved.rows);
    return seconds;
}

const QString& serverLedger()
{
    if (movedLedger.isEmpty()) timedMove();
    return movedLedger;
}

// The server ledger opened as the program opens it, with every screen.
struct Opened {
    Opened()
    {
        connection.openServer(serverLedger(), [](const QString&) { return false; });
        set = openScreens(connection, dialogs);
    }
    SilentDialogs dialogs;
    Connection connection;
    std::unique_ptr<ScreenSet> set;
    ScreenSet& screens() { return *set; }
};

std::unique_ptr<Opened> opened;

Opened& ledger()
{
    if (!opened) opened = std::make_unique<Opened>();
    return *opened;
}

void check(PGresult* result, pg_conn* conn)
{
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) return;
    const std::string text = PQerrorMessage(conn);
    PQclear(result);
    throw std::runtime_error(text);
}

// One statement as bare libpq runs it: the server's text and the values
// made once, doubles in binary, the rest as text.
struct BareStatement {
    QByteArray text;
    std::vector<QByteArray> values;
    std::vector<unsigned> types;
    std::vector<int> formats;
    std::vector<int> lengths;
    std::vector<const char*> pointers;
    std::vector<char> nulls;

    BareStatement(const QString& sql, const QVariantList& parameters) : text(serverPlaceholders(sql).toUtf8())
    {
        for (const QVariant& value : parameters) {
            const bool null = value.isNull();
            unsigned type = 0;
            int format = 0;
            QByteArray bytes;
            switch (value.typeId()) {
            case QMetaType::Double: {
                type = kPgFloat8;
                format = 1;
                auto bits = std::bit_cast<std::uint64_t>(value.toDouble());
                bytes.resize(8);
                for (int i = 7; i >= 0; --i, bits >>= 8) bytes[i] = static_cast<char>(bits & 0xff);
                break;
            }
            case QMetaType::Int:
            case QMetaType::LongLong:
                type = kPgInt8;
                bytes = QByteArray::number(value.toLongLong());
                break;
            case QMetaType::QDate:
                type = kPgDate;
                bytes = value.toDate().toString(Qt::ISODate).toLatin1();
                break;
            default:
                bytes = value.toString().toUtf8();
            }
            values.push_back(bytes);
            types.push_back(type);
            formats.push_back(format);
            nulls.push_back(null);
        }
        for (size_t i = 0; i < values.size(); ++i) {
            lengths.push_back(static_cast<int>(values[i].size()));
            pointers.push_back(nulls[i] ? nullptr : values[i].constData());
        }
    }

    // Every row stepped and every field read, as any caller must to use them.
    void run(pg_conn* conn) const
    {
        PGresult* result = PQexecParams(conn, text.constData(), static_cast<int>(values.size()), types.data(),
                                        pointers.data(), lengths.data(), formats.data(), 0);
        check(result, conn);
        const int rows = PQntuples(result);
        const int fields = PQnfields(result);
        for (int r = 0; r < rows; ++r)
            for (int f = 0; f < fields; ++f) {
                benchmark::DoNotOptimize(PQgetvalue(result, r, f));
                benchmark::DoNotOptimize(PQgetlength(result, r, f));
            }
        PQclear(result);
    }
};

std::vector<BareStatement> bareOf(std::initializer_list<const Query*> queries)
{
    std::vector<BareStatement> out;
    for (const Query* query : queries) out.emplace_back(query->sql().join(QLatin1Char('\n')), query->boundValues());
    return out;
}

using Action = std::function<void(Opened&)>;
using Statements = std::function<std::vector<BareStatement>(Opened&)>;

void registerPair(const std::string& name, Action program, Statements statements)
{
    registerTurns(name + "/10y", [=]() {
        Opened& l = ledger();
        program(l);  // once, for its statements
        auto bare = std::make_shared<std::vector<BareStatement>>(statements(l));
        pg_conn* conn = l.connection.server().handle();
        return Turns{[&l, program] { program(l); },
                     [conn, bare] {
                         for (const BareStatement& statement : *bare) statement.run(conn);
                     }};
    }, "libpq");
}

void showWholeReport(Opened& l)
{
    l.screens().RaporF->ilktarihDate.setDate(QDate(2016, 1, 1));
    l.screens().RaporF->sontarihDate.setDate(kLastDay);
    l.screens().RaporF->Yenile();
}

// The ten-year report as a database administrator would write it by hand
// for the same exact sums, with the index he would make for it: one pass
// over the index alone, each amount rounded to whole units with the
// server's own functions.
void registerHandWrittenReport(const std::string& when)
{
    registerPair("Report.Yenile.all.handwritten." + when, showWholeReport, [](Opened& l) {
        pg_conn* conn = l.connection.server().handle();
        check(PQexec(conn, "CREATE INDEX IF NOT EXISTS sutgirisi_rapor ON sutgirisi (tarih) "
                           "INCLUDE (kodu, adi, gelir_toplam_tutar, gider_tutari)"), conn);
        check(PQexec(conn, "VACUUM (ANALYZE) sutgirisi"), conn);
        const QString code = l.screens().RaporF->SutGirisiQuery.value(QStringLiteral("Kodu")).toString();
        std::vector<BareStatement> hand;
        hand.emplace_back(QStringLiteral("SELECT kodu, adi, "
                                         "sum(trunc(gelir_toplam_tutar * 1e8 + sign(gelir_toplam_tutar) * 0.5)::bigint) / 100000000.0, "
                                         "sum(trunc(gider_tutari * 1e8 + sign(gider_tutari) * 0.5)::bigint) / 100000000.0 "
                                         "FROM sutgirisi WHERE tarih BETWEEN ?1 AND ?2 GROUP BY kodu, adi ORDER BY adi COLLATE tr"),
                          QVariantList{QDate(2016, 1, 1), kLastDay});
        hand.emplace_back(QStringLiteral("SELECT tarih, adi, aciklama, sabah, aksam, gelir_toplam_tutar, gider_tutari FROM sutgirisi "
                                         "WHERE kodu = ?3 AND tarih BETWEEN ?1 AND ?2 ORDER BY tarih, sgid"),
                          QVariantList{QDate(2016, 1, 1), kLastDay, code});
        return hand;
    });
}

void registerRefreshes()
{
    // Right after the move, before the server's own vacuum could come by.
    registerHandWrittenReport("afterMove");
    registerPair("Intake.GuncelleGunluk", [](Opened& l) { l.screens().SutAlimF->GuncelleGunluk(); },
                 [](Opened& l) {
                     TSutAlimF& s = *l.screens().SutAlimF;
                     return bareOf({&s.SutGirisiQuery, &s.AylikSutGirisiQuery});
                 });
    registerPair("Payment.Guncelle", [](Opened& l) { l.screens().VerilenlerF->Guncelle(); },
                 [](Opened& l) { return bareOf({&l.screens().VerilenlerF->SutGirisiQuery}); });
    registerPair("Factory.Guncelle", [](Opened& l) { l.screens().FabrikaF->Guncelle(); },
                 [](Opened& l) {
                     TFabrikaF& s = *l.screens().FabrikaF;
                     return bareOf({&s.FabrikaQuery, &s.GunlukSutQuery});
                 });
    registerPair("Accounts.reread", [](Opened& l) { reread(l.screens().SutAlimF->CariTanimQuery); },
                 [](Opened& l) { return bareOf({&l.screens().SutAlimF->CariTanimQuery}); });
    const std::pair<const char*, QDate> periods[] = {
        {"Report.Yenile.month", QDate(2025, 12, 1)},
        {"Report.Yenile.year", QDate(2025, 1, 1)},
        {"Report.Yenile.all", QDate(2016, 1, 1)},
    };
    for (const auto& [name, from] : periods)
        registerPair(name,
                     [from = from](Opened& l) {
                         l.screens().RaporF->ilktarihDate.setDate(from);
                         l.screens().RaporF->sontarihDate.setDate(kLastDay);
                         l.screens().RaporF->Yenile();
                     },
                     [](Opened& l) {
                         TRaporF& s = *l.screens().RaporF;
                         return bareOf({&s.SutGirisiQuery, &s.detayQuery});
                     });
}

// What the desks did in one stretch of saving.
struct Desks {
    double savesPerSecond = 0;
    double p99ms = 0;
};

// kDesks threads, each with its own connection made by open, saving as fast
// as it can for kSaving; every save's time is kept for the percentile.
template <typename Desk>
Desks saveAtOnce(const std::function<Desk()>& open, const std::function<void(Desk&)>& save)
{
    std::vector<std::vector<double>> times(kDesks);
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    std::exception_ptr failed;
    std::mutex failing;
    for (int d = 0; d < kDesks; ++d) {
        threads.emplace_back([&, d] {
            try {
                Desk desk = open();
                ++ready;
                while (!go) std::this_thread::yield();
                const auto end = Clock::now() + kSaving;
                for (auto start = Clock::now(); start < end;) {
                    save(desk);
                    const auto done = Clock::now();
                    times[d].push_back(std::chrono::duration<double, std::milli>(done - start).count());
                    start = done;
                }
            } catch (...) {
                std::lock_guard lock(failing);
                failed = std::current_exception();
                ++ready;
            }
        });
    }
    while (ready < kDesks) std::this_thread::yield();
    const auto start = Clock::now();
    go = true;
    for (std::thread& thread : threads) thread.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (failed) std::rethrow_exception(failed);
    std::vector<double> all;
    for (const auto& desk : times) all.insert(all.end(), desk.begin(), desk.end());
    std::sort(all.begin(), all.end());
    Desks out;
    out.savesPerSecond = static_cast<double>(all.size()) / seconds;
    out.p99ms = all.empty() ? 0 : all[std::min(all.size() - 1, static_cast<size_t>(static_cast<double>(all.size()) * 0.99))];
    return out;
}

// A desk of the program: its own server connection and ledger.
struct ProgramDesk {
    std::unique_ptr<Connection> connection;
    std::unique_ptr<Ledger> ledger;
    IntakeEntry entry;
};

struct BareDesk {
    std::unique_ptr<pg_conn, void (*)(pg_conn*)> conn{nullptr, PQfinish};
    std::unique_ptr<BareStatement> insert;
};

const char* const kInsert =
    "INSERT INTO SutGirisi (Tarih, Gelir_Gider, Kodu, Adi, Sabah, Aksam, SBirim_Fiyat, ABirim_Fiyat, SToplam_Tutar, "
    "AToplam_Tutar, Gelir_Toplam_Tutar, Aciklama) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)";

void registerDesks()
{
    benchmark::RegisterBenchmark("Desks4.save", [](benchmark::State& state) {
        const QString conninfo = serverLedger();
        const QString code = QStringLiteral("1000");
        const QString name = ledger().screens().ledger.accountByCode(code)->adi;
        Desks program;
        Desks bare;
        for (auto _ : state) {
            // The program's desks, then bare libpq's, in the same run.
            program = saveAtOnce<ProgramDesk>(
                [&] {
                    ProgramDesk desk;
                    desk.connection = std::make_unique<Connection>();
                    desk.connection->openServer(conninfo, [](const QString&) { return false; });
                    desk.ledger = std::make_unique<Ledger>(*desk.connection);
                    desk.entry = IntakeEntry{0, kDay, code, name, 12.5, 10, 11, QStringLiteral(""), {}, {}};
                    return desk;
                },
                [](ProgramDesk& desk) {
                    if (desk.ledger->saveIntake(desk.entry).check != Ledger::EntryCheck::Ok)
                        throw std::runtime_error("intake refused");
                });
            bare = saveAtOnce<BareDesk>(
                [&] {
                    BareDesk desk;
                    desk.conn.reset(PQconnectdb(conninfo.toUtf8().constData()));
                    if (PQstatus(desk.conn.get()) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(desk.conn.get()));
                    desk.insert = std::make_unique<BareStatement>(
                        QString::fromLatin1(kInsert),
                        QVariantList{kDay, QStringLiteral("S"), code, name, 12.5, 10.0, 11.0, 11.0, 137.5, 110.0, 247.5, QStringLiteral("")});
                    return desk;
                },
                [](BareDesk& desk) {
                    pg_conn* conn = desk.conn.get();
                    check(PQexec(conn, "BEGIN"), conn);
                    desk.insert->run(conn);
                    check(PQexec(conn, "COMMIT"), conn);
                });
            state.SetIterationTime(std::chrono::duration<double>(kSaving).count());
        }
        state.counters["program_saves_per_s"] = program.savesPerSecond;
        state.counters["program_p99_ms"] = program.p99ms;
        state.counters["libpq_saves_per_s"] = bare.savesPerSecond;
        state.counters["libpq_p99_ms"] = bare.p99ms;
    })->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
}

void registerMove()
{
    benchmark::RegisterBenchmark("Ledger.move", [](benchmark::State& state) {
        for (auto _ : state) state.SetIterationTime(timedMove());
    })->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
}

}  // namespace

int main(int argc, char** argv)
{
    return runMeasurements(
        argc, argv,
        [] {
            registerMove();
            registerRefreshes();
            registerDesks();
            registerHandWrittenReport("later");
        },
        "libpq",
        [] {
            opened.reset();
            running.reset();
        });
}
