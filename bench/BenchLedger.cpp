#include "bench/BenchLedger.h"

#include "bench/LedgerGenerator.h"
#include "common/widgets/ScreenWindow.h"
#include "screens/Fabrika/Fabrika.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "store/Connection.h"
#include "store/Schema.h"
#include "store/Statement.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <sstream>

void SilentDialogs::message(const QString& text)
{
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
}

QString cachedLedger(int years)
{
    const QString dir = qEnvironmentVariable("KOVANTA_BENCH_DIR", QDir::tempPath() + QStringLiteral("/kovanta-bench"));
    const QString path = QStringLiteral("%1/ledger-%2y-v%3.mdb").arg(dir).arg(years).arg(schema::kVersion);
    if (!QFile::exists(path)) {
        QDir().mkpath(dir);
        Connection connection;
        connection.createNew(path + QStringLiteral(".part"));
        // A busy collector corrects some 2,000 entries a year.
        generateLedger(connection, {300, 365 * years, kLastDay, 2024, 2000 * years});
        // Statistics as an upgraded file has them.
        Statement(connection, QStringLiteral("ANALYZE")).run();
        connection.close();
        QFile::rename(path + QStringLiteral(".part"), path);
    }
    return path;
}

std::unique_ptr<ScreenSet> openScreens(Connection& connection, Dialogs& dialogs)
{
    auto set = std::make_unique<ScreenSet>(connection, dialogs);
    set->SutAlimF->tarihDate.setDate(kDay);
    set->VerilenlerF->tarihDate.setDate(kDay);
    set->FabrikaF->tarihDate.setDate(kDay);
    return set;
}

void registerTurns(const std::string& title, std::function<Turns()> prepare, const std::string& bare)
{
    benchmark::RegisterBenchmark(title.c_str(), [=](benchmark::State& state) {
        const Turns turns = prepare();
        double bareSeconds = 0;
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            turns.program();
            const auto programDone = std::chrono::steady_clock::now();
            turns.bare();
            const auto bareDone = std::chrono::steady_clock::now();
            state.SetIterationTime(std::chrono::duration<double>(programDone - start).count());
            bareSeconds += std::chrono::duration<double>(bareDone - programDone).count();
        }
        state.counters[bare + "_ms"] = benchmark::Counter(bareSeconds * 1000, benchmark::Counter::kAvgIterations);
    })->Unit(benchmark::kMillisecond)->UseManualTime();
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
        // "Measure/10y[/engine-variant]", less the options the library adds to the name.
        std::vector<std::string> parts;
        std::string part;
        std::istringstream words(run.run_name.str());
        while (std::getline(words, part, '/'))
            if (part.rfind("iterations:", 0) != 0 && part.rfind("repeats:", 0) != 0 && part != "manual_time")
                parts.push_back(part);
        if (parts.size() < 2) continue;
        const std::string measure = parts[0] + "/" + parts[1];
        if (parts.size() > 2) {
            results_[measure].variants[parts[2]] = run.GetAdjustedRealTime();
            continue;
        }
        results_[measure].program = run.GetAdjustedRealTime();
        const auto bare = run.counters.find(bare_ + "_ms");
        if (bare != run.counters.end()) results_[measure].bare = bare->second.value;
        const auto withoutHistory = run.counters.find("without_history_ms");
        if (withoutHistory != run.counters.end()) results_[measure].variants["without-history"] = withoutHistory->second.value;
    }
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::printf("\n%-26s %11s %11s %6s   %s\n", "measure", "program ms", (bare_ + " ms").c_str(), "ratio",
                (bare_ + " on other copies (ms, program/" + bare_ + ")").c_str());
    for (const auto& [name, r] : results_) {
        std::printf("%-26s %11.3f ", name.c_str(), r.program);
        if (r.bare > 0)
            std::printf("%11.3f %6.2f", r.bare, r.program / r.bare);
        else
            std::printf("%11s %6s", "", "");
        for (const auto& [variant, ms] : r.variants) std::printf("   %s %.1f (%.2f)", variant.c_str(), ms, r.program / ms);
        std::printf("\n");
    }
}

int runMeasurements(int argc, char** argv, const std::function<void()>& registering, const std::string& bare,
                    const std::function<void()>& ending)
{
    // The statements' pages are laid out as on a printer; nothing is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    useProgramFont();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    registering();
    RatioReporter reporter(bare);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    ending();
    benchmark::Shutdown();
    return 0;
}
