#pragma once

// What the screen measurements share: the cached ledger, the screens over
// it as the program opens them, and the program and a bare run timed in turns.
#include "common/Platform.h"
#include "screens/ScreenSet.h"

#include <QDate>
#include <QString>

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

class Connection;

inline const QDate kLastDay(2025, 12, 31);
inline const QDate kDay(2025, 12, 17);

class SilentDialogs : public Dialogs {
public:
    void message(const QString& text) override;
    bool confirm(const QString&) override { return true; }
    bool confirmDefaultNo(const QString&) override { return true; }
    Answer askYesNoCancel(const QString&) override { return Answer::Yes; }
};

// A ledger of 300 producers over the given years, made once and kept in the
// cache folder; each run works on a fresh copy, since the saves add rows.
QString cachedLedger(int years);

// Every screen over an opened ledger, at the measured day.
std::unique_ptr<ScreenSet> openScreens(Connection& connection, Dialogs& dialogs);

// One turn of each side.
struct Turns {
    std::function<void()> program;
    std::function<void()> bare;
};

// Program and bare run take turns within one measurement, so that whatever
// else the machine does weighs on both alike. The time is the program's; the
// bare run's stands beside it as the counter "<bare>_ms". prepare runs once,
// before the timing, and may run the program once for its SQL texts.
void registerTurns(const std::string& title, std::function<Turns()> prepare, const std::string& bare = "engine");

// A benchmark program's whole run: an application that shows nothing, in the
// program's font; `registering` adds the measurements, each reported beside
// its bare twin named `bare`; `ending` lets go of what they kept before the
// application ends.
int runMeasurements(int argc, char** argv, const std::function<void()>& registering, const std::string& bare,
                    const std::function<void()>& ending);

// Collects the medians of the program and bare runs of each pair and
// prints their ratio after the usual report.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::string bare = "engine") : bare_(std::move(bare)) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Result {
        double program = 0;
        double bare = 0;
        std::map<std::string, double> variants;
    };
    std::string bare_;
    std::map<std::string, Result> results_;
};
