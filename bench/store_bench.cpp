// Times the store's busiest paths over a two-year ledger of 300 producers.
#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Query.h"
#include "store/SqlText.h"
#include "store/Schema.h"
#include "store/TableCursor.h"

#include <QDate>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <random>

namespace {

constexpr int kProducers = 300;
constexpr int kDays = 730;
const QDate kFirstDay(2023, 1, 1);
const QDate kSampleDay(2024, 2, 14);

struct Ledger {
    QTemporaryDir dir;
    Connection connection;
};

Ledger* ledger = nullptr;

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw DatabaseError(0, sqlite3_errmsg(db));
}

// One intake row per producer and day, with the morning and evening litres,
// and a payment row now and then; loaded in one transaction.
void fill(Connection& connection)
{
    sqlite3* db = connection.handle();
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> litres(5.0, 60.0);
    std::uniform_real_distribution<double> price(9.0, 14.0);
    std::uniform_int_distribution<int> payDay(0, 29);

    static const char* const kFirstNames[] = {"Ahmet", "Ayşe", "Çağrı", "Derya", "Emine", "Fatih", "Gül",
                                               "Hüseyin", "İbrahim", "Işıl", "Kemal", "Mehmet", "Özlem",
                                               "Şükrü", "Ümit", "Yusuf"};
    static const char* const kLastNames[] = {"Yılmaz", "Kaya", "Demir", "Şahin", "Çelik", "Öztürk",
                                              "Aydın", "Özdemir", "Arslan", "Doğan", "Kılıç", "Aslan",
                                              "Çetin", "Kara", "Koç", "Kurt", "Özkan", "Şimşek", "İnce"};
    struct Producer {
        QByteArray code, name;
        double price;
    };
    std::vector<Producer> producers;
    for (int i = 0; i < kProducers; ++i) {
        const QString name = QString::fromUtf8(kFirstNames[i % std::size(kFirstNames)]) + QLatin1Char(' ') +
                             QString::fromUtf8(kLastNames[(i / std::size(kFirstNames) + i) % std::size(kLastNames)]) +
                             QLatin1Char(' ') + QString::number(i);
        producers.push_back({QByteArray::number(1000 + i), name.toUtf8(), price(random)});
    }

    exec(db, "BEGIN");
    sqlite3_stmt* account = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Cariler (Kodu, Adi, Birim_Fiyati, Kayit_Tarihi) VALUES (?, ?, ?, '2023-01-01 08:00:00')",
                       -1, &account, nullptr);
    for (const Producer& p : producers) {
        sqlite3_bind_text(account, 1, p.code.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(account, 2, p.name.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_double(account, 3, p.price);
        sqlite3_step(account);
        sqlite3_reset(account);
    }
    sqlite3_finalize(account);

    sqlite3_stmt* intake = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO SutGirisi (Tarih, Kodu, Adi, Gelir_Gider, Sabah, Aksam, SBirim_Fiyat, ABirim_Fiyat, "
                       "SToplam_Tutar, AToplam_Tutar, Gelir_Toplam_Tutar) VALUES (?, ?, ?, 'S', ?, ?, ?, ?, ?, ?, ?)",
                       -1, &intake, nullptr);
    sqlite3_stmt* payment = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO SutGirisi (Tarih, Kodu, Adi, Gelir_Gider, Gider_Tutari, Gider_Miktari, Fis_No) "
                       "VALUES (?, ?, ?, 'O', ?, 1, '1')",
                       -1, &payment, nullptr);
    for (int day = 0; day < kDays; ++day) {
        const QByteArray date = kFirstDay.addDays(day).toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
        for (const Producer& p : producers) {
            const double morning = litres(random);
            const double evening = litres(random);
            sqlite3_bind_text(intake, 1, date.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_text(intake, 2, p.code.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_text(intake, 3, p.name.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_double(intake, 4, morning);
            sqlite3_bind_double(intake, 5, evening);
            sqlite3_bind_double(intake, 6, p.price);
            sqlite3_bind_double(intake, 7, p.price);
            sqlite3_bind_double(intake, 8, morning * p.price);
            sqlite3_bind_double(intake, 9, evening * p.price);
            sqlite3_bind_double(intake, 10, (morning + evening) * p.price);
            if (sqlite3_step(intake) != SQLITE_DONE) throw DatabaseError(0, sqlite3_errmsg(db));
            sqlite3_reset(intake);
            if (payDay(random) == 0) {
                sqlite3_bind_text(payment, 1, date.constData(), -1, SQLITE_STATIC);
                sqlite3_bind_text(payment, 2, p.code.constData(), -1, SQLITE_STATIC);
                sqlite3_bind_text(payment, 3, p.name.constData(), -1, SQLITE_STATIC);
                sqlite3_bind_double(payment, 4, 500.0);
                sqlite3_step(payment);
                sqlite3_reset(payment);
            }
        }
    }
    sqlite3_finalize(intake);
    sqlite3_finalize(payment);
    exec(db, "COMMIT");
}

void DayQuery(benchmark::State& state)
{
    Query query(ledger->connection,
                {QStringLiteral("SELECT * FROM SutGirisi"), QStringLiteral("WHERE Tarih=?1 AND Gelir_Gider=?2"),
                 QStringLiteral("ORDER BY Adi COLLATE tr")},
                {kSampleDay, QStringLiteral("S")});
    for (auto _ : state) {
        query.open();
        benchmark::DoNotOptimize(query.recordCount());
    }
    state.counters["rows"] = query.recordCount();
}
BENCHMARK(DayQuery)->Unit(benchmark::kMillisecond)->MinTime(0.3);

void MonthByName(benchmark::State& state)
{
    Query query(ledger->connection,
                {QStringLiteral("SELECT Adi, SUM(Sabah) AS Sabah_Toplam, SUM(Aksam) AS Aksam_Toplam,"),
                 QStringLiteral("SUM(Gelir_Toplam_Tutar) AS Tutar, COUNT(SBirim_Fiyat) AS Toplam_GUN"),
                 QStringLiteral("FROM SutGirisi"), QStringLiteral("WHERE (Tarih>=?1 AND Tarih<=?2) AND Gelir_Gider=?3"),
                 QStringLiteral("GROUP BY Adi"), QStringLiteral("ORDER BY Adi COLLATE tr")},
                {QDate(2024, 2, 1), QDate(2024, 2, 29), QStringLiteral("S")});
    for (auto _ : state) {
        query.open();
        benchmark::DoNotOptimize(query.recordCount());
    }
    state.counters["rows"] = query.recordCount();
}
BENCHMARK(MonthByName)->Unit(benchmark::kMillisecond)->MinTime(0.3);

// One intake save as the screen makes it: an autocommitted INSERT with a full sync.
void AppendPost(benchmark::State& state)
{
    TableCursor table(ledger->connection, schema::sutGirisi());
    table.open();
    for (auto _ : state) {
        const qint64 key = table.append()
                               .setField(QStringLiteral("Tarih"), kSampleDay)
                               .setField(QStringLiteral("Gelir_Gider"), QStringLiteral("S"))
                               .setField(QStringLiteral("Kodu"), QStringLiteral("1001"))
                               .setField(QStringLiteral("Adi"), QStringLiteral("Ayşe Kaya 1"))
                               .setField(QStringLiteral("Sabah"), 12.5)
                               .setField(QStringLiteral("Aksam"), 10.0)
                               .setField(QStringLiteral("SBirim_Fiyat"), 11.0)
                               .setField(QStringLiteral("ABirim_Fiyat"), 11.0)
                               .setField(QStringLiteral("SToplam_Tutar"), 137.5)
                               .setField(QStringLiteral("AToplam_Tutar"), 110.0)
                               .setField(QStringLiteral("Gelir_Toplam_Tutar"), 247.5)
                               .post();
        benchmark::DoNotOptimize(key);
    }
}
BENCHMARK(AppendPost)->Unit(benchmark::kMillisecond)->MinTime(0.3);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    auto built = std::make_unique<Ledger>();
    built->connection.createNew(built->dir.filePath(QStringLiteral("AnaData/Kovanta.mdb")));
    fill(built->connection);
    ledger = built.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
