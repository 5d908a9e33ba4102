// Every screen's refresh, the account lists and the saves, timed through
// the program's own code and, side by side, the bare engine running the
// same SQL text on the same connection; at one and at ten years of data.
#include "bench/BenchLedger.h"
#include "ledger/AverageQuality.h"
#include "bench/LedgerGenerator.h"
#include "screens/Fabrika/Fabrika.h"
#include "screens/Gecmis/Gecmis.h"
#include "ledger/Statements.h"
#include "screens/Rapor/Rapor.h"
#include "ledger/Settlement.h"
#include "ledger/print/SettlementPrint.h"
#include "ledger/print/StatementPrint.h"
#include "screens/ScreenSet.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "screens/Cari/Cari.h"
#include "store/Connection.h"
#include "store/Schema.h"
#include "store/SqlText.h"
#include "store/Statement.h"
#include "store/TableCursor.h"

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <memory>

namespace {

// One ledger opened as the program opens it, with every screen.
struct Opened {
    explicit Opened(int years)
    {
        path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
        QDir().mkpath(dir.filePath(QStringLiteral("AnaData")));
        QFile::copy(cachedLedger(years), path);
        connection.open(path);
        set = openScreens(connection, dialogs);
    }

    QTemporaryDir dir;
    QString path;
    SilentDialogs dialogs;
    Connection connection;
    std::unique_ptr<ScreenSet> set;
    ScreenSet& screens() { return *set; }
};

std::map<int, std::unique_ptr<Opened>> ledgers;

Opened& ledger(int years)
{
    auto& slot = ledgers[years];
    if (!slot) slot = std::make_unique<Opened>(years);
    return *slot;
}

// A statement's SQL with its values written in, for the bare engine.
QStringList inlined(QString sql, const QStringList& values)
{
    for (int i = static_cast<int>(values.size()); i >= 1; --i) sql.replace(QStringLiteral("?%1").arg(i), values[i - 1]);
    return {sql};
}

// What a query of the program ran, its values written in as the engine reads them.
QStringList bareText(const Query& query)
{
    QStringList values;
    for (const QVariant& value : query.boundValues())
        values << (value.typeId() == QMetaType::QDate ? dateLiteral(value.toDate())
                   : value.typeId() == QMetaType::Int ? value.toString()
                                                       : QLatin1Char('\'') + value.toString().replace(QLatin1Char('\''), QStringLiteral("''")) +
                                                             QLatin1Char('\''));
    return inlined(query.sql().join(QLatin1Char('\n')), values);
}

// The bare engine: prepare, step through every row and read every column
// in its own type, as any caller must to use the rows.
void runBare(sqlite3* db, const QStringList& lines)
{
    const QByteArray text = lines.join(QLatin1Char('\n')).toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                benchmark::DoNotOptimize(sqlite3_column_int64(statement, c));
                break;
            case SQLITE_FLOAT:
                benchmark::DoNotOptimize(sqlite3_column_double(statement, c));
                break;
            case SQLITE_TEXT:
                benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
                benchmark::DoNotOptimize(sqlite3_column_bytes(statement, c));
                break;
            default:
                break;
            }
        }
    }
    sqlite3_finalize(statement);
}

using Action = std::function<void(Opened&)>;
// The SQL texts an action ran last, read back from its queries.
using Texts = std::function<std::vector<QStringList>(Opened&)>;

// Program and engine take turns within one measurement; the engine's time
// stands beside the program's as the counter engine_ms.
void registerPair(const std::string& name, int years, Action program, Texts texts, Action beforeEngine = {})
{
    registerTurns(name + "/" + std::to_string(years) + "y", [=]() {
        Opened& l = ledger(years);
        program(l);  // once, for its SQL texts
        const std::vector<QStringList> statements = texts(l);
        sqlite3* db = l.connection.handle();
        return Turns{[&l, program] { program(l); },
                     [&l, db, statements, beforeEngine] {
                         if (beforeEngine) beforeEngine(l);
                         for (const QStringList& lines : statements) runBare(db, lines);
                     }};
    });
}

void setReportPeriod(Opened& l, const QDate& from)
{
    l.screens().RaporF->ilktarihDate.setDate(from);
    l.screens().RaporF->sontarihDate.setDate(kLastDay);
}

