// Start-up in front of files that cannot be used as they are: each is named
// in Turkish, refused before anything is written, and left as it was.

#include "FaultVfs.h"
#include "Ledger.h"
#include "ReadOnly.h"
#include "store/Connection.h"
#include "store/DatabaseError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace {

const QDate kDay(2021, 3, 5);

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

std::string refusal(const QString& path)
{
    Connection connection;
    try {
        connection.open(path);
    } catch (const DatabaseError& error) {
        EXPECT_FALSE(connection.isOpen());
        return error.what();
    }
    return "opened";
}

void createWithRows(const QString& path, int rows)
{
    Connection connection;
    connection.createNew(path);
    addAccount(connection, QStringLiteral("K1"), QStringLiteral("Ali Can"), 1.4);
    for (int i = 0; i < rows; ++i)
        addIntakeRow(connection, kDay.addDays(i), QStringLiteral("K1"), QStringLiteral("Ali Can"), i, 1, 1.4);
}

TEST(FileFault, WhatStandsInTheFilesPlaceIsNamedAndLeftAsItWas)
{
    struct Case {
        const char* name;
        std::function<bool(const QString& path)> make;
        std::function<void(const QString& path)> undo;
        const char* expected;
    };
    const auto folderOf = [](const QString& p) { return QFileInfo(p).absolutePath(); };
    const Case cases[] = {
        {"a folder", [](const QString& p) { return QDir().mkpath(p); }, nullptr,
         "bu ad bir klasörün, veritabanı dosyası değil"},
        {"a pipe", [](const QString& p) { return ::mkfifo(QFile::encodeName(p).constData(), 0644) == 0; }, nullptr,
         "bu ad sıradan bir dosyanın değil"},
        {"a read-only file",
         [](const QString& p) {
             createWithRows(p, 1);
             return makeReadOnly(p, true);
         },
         [](const QString& p) { makeReadOnly(p, false); }, "dosya salt okunur; bu durumda hiçbir kayıt saklanamaz"},
        {"a read-only folder",
         [&](const QString& p) {
             createWithRows(p, 1);
             return makeReadOnly(folderOf(p), true);
         },
         [&](const QString& p) { makeReadOnly(folderOf(p), false); }, "salt okunur; her kayıt bu klasörde geçici"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("AnaData"));
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/Kovanta.mdb");
        ASSERT_TRUE(c.make(path));
        const QByteArray before = QFileInfo(path).isFile() ? readAll(path) : QByteArray();
        const QStringList entries = QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);

        const std::string text = refusal(path);
        EXPECT_EQ(text.rfind(path.toStdString() + ": ", 0), 0u) << text;
        EXPECT_NE(text.find(c.expected), std::string::npos) << text;
        EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System), entries);
        if (QFileInfo(path).isFile()) {
            EXPECT_EQ(readAll(path), before);
        }
        if (c.undo) {
            c.undo(path);
            EXPECT_EQ(refusal(path), "opened") << "usable again once writable";
        }
    }
}

