#include "app/InstanceGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

QString ledgerIn(const QTemporaryDir& folder)
{
    return folder.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
}

// An environment variable set for a test's length.
class Setting {
public:
    Setting(const char* name, const QString& value) : name_(name), was_(qEnvironmentVariableIsSet(name)), before_(qgetenv(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~Setting() { was_ ? qputenv(name_, before_) : qunsetenv(name_); }

private:
    const char* name_;
    bool was_;
    QByteArray before_;
};

// One program per ledger: a second start shows the first; another ledger
// runs beside it; a crashed program's lock is taken over.
TEST(InstanceGuard, ASecondStartOnOneFolderShowsTheFirstInstead)
{
    QTemporaryDir folder, other, runtime;
    const Setting privateRuntime("XDG_RUNTIME_DIR", runtime.path());
    InstanceGuard first(ledgerIn(folder));
    ASSERT_TRUE(first.holdsFolder());
    int shown = 0;
    first.onShowAsked([&shown] { ++shown; });

    InstanceGuard second(ledgerIn(folder));
    EXPECT_FALSE(second.holdsFolder());
    EXPECT_TRUE(second.failure().isEmpty());
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

    InstanceGuard elsewhere(ledgerIn(other));
    EXPECT_TRUE(elsewhere.holdsFolder());
}

TEST(InstanceGuard, ALockLeftByACrashedProgramIsTakenOver)
{
    QTemporaryDir folder;
    const pid_t child = fork();
    if (child == 0) {
        InstanceGuard crashing(ledgerIn(folder));
        _exit(crashing.holdsFolder() ? 0 : 1);  // gone without letting go
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    InstanceGuard next(ledgerIn(folder));
    EXPECT_TRUE(next.holdsFolder());
}

// The same ledger reached another way, or started with another temporary
// folder, meets the same lock; a lock that cannot be taken for any other
// reason than being held says why, naming the lock file.
TEST(InstanceGuard, OneLedgerHasOneLockHoweverItIsReached)
{
    QTemporaryDir home;
    const QString real = home.filePath(QStringLiteral("d1/AnaData/Kovanta.mdb"));
    QDir().mkpath(home.filePath(QStringLiteral("d1/AnaData")));
    QDir().mkpath(home.filePath(QStringLiteral("d2")));
    ASSERT_TRUE(QFile::link(home.filePath(QStringLiteral("d1/AnaData")), home.filePath(QStringLiteral("d2/AnaData"))));
    ASSERT_TRUE(QFile::link(home.filePath(QStringLiteral("d1")), home.filePath(QStringLiteral("d3"))));
    InstanceGuard running(real);
    ASSERT_TRUE(running.holdsFolder());
    {
        QTemporaryDir otherTemporary;
        const Setting elsewhere("TMPDIR", otherTemporary.path());
        for (const char* way : {"d2/AnaData/Kovanta.mdb", "d3/AnaData/Kovanta.mdb", "d1/AnaData/../AnaData/Kovanta.mdb"}) {
            InstanceGuard second(home.filePath(QString::fromLatin1(way)));
            EXPECT_FALSE(second.holdsFolder()) << way;
            EXPECT_TRUE(second.failure().isEmpty()) << way;
        }
    }

    struct Case {
        const char* name;
        std::function<void(const QString& lock)> plant;
    };
    const Case cases[] = {
        {"a link at the lock's name", [&](const QString& lock) { QFile::link(home.filePath(QStringLiteral("baska")), lock); }},
        {"a folder at the lock's name", [](const QString& lock) { QDir().mkpath(lock); }},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        const QString lock = folder.filePath(QStringLiteral("AnaData/.Kovanta.mdb.kilit"));
        QDir().mkpath(folder.filePath(QStringLiteral("AnaData")));
        c.plant(lock);
        InstanceGuard guard(ledgerIn(folder));
        EXPECT_FALSE(guard.holdsFolder()) << c.name;
        EXPECT_TRUE(guard.failure().contains(lock)) << c.name << ": " << guard.failure().toStdString();
        EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("baska")))) << c.name << ": nothing made through the link";
    }
}

// The socket's folder is the user's own and closed to everyone else; any
// other is passed over.
TEST(InstanceGuard, TheSocketLivesOnlyInAPrivateRuntimeFolder)
{
    QTemporaryDir place;
    const Setting temporary("TMPDIR", place.path());
    const Setting runtime("XDG_RUNTIME_DIR", QString());
    const QString own = place.filePath(QStringLiteral("orvalin-kovanta-%1").arg(::geteuid()));
    const QString shared = place.filePath(QStringLiteral("shared")), closed = place.filePath(QStringLiteral("closed"));
    QDir().mkpath(shared);
    QDir().mkpath(closed);
    QFile::setPermissions(shared, QFile::Permissions(0x7777));
    QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::link(closed, place.filePath(QStringLiteral("link")));
    const struct {
        QString runtime;
        QString chosen;
    } cases[] = {
        {closed, closed},
        {shared, own},
        {place.filePath(QStringLiteral("link")), own},
        {QString(), own},
    };
    for (const auto& c : cases) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(c.runtime));
        EXPECT_EQ(privateRuntimeFolder(), c.chosen) << c.runtime.toStdString();
    }
    EXPECT_EQ(QFile::permissions(own) & QFile::Permissions(0x0077), QFile::Permissions()) << "made closed to others";
}

}  // namespace