// An intake save as the engine would make it: one INSERT with the row's values.
void bareIntakeInsert(Opened& l)
{
    sqlite3* db = l.connection.handle();
    static const char* sql =
        "INSERT INTO SutGirisi (Tarih, Gelir_Gider, Kodu, Adi, Sabah, Aksam, SBirim_Fiyat, ABirim_Fiyat, SToplam_Tutar, "
        "AToplam_Tutar, Gelir_Toplam_Tutar, Aciklama) VALUES ('2025-12-17', 'S', '1000', 'Ahmet Yılmaz', 12.5, 10, 11, "
        "11, 137.5, 110, 247.5, '')";
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
}

void barePaymentInsert(Opened& l)
{
    sqlite3* db = l.connection.handle();
    static const char* sql =
        "INSERT INTO SutGirisi (Tarih, Gelir_Gider, Kodu, Adi, Gider_Tutari, Gelir_Toplam_Tutar, Fis_No, Gider_Miktari, "
        "Aciklama) VALUES ('2025-12-17', 'O', '1000', 'Ahmet Yılmaz', 250, 0, 'F-1', 0, 'nakit')";
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
}

// The factory save's update, every field the screen writes, as one statement.
void bareFactoryUpdate(Opened& l)
{
    static const char* const fields[] = {
        "Sabah_Toplanan_LT", "Sabah_Toplanan_Tutar", "Sabah_Fabrika_LT", "Sabah_Fabrika_Tutar", "Sabah_Miktar_Farki",
        "Sabah_Teslim_Kari", "Sabah_Birim_Fiyat", "Aksam_Toplanan_LT", "Aksam_Toplanan_Tutar", "Aksam_Fabrika_LT",
        "Aksam_Fabrika_Tutar", "Aksam_Miktar_Farki", "Aksam_Teslim_Kari", "Aksam_Birim_Fiyat", "Toplam_Toplanan_LT",
        "Toplam_Toplanan_Tutar", "Toplam_Fabrika_LT", "Toplam_Fabrika_Tutar", "Toplam_Miktar_Farki",
        "Toplam_Teslim_Kari", "Birim_Fiyat"};
    QStringList sets{QStringLiteral("Tarih='2025-12-17'"), QStringLiteral("Aciklama=''")};
    static int delivered = 4000;
    ++delivered;
    for (const char* field : fields) sets << QStringLiteral("%1=%2").arg(QLatin1String(field)).arg(delivered);
    const QByteArray sql = QStringLiteral("UPDATE Fabrika SET %1 WHERE Tarih='2025-12-17'").arg(sets.join(QStringLiteral(", "))).toUtf8();
    sqlite3* db = l.connection.handle();
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
}