TEST(FileFault, ALockHeldByAnotherProgramIsWaitedForThenNamed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
    createWithRows(path, 1);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    // Let go within the wait: the start goes on as a save would.
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(refusal(path), "opened");
    releaser.join();
    EXPECT_GE(timer.elapsed(), 350);

    // Held past the wait: refused, saying who holds it.
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    timer.restart();
    const std::string text = refusal(path);
    EXPECT_GE(timer.elapsed(), 4900);
    EXPECT_NE(text.find("dosyayı başka bir program kilitli tutuyor; 5 saniye beklendi"), std::string::npos) << text;
    EXPECT_NE(text.find("database is locked"), std::string::npos) << text;
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

// A save cut off at each I/O call, by a crash (what was written stays).
// The file with its own journal opens whole; an older copy put back beside
// that journal is refused, and both files are left as they were.
TEST(FileFault, ALeftJournalRollsBackItsOwnFileAndIsRefusedBesideAnOlderCopy)
{
    QTemporaryDir dir;
    const QString older = dir.filePath(QStringLiteral("older/Kovanta.mdb"));
    const QString current = dir.filePath(QStringLiteral("current/Kovanta.mdb"));
    createWithRows(older, 5);
    QDir().mkpath(QFileInfo(current).absolutePath());
    ASSERT_TRUE(QFile::copy(older, current));
    {
        Connection connection;
        connection.open(current);
        for (int i = 0; i < 200; ++i)
            addIntakeRow(connection, kDay, QStringLiteral("K1"), QStringLiteral("Ali Can"), i, 2, 1.4);
    }

    // Returns the I/O calls the save made; closing afterwards touches a file already saved.
    const auto save = [](const QString& path) {
        Connection connection;
        connection.open(path);
        addIntakeRow(connection, kDay, QStringLiteral("K1"), QStringLiteral("Ali Can"), 99, 9, 1.4, QStringLiteral("son"));
        return faultVfs().calls();
    };
    const QString counted = dir.filePath(QStringLiteral("count/Kovanta.mdb"));
    QDir().mkpath(QFileInfo(counted).absolutePath());
    QFile::copy(current, counted);
    faultVfs().track(QFileInfo(counted).absolutePath());
    setEngineFileLayer(kFaultVfs);
    faultVfs().arm(FaultVfs::Mode::Count, 0);
    const int calls = save(counted);
    setEngineFileLayer(nullptr);
    ASSERT_GT(calls, 10);

    int journals = 0, refused = 0, opened = 0;
    for (int at = 1; at <= calls; ++at) {
        SCOPED_TRACE("cut at call " + std::to_string(at));
        const QString run = dir.filePath(QStringLiteral("run%1").arg(at));
        QDir().mkpath(run + QStringLiteral("/crashed"));
        QDir().mkpath(run + QStringLiteral("/restored"));
        const QString crashed = run + QStringLiteral("/crashed/Kovanta.mdb");
        QFile::copy(current, crashed);
        faultVfs().track(run + QStringLiteral("/crashed"));
        setEngineFileLayer(kFaultVfs);
        faultVfs().arm(FaultVfs::Mode::PowerCut, at);
        EXPECT_THROW(save(crashed), DatabaseError);
        faultVfs().disarm();
        setEngineFileLayer(nullptr);
        if (!QFileInfo::exists(crashed + QStringLiteral("-journal"))) continue;
        // Until it is synced the engine keeps a journal's first bytes zero:
        // such a journal is not rolled back and is harmless beside any file.
        const bool hot = readAll(crashed + QStringLiteral("-journal")).left(1) != QByteArray(1, '\0') &&
                         QFileInfo(crashed + QStringLiteral("-journal")).size() > 0;
        if (hot) ++journals;

        const QString restored = run + QStringLiteral("/restored/Kovanta.mdb");
        QFile::copy(older, restored);
        QFile::copy(crashed + QStringLiteral("-journal"), restored + QStringLiteral("-journal"));
        const QByteArray file = readAll(restored), journal = readAll(restored + QStringLiteral("-journal"));
        const std::string text = refusal(restored);
        if (!hot)
            EXPECT_EQ(text, "opened");
        else if (text.find(QStringLiteral("yanındaki %1-journal dosyası bu veritabanı dosyasına ait değil")
                          .arg(restored)
                          .toStdString()) != std::string::npos)
            ++refused;
        else
            ADD_FAILURE() << text << "; journal " << journal.size() << " bytes, header " << journal.left(28).toHex().toStdString()
                          << ", older file " << file.size() << " bytes";
        EXPECT_EQ(readAll(restored), file);
        EXPECT_EQ(readAll(restored + QStringLiteral("-journal")), journal);

        EXPECT_EQ(refusal(crashed), "opened");
        Connection check;
        check.open(crashed);
        EXPECT_EQ(readRows(check, QStringLiteral("PRAGMA integrity_check")).value(0).value(QStringLiteral("integrity_check")),
                  QVariant(QStringLiteral("ok")));
        EXPECT_EQ(readRows(check, QStringLiteral("SELECT count(*) AS n FROM SutGirisi")).value(0).value(QStringLiteral("n")),
                  QVariant(qlonglong(200 + 5)));
        ++opened;
    }
    std::printf("left journals: %d cut saves (one per I/O call), %d left a hot journal, %d older copies beside it refused, "
                "%d crashed files opened whole\n",
                calls, journals, refused, opened);
    EXPECT_GT(journals, 0);
    EXPECT_EQ(refused, journals);
}

// A creation cut off at any I/O call leaves either no file, which the next
// start offers to create again, or a whole one that opens.
TEST(FileFault, ACreationCutOffAnywhereIsOfferedAgainOrOpensWhole)
{
    QTemporaryDir dir;
    const auto create = [](const QString& path) {
        Connection connection;
        connection.createNew(path);
    };
    QDir().mkpath(dir.filePath(QStringLiteral("count")));
    faultVfs().track(dir.filePath(QStringLiteral("count")));
    setEngineFileLayer(kFaultVfs);
    faultVfs().arm(FaultVfs::Mode::Count, 0);
    int calls = 0;
    {
        // The creation's own calls; closing afterwards touches a whole file.
        Connection connection;
        connection.createNew(dir.filePath(QStringLiteral("count/Kovanta.mdb")));
        calls = faultVfs().calls();
    }
    setEngineFileLayer(nullptr);
    ASSERT_GT(calls, 10);

    int offered = 0, whole = 0;
    for (int at = 1; at <= calls; ++at) {
        SCOPED_TRACE("cut at call " + std::to_string(at));
        const QString folder = dir.filePath(QStringLiteral("run%1/AnaData").arg(at));
        const QString path = folder + QStringLiteral("/Kovanta.mdb");
        QDir().mkpath(folder);
        faultVfs().track(folder);
        setEngineFileLayer(kFaultVfs);
        faultVfs().arm(FaultVfs::Mode::PowerCut, at);
        EXPECT_THROW(create(path), DatabaseError);
        faultVfs().disarm();
        setEngineFileLayer(nullptr);

        bool asked = false;
        Connection connection;
        EXPECT_NO_THROW(openOrCreate(connection, path, [&](const QString&) { return asked = true; }));
        if (asked) ++offered;
        else ++whole;
        EXPECT_TRUE(connection.isOpen());
        EXPECT_EQ(readRows(connection, QStringLiteral("SELECT count(*) AS n FROM sqlite_schema WHERE type='table' AND "
                                                       "name IN ('Cariler','SutGirisi','Fabrika','Fabrika_Cari')"))
                      .value(0)
                      .value(QStringLiteral("n")),
                  QVariant(qlonglong(4)));
    }
    std::printf("cut creations: %d (one per I/O call), %d offered again, %d whole\n", calls, offered, whole);
    EXPECT_EQ(offered, calls) << "the file appears only once complete, after the engine's last call";
}

TEST(FileFault, AnEmptyFileLeftByAnOlderCutCreationIsOfferedAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
    QDir().mkpath(dir.filePath(QStringLiteral("AnaData")));
    writeAll(path, QByteArray());
    QStringList questions;
    Connection connection;
    EXPECT_EQ(openOrCreate(connection, path, [&](const QString& q) { return questions << q, false; }), StartOutcome::Declined);
    EXPECT_TRUE(QFileInfo(path).isFile()) << "No leaves it";
    EXPECT_EQ(openOrCreate(connection, path, [&](const QString& q) { return questions << q, true; }), StartOutcome::Opened);
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions[0], path + QStringLiteral(" veritabanı dosyası boş (oluşturulması yarım kalmış).\n"
                                                  "Yeni, boş bir veritabanı oluşturulsun mu?"));
    EXPECT_GT(QFileInfo(path).size(), 0);
}

}  // namespace

