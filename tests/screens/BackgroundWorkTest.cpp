// The day's copy runs as a piece of background work: nothing it throws may
// end the program, and closing the program stops it without what follows.

#include "app/BackgroundWork.h"
#include "store/DatabaseError.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <thread>

namespace {

TEST(BackgroundWork, WhatTheWorkThrowsReachesWhatFollowsAsText)
{
    const struct {
        const char* name;
        std::function<void()> work;
        const char* told;
    } cases[] = {
        {"ends well", [] {}, ""},
        {"the engine's error", [] { throw DatabaseError(SQLITE_FULL, "disk dolu"); }, "disk dolu"},
        {"a program error", [] { throw std::runtime_error("bozuk"); }, "bozuk"},
        {"anything else", [] { throw 42; }, "Beklenmeyen bir hata oluştu."},
    };
    for (const auto& c : cases) {
        BackgroundWork background;
        QString told = QStringLiteral("(not run)");
        background.start([&](const std::atomic<bool>&) { c.work(); }, [&](const QString& failure) { told = failure; });
        background.finish();
        EXPECT_EQ(told, QString::fromUtf8(c.told)) << c.name;
        EXPECT_FALSE(background.running());
    }
}

TEST(BackgroundWork, DestroyedItStopsTheWorkAndWhatFollowsDoesNotRun)
{
    std::atomic<bool> began = false, sawStop = false;
    bool followed = false;
    {
        BackgroundWork background;
        background.start(
            [&](const std::atomic<bool>& stop) {
                began = true;
                while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                sawStop = true;
            },
            [&](const QString&) { followed = true; });
        while (!began) std::this_thread::yield();
    }
    EXPECT_TRUE(sawStop);
    EXPECT_FALSE(followed);
}

}  // namespace