void registerAll()
{
    for (const int years : {1, 10}) {
        registerPair("Intake.GuncelleGunluk", years, [](Opened& l) { l.screens().SutAlimF->GuncelleGunluk(); },
                     [](Opened& l) {
                         TSutAlimF& s = *l.screens().SutAlimF;
                         return std::vector<QStringList>{bareText(s.SutGirisiQuery),
                                                         bareText(s.AylikSutGirisiQuery)};
                     });
        registerPair("Payment.Guncelle", years, [](Opened& l) { l.screens().VerilenlerF->Guncelle(); },
                     [](Opened& l) {
                         TVerilenlerF& s = *l.screens().VerilenlerF;
                         return std::vector<QStringList>{bareText(s.SutGirisiQuery)};
                     });
        registerPair("Factory.Guncelle", years, [](Opened& l) { l.screens().FabrikaF->Guncelle(); },
                     [](Opened& l) {
                         TFabrikaF& s = *l.screens().FabrikaF;
                         return std::vector<QStringList>{bareText(s.FabrikaQuery), bareText(s.GunlukSutQuery)};
                     });
        const auto reportTexts = [](Opened& l) {
            TRaporF& s = *l.screens().RaporF;
            return std::vector<QStringList>{bareText(s.SutGirisiQuery), bareText(s.detayQuery)};
        };
        const std::pair<const char*, QDate> periods[] = {
            {"Report.Yenile.month", QDate(2025, 12, 1)},
            {"Report.Yenile.year", QDate(2025, 1, 1)},
            {"Report.Yenile.all", QDate(2016, 1, 1)},
        };
        for (const auto& [name, from] : periods) {
            if (years == 1 && from.year() < 2025) continue;
            registerPair(name, years,
                         [from = from](Opened& l) {
                             setReportPeriod(l, from);
                             l.screens().RaporF->Yenile();
                         },
                         reportTexts);
        }
        registerPair("Accounts.reread", years, [](Opened& l) { reread(l.screens().SutAlimF->CariTanimQuery); },
                     [](Opened& l) { return std::vector<QStringList>{bareText(l.screens().SutAlimF->CariTanimQuery)}; });

        // A save is one commit and one refresh.
        registerPair("Intake.save", years,
                     [](Opened& l) {
                         TSutAlimF& s = *l.screens().SutAlimF;
                         s.SonrakiRadio.setChecked(false);
                         s.correcting.clear();
                         s.KoduEdit.setText(QStringLiteral("1000"));
                         s.AdiEdit.setText(l.screens().ledger.accountByCode(QStringLiteral("1000"))->adi);
                         s.sabahEdit.setText(QStringLiteral("12,5"));
                         s.aksamEdit.setText(QStringLiteral("10"));
                         s.SBirimFiyatEdit.setText(QStringLiteral("11"));
                         s.SaklaButClick();
                     },
                     [](Opened& l) {
                         TSutAlimF& s = *l.screens().SutAlimF;
                         return std::vector<QStringList>{bareText(s.SutGirisiQuery),
                                                         bareText(s.AylikSutGirisiQuery)};
                     },
                     bareIntakeInsert);
        registerPair("Payment.save", years,
                     [](Opened& l) {
                         TVerilenlerF& s = *l.screens().VerilenlerF;
                         s.correcting.clear();
                         s.KoduEdit.setText(QStringLiteral("1000"));
                         s.AdiEdit.setText(l.screens().ledger.accountByCode(QStringLiteral("1000"))->adi);
                         s.AlacagimizEdit.setText(QStringLiteral("250"));
                         s.SaklaButClick();
                     },
                     [](Opened& l) {
                         TVerilenlerF& s = *l.screens().VerilenlerF;
                         return std::vector<QStringList>{bareText(s.SutGirisiQuery)};
                     },
                     barePaymentInsert);
        registerPair("Factory.save", years,
                     [](Opened& l) {
                         TFabrikaF& s = *l.screens().FabrikaF;
                         // The day's row corrected again: a save goes on to the next day.
                         static const qint64 dayRow = s.correcting.get();
                         s.tarihDate.setDate(QDate(2025, 12, 17));
                         s.correcting.set(dayRow);
                         static int delivered = 4000;
                         s.SFMiktariEdit.setText(QString::number(++delivered));
                         s.AFMiktariEdit.setText(QStringLiteral("3.900"));
                         s.SaklaButClick();
                     },
                     [](Opened& l) {
                         TFabrikaF& s = *l.screens().FabrikaF;
                         return std::vector<QStringList>{bareText(s.FabrikaQuery), bareText(s.GunlukSutQuery)};
                     },
                     bareFactoryUpdate);
    }

    // The report's statements on copies of the ten-year file: one with only
    // the first three indexes and no statistics, as before the covering
    // indexes, and one with the indexes but no statistics, as a new file has.
    const std::pair<const char*, const char*> copies[] = {
        {"engine-three-indexes",
         "DROP INDEX SutGirisi_Tarih_Kodu_Adi; DROP INDEX SutGirisi_Kodu_Adi_Tarih; DROP TABLE sqlite_stat1;"},
        {"engine-no-statistics", "DROP TABLE sqlite_stat1;"},
    };
    for (const auto& [copyName, changes] : copies) {
        for (const auto& [name, from] : {std::pair{"Report.Yenile.month", QDate(2025, 12, 1)},
                                         std::pair{"Report.Yenile.all", QDate(2016, 1, 1)}}) {
            const std::string title = std::string(name) + "/10y/" + copyName;
            benchmark::RegisterBenchmark(title.c_str(), [from = from, changes = changes](benchmark::State& state) {
                Opened& l = ledger(10);
                setReportPeriod(l, from);
                l.screens().RaporF->Yenile();
                TRaporF& s = *l.screens().RaporF;
                const std::vector<QStringList> statements{bareText(s.SutGirisiQuery), bareText(s.detayQuery)};
                QTemporaryDir dir;
                const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
                QFile::copy(l.path, copy);
                sqlite3* db = nullptr;
                sqlite3_open_v2(QFile::encodeName(copy).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
                sqlite3_exec(db, changes, nullptr, nullptr, nullptr);
                sqlite3_close(db);
                Connection changed;
                changed.open(copy);  // the same settings and collation; still at this version, so nothing is added back
                for (auto _ : state)
                    for (const QStringList& lines : statements) runBare(changed.handle(), lines);
            })->Unit(benchmark::kMillisecond);
        }
    }
}


// "Tüm Ekstreler" over the last year of the ten-year ledger: the
// statements made (against the same statements on the bare engine), laid
// out on A4, and the preview's first page drawn.
void registerStatements()
{
    const QDate from(2025, 1, 1);
    registerPair("Statements.make.year", 10,
                 [from](Opened& l) { benchmark::DoNotOptimize(buildAllStatements(l.connection, from, kLastDay)); },
                 [from](Opened& l) {
                     const QString first = dateLiteral(from);
                     const QString last = dateLiteral(kLastDay);
                     std::vector<QStringList> texts{inlined(StatementSql::kCodes, {first, last}),
                                                    inlined(StatementSql::openings(kFileDialect), {first}),
                                                    inlined(averageQualityByCodeSql(), {first, last, QStringLiteral("'S'"), QStringLiteral("''")})};
                     for (const StatementCode& code : statementCodes(l.connection, from, kLastDay))
                         texts.push_back(inlined(StatementSql::kRows,
                                                 {QLatin1Char('\'') + QString(code.kodu).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''),
                                                  first, last}));
                     return texts;
                 });
    benchmark::RegisterBenchmark("Statements.firstPage.year/10y", [from](benchmark::State& state) {
        Opened& l = ledger(10);
        int pages = 0;
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            const std::vector<AccountStatement> statements = buildAllStatements(l.connection, from, kLastDay);
            QPrinter printer(QPrinter::HighResolution);
            printer.setPageSize(QPageSize(QPageSize::A4));
            printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
            const StatementPages laidOut(printer, statements);
            QImage sheet(794, 1123, QImage::Format_RGB32);
            sheet.setDotsPerMeterX(qRound(printer.logicalDpiX() / 0.0254));
            sheet.setDotsPerMeterY(qRound(printer.logicalDpiY() / 0.0254));
            QPainter painter(&sheet);
            painter.scale(794.0 / printer.pageLayout().fullRectPixels(printer.logicalDpiX()).width(),
                          794.0 / printer.pageLayout().fullRectPixels(printer.logicalDpiX()).width());
            laidOut.paintPage(painter, 0);
            painter.end();
            state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            pages = laidOut.pageCount();
        }
        state.counters["pages"] = pages;
    })->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
}