namespace {

// The program killed at a random moment of a first creation: the next start
// finds no file and offers to create it again, or finds a whole one.
TEST(FileFault, ACreationKilledAtAnyMomentIsOfferedAgainOrOpensWhole)
{
    constexpr int kKills = 40;
    QTemporaryDir dir;
    std::srand(13);
    int offered = 0, whole = 0, failed = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const QString path = dir.filePath(QStringLiteral("run%1/AnaData/Kovanta.mdb").arg(kill));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                Connection connection;
                connection.createNew(path);
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        ::usleep(useconds_t(std::rand() % 40000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        bool asked = false;
        Connection connection;
        try {
            openOrCreate(connection, path, [&](const QString&) { return asked = true; });
            asked ? ++offered : ++whole;
        } catch (const DatabaseError& error) {
            ++failed;
            ADD_FAILURE() << "kill " << kill << ": " << error.what();
        }
        const QStringList left = QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files);
        EXPECT_EQ(left, QStringList(QStringLiteral("Kovanta.mdb"))) << "a half-made file is cleared away";
    }
    std::printf("killed creations: %d, %d offered again, %d whole, %d refused\n", kKills, offered, whole, failed);
    EXPECT_EQ(failed, 0);
    EXPECT_GT(offered, 0);
}

}  // namespace
