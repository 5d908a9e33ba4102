#include "app/InstanceGuard.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// One program per data folder: a second start shows the first; another
// folder runs beside it; a crashed program's lock is taken over.
TEST(InstanceGuard, ASecondStartOnOneFolderShowsTheFirstInstead)
{
    QTemporaryDir folder, other;
    InstanceGuard first(folder.path());
    ASSERT_TRUE(first.holdsFolder());
    int shown = 0;
    first.onShowAsked([&shown] { ++shown; });

    InstanceGuard second(folder.path());
    EXPECT_FALSE(second.holdsFolder());
    std::atomic<bool> done = false;
    bool answered = false;
    std::thread asker([&] {
        answered = second.askRunningToShow();
        done = true;
    });
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    asker.join();
    QCoreApplication::processEvents();
    EXPECT_TRUE(answered);
    EXPECT_EQ(shown, 1);

    InstanceGuard elsewhere(other.path());
    EXPECT_TRUE(elsewhere.holdsFolder());
}

TEST(InstanceGuard, ALockLeftByACrashedProgramIsTakenOver)
{
    QTemporaryDir folder;
    const pid_t child = fork();
    if (child == 0) {
        InstanceGuard crashing(folder.path());
        _exit(crashing.holdsFolder() ? 0 : 1);  // gone without letting go
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    InstanceGuard next(folder.path());
    EXPECT_TRUE(next.holdsFolder());
}

}  // namespace