// A month's settlement of the 300 producers: worked out, posted, and every
// slip written as a PDF, beside the engine running the same sums (and, for
// the posting, the same rows inserted in one transaction).
void registerSettlement()
{
    const QDate from(2025, 12, 1);
    const auto sums = [from](Opened& l) {
        const QStringList days{dateLiteral(from), dateLiteral(kLastDay)};
        return std::vector<QStringList>{inlined(SettlementSql::kRates, {days[1]}), inlined(SettlementSql::milk(kFileDialect), days),
                                        inlined(SettlementSql::payments(kFileDialect), days + QStringList{QStringLiteral("0")}),
                                        inlined(StatementSql::openings(kFileDialect), {days[0]}), inlined(SettlementSql::kProducers, days),
                                        inlined(averageQualityByCodeSql(), days + QStringList{QStringLiteral("'S'"), QStringLiteral("''")})};
    };
    const auto setRates = [](Opened& l) {
        Statement(l.connection, QStringLiteral("UPDATE Kesintiler SET Oran = 1 + KSID / 10.0 WHERE Oran IS NULL")).run();
    };
    registerPair("Settlement.compute.month", 10,
                 [from, setRates](Opened& l) {
                     setRates(l);
                     benchmark::DoNotOptimize(Settlements(l.screens().ledger).compute(from, kLastDay));
                 },
                 sums);
    benchmark::RegisterBenchmark("Settlement.post.month/10y", [from, sums, setRates](benchmark::State& state) {
        Opened& l = ledger(10);
        setRates(l);
        Settlements settlements(l.screens().ledger);
        sqlite3* db = l.connection.handle();
        const auto exec = [db](const char* sql) {
            if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
        };
        double engine = 0;
        for (auto _ : state) {
            auto start = std::chrono::steady_clock::now();
            const Settlements::Post posted = settlements.post(from, kLastDay);
            state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            const Settlement done = settlements.compute(from, kLastDay);
            settlements.undo(done.posting->hkid);

            start = std::chrono::steady_clock::now();
            exec("BEGIN IMMEDIATE");
            for (const QStringList& lines : sums(l)) runBare(db, lines);
            // Each deduction's row and its row in the posting's list.
            for (const char* sql : {"INSERT INTO SutGirisi (Tarih, Kodu, Adi, Gelir_Gider, Gider_Tutari, Fis_No, Aciklama) "
                                    "VALUES ('2025-12-31', '1000', 'Ahmet Yılmaz', 'O', 12.34, 'HK-20251231', 'Kesinti')",
                                    "INSERT INTO Hakedis_Satirlari (HKID, Tur, SGID, Kodu, Kesinti, Oran, Tutar) "
                                    "VALUES (-1, 'K', 1, '1000', 'Kesinti', 1, 12.34)"}) {
                sqlite3_stmt* insert = nullptr;
                sqlite3_prepare_v2(db, sql, -1, &insert, nullptr);
                for (int row = 0; row < posted.rows; ++row) {
                    sqlite3_step(insert);
                    sqlite3_reset(insert);
                }
                sqlite3_finalize(insert);
            }
            exec("COMMIT");
            engine += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            exec("DELETE FROM SutGirisi WHERE Fis_No = 'HK-20251231'; DELETE FROM Hakedis_Satirlari WHERE HKID = -1");
        }
        state.counters["engine_ms"] = benchmark::Counter(engine * 1000, benchmark::Counter::kAvgIterations);
    })->Unit(benchmark::kMillisecond)->UseManualTime();
    registerPair("Settlement.slips.month", 10,
                 [from, setRates](Opened& l) {
                     setRates(l);
                     const Settlement settlement = Settlements(l.screens().ledger).compute(from, kLastDay);
                     const QPageLayout a5(QPageSize(QPageSize::A5), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                          QPageLayout::Millimeter);
                     writePagesPdf(l.dir.filePath(QStringLiteral("pusulalar.pdf")), a5, 1200,
                                   [&](QPagedPaintDevice& device) { return layOutSlips(device, settlement, false); });
                 },
                 sums);
}

// A new intake row on the bare engine: each change works on one.
qint64 freshIntakeRow(Opened& l)
{
    bareIntakeInsert(l);
    return sqlite3_last_insert_rowid(l.connection.handle());
}

// The bare engine's write alone, autocommitted, with no history.
void bareChange(Opened& l, qint64 key, bool deletion, double litres)
{
    sqlite3* db = l.connection.handle();
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db,
                       deletion ? "DELETE FROM SutGirisi WHERE SGID=?1"
                                : "UPDATE SutGirisi SET Aksam=?2, AToplam_Tutar=?3, Gelir_Toplam_Tutar=?4 WHERE SGID=?1",
                       -1, &statement, nullptr);
    sqlite3_bind_int64(statement, 1, key);
    if (!deletion) {
        sqlite3_bind_double(statement, 2, litres);
        sqlite3_bind_double(statement, 3, litres * 11);
        sqlite3_bind_double(statement, 4, 137.5 + litres * 11);
    }
    const int rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
}

// A correction and a deletion of an intake row through the table cursor,
// each with its row of the history in one transaction; in turns with the
// same write through a cursor over the table unrecorded, and with the bare
// engine's write. As a save, each is followed by the intake refresh (the
// bare engine runs its SQL); alone, it is the write. The rows are made untimed.
void registerHistory()
{
    schema::Table unrecorded = schema::sutGirisi();
    unrecorded.recorded = false;
    for (const int years : {1, 10}) {
        for (const bool deletion : {false, true}) {
            for (const bool save : {true, false}) {
                const std::string title = std::string(deletion ? "History.delete" : "History.correct") + (save ? "" : ".write") +
                                          "/" + std::to_string(years) + "y";
                benchmark::RegisterBenchmark(title.c_str(), [=](benchmark::State& state) {
                    Opened& l = ledger(years);
                    TSutAlimF& intake = *l.screens().SutAlimF;
                    intake.GuncelleGunluk();
                    const std::vector<QStringList> refresh{bareText(intake.SutGirisiQuery),
                                                           bareText(intake.AylikSutGirisiQuery)};
                    TableCursor recordedTable(l.connection, schema::sutGirisi());
                    TableCursor unrecordedTable(l.connection, unrecorded);
                    recordedTable.open();
                    unrecordedTable.open();
                    // A deletion takes a new row; a correction one of the day's, so the day stays as it is.
                    Statement dayRows(l.connection, QStringLiteral("SELECT SGID FROM SutGirisi WHERE Tarih=?1 LIMIT 3"));
                    dayRows.bind(1, kDay);
                    qint64 corrected[3] = {};
                    for (qint64& key : corrected) key = dayRows.step() ? dayRows.column(0).toLongLong() : 0;
                    const auto rowToChange = [&](int turn) { return deletion ? freshIntakeRow(l) : corrected[turn]; };
                    double litres = 10;
                    // The same save through the program, and as the bare engine makes it.
                    const auto change = [&](TableCursor& table, qint64 key) {
                        const auto start = std::chrono::steady_clock::now();
                        table.locate(QStringLiteral("SGID"), key);
                        if (deletion)
                            table.deleteCurrent();
                        else
                            table.edit()
                                .setField(QStringLiteral("Aksam"), litres)
                                .setField(QStringLiteral("AToplam_Tutar"), litres * 11)
                                .setField(QStringLiteral("Gelir_Toplam_Tutar"), 137.5 + litres * 11)
                                .post();
                        if (save) intake.GuncelleGunluk();
                        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                    };
                    const auto bare = [&](qint64 key) {
                        const auto start = std::chrono::steady_clock::now();
                        bareChange(l, key, deletion, litres);
                        if (save)
                            for (const QStringList& lines : refresh) runBare(l.connection.handle(), lines);
                        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                    };
                    double withoutHistory = 0;
                    double engine = 0;
                    for (auto _ : state) {
                        litres += 1;
                        state.SetIterationTime(change(recordedTable, rowToChange(0)));
                        withoutHistory += change(unrecordedTable, rowToChange(1));
                        engine += bare(rowToChange(2));
                    }
                    state.counters["without_history_ms"] =
                        benchmark::Counter(withoutHistory * 1000, benchmark::Counter::kAvgIterations);
                    state.counters["engine_ms"] = benchmark::Counter(engine * 1000, benchmark::Counter::kAvgIterations);
                })->Unit(benchmark::kMillisecond)->UseManualTime();
            }
        }
    }

    // The history of ten years (20,000 corrections) searched: for a code and
    // a part of a name over the ten years, and listed for a month and whole.
    struct Search {
        const char* name;
        QDate from;
        const char* wanted;
    };
    for (const Search& search : {Search{"History.search.code", QDate(2016, 1, 1), "1000"},
                                 Search{"History.search.name", QDate(2016, 1, 1), "şükrü"},
                                 Search{"History.list.month", QDate(2025, 12, 1), ""},
                                 Search{"History.list.all", QDate(2016, 1, 1), ""}}) {
        registerPair(search.name, 10,
                     [search](Opened& l) {
                         TGecmisF& s = *l.screens().GecmisF;
                         s.ilktarihDate.setDate(search.from);
                         s.sontarihDate.setDate(kLastDay);
                         s.AraEdit.setText(QString::fromUtf8(search.wanted));
                         s.Listele();
                     },
                     [](Opened& l) {
                         return std::vector<QStringList>{bareText(l.screens().GecmisF->DegisiklikQuery)};
                     });
    }
}

// Start-up to the menu on the ten-year file, and memory with every screen
// opened, from the probe program run afresh each time.
void registerStartup()
{
    benchmark::RegisterBenchmark("Startup.menu/10y", [](benchmark::State& state) {
        Opened& l = ledger(10);
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("AnaData")));
        QFile::copy(l.path, dir.filePath(QStringLiteral("AnaData/Kovanta.mdb")));
        const QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/../kovanta-startup-probe");
        const auto start = [&](QProcess& run) {
            run.setWorkingDirectory(dir.path());
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            run.setProcessEnvironment(environment);
            run.start(probe, {QStringLiteral("2025-01-01"), kLastDay.toString(Qt::ISODate)});
            run.waitForFinished(120000);
        };
        {
            // The day's first start makes and checks the day's copy; the
            // measured starts are the ones after it.
            QProcess first;
            start(first);
        }
        for (auto _ : state) {
            QProcess run;
            start(run);
            for (const QByteArray& line : run.readAllStandardOutput().split('\n')) {
                const QList<QByteArray> words = line.split(' ');
                if (words.value(0) == "startup_ms") state.SetIterationTime(words.value(1).toDouble() / 1000);
                if (words.value(0) == "rss_kib") state.counters["MiB_" + words.value(1).toStdString()] = words.value(2).toDouble() / 1024;
            }
        }
    })->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
}

}  // namespace

int main(int argc, char** argv)
{
    return runMeasurements(
        argc, argv,
        [] {
            registerAll();
            registerStatements();
            registerSettlement();
            registerHistory();
            registerStartup();
        },
        "engine", [] { ledgers.clear(); });
}
