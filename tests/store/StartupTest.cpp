#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Query.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <string>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void rawExec(const QString& path, const char* sql)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
              SQLITE_OK);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    EXPECT_EQ(rc, SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

void createDatabase(const QString& path)
{
    Connection connection;
    connection.createNew(path);
}

QStringList tableNames(Connection& connection)
{
    Query query(connection, {"SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY name"});
    query.open();
    QStringList names;
    for (int row = 0; row < query.recordCount(); ++row) names << query.valueAt(row, "name").toString();
    return names;
}

const QStringList kTables = {"Cariler",    "Degisiklikler",       "Fabrika",   "Fabrika_Cari",
                             "Hakedis_Satirlari", "Hakedisler", "Kalite_Fiyatlari", "Kesintiler", "SutGirisi"};

// What the fifth version added, taken away again.
const char* const kWithoutQuality = "DROP TABLE Kalite_Fiyatlari; ALTER TABLE SutGirisi DROP COLUMN SYag; "
                                    "ALTER TABLE SutGirisi DROP COLUMN SProtein; ALTER TABLE SutGirisi DROP COLUMN SHijyen; "
                                    "ALTER TABLE SutGirisi DROP COLUMN AYag; ALTER TABLE SutGirisi DROP COLUMN AProtein; "
                                    "ALTER TABLE SutGirisi DROP COLUMN AHijyen;";

}  // namespace

TEST(Startup, MissingFileIsOfferedAndYesCreatesFolderFileAndTables)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("AnaData/Kovanta.mdb");
    QStringList questions;
    Connection connection;

    const StartOutcome outcome = openOrCreate(connection, path, [&](const QString& question) {
        questions << question;
        return true;
    });

    EXPECT_EQ(outcome, StartOutcome::Opened);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], path + " veritabanı dosyası bulunamadı.\nYeni, boş bir veritabanı oluşturulsun mu?");
    EXPECT_TRUE(connection.isOpen());
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_EQ(tableNames(connection), kTables);

    // The new file passes the checks of a later start, without a question.
    connection.close();
    Connection again;
    EXPECT_EQ(openOrCreate(again, path, [](const QString&) -> bool { throw std::logic_error("asked for an existing file"); }),
              StartOutcome::Opened);
    EXPECT_EQ(tableNames(again), kTables);
}

TEST(Startup, NoCreatesNothingAndOpenNeverCreates)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("AnaData");
    const QString path = folder + "/Kovanta.mdb";
    Connection connection;

    EXPECT_EQ(openOrCreate(connection, path, [](const QString&) { return false; }), StartOutcome::Declined);
    EXPECT_FALSE(connection.isOpen());
    EXPECT_FALSE(QFileInfo::exists(folder));

    QDir().mkpath(folder);
    EXPECT_THROW(connection.open(path), DatabaseError);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

TEST(Startup, CreateNewRefusesAnExistingFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Kovanta.mdb");
    const QByteArray content = "not to be written over";
    writeAll(path, content);

    Connection connection;
    try {
        connection.createNew(path);
        FAIL() << "an existing file was accepted";
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find(path.toStdString()), std::string::npos) << error.what();
    }
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(readAll(path), content);

    // A file standing where the folder should be.
    const QString blocked = path + "/AnaData/Kovanta.mdb";
    EXPECT_THROW(connection.createNew(blocked), DatabaseError);
    EXPECT_EQ(readAll(path), content);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList("Kovanta.mdb"));
}

TEST(Startup, FilesThatAreNotThisProgramsDatabaseAreRefusedAndLeftAsTheyWere)
{
    struct Case {
        const char* name;
        std::function<void(const QString& path)> make;
        const char* expectedText;
    };
    QByteArray jet("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    jet.append(QByteArray(4096 - jet.size(), '\x11'));

    const Case cases[] = {
        {"text file", [](const QString& p) { writeAll(p, "Kodu;Adi\n1;Ali Veli\n2;Ayşe Kaya\n"); }, "file is not a database"},
        {"Jet file", [&](const QString& p) { writeAll(p, jet); }, "file is not a database"},
        {"other program's SQLite file",
         [](const QString& p) { rawExec(p, "CREATE TABLE Notes (id INTEGER PRIMARY KEY, body TEXT);"); },
         "bu dosya Orvalin Kovanta veritabanı değil"},
        {"our mark but a table missing",
         [](const QString& p) {
             createDatabase(p);
             rawExec(p, "DROP TABLE Fabrika_Cari;");
         },
         "no such table: Fabrika_Cari"},
        {"our mark but a field missing",
         [](const QString& p) {
             createDatabase(p);
             rawExec(p, "ALTER TABLE Cariler DROP COLUMN Yaz_Alim;");
         },
         "no such column: Yaz_Alim"},
        {"header damaged after its first 16 bytes",
         [](const QString& p) {
             createDatabase(p);
             QByteArray bytes = readAll(p);
             for (int i = 16; i < 100; ++i) bytes[i] = '\xA5';
             writeAll(p, bytes);
         },
         "file is not a database"},
        {"schema page damaged",
         [](const QString& p) {
             createDatabase(p);
             QByteArray bytes = readAll(p);
             for (int i = 100; i < 4096; ++i) bytes[i] = '\x5A';
             writeAll(p, bytes);
         },
         "malformed"},
        {"truncated",
         [](const QString& p) {
             createDatabase(p);
             writeAll(p, readAll(p).left(5000));
         },
         "malformed"},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("AnaData/Kovanta.mdb");
        c.make(path);
        const QByteArray before = readAll(path);
        ASSERT_FALSE(before.isEmpty());

        Connection connection;
        try {
            openOrCreate(connection, path, [](const QString&) -> bool { throw std::logic_error("asked for an existing file"); });
            ADD_FAILURE() << "the file was accepted";
        } catch (const DatabaseError& error) {
            const std::string text = error.what();
            EXPECT_EQ(text.rfind(path.toStdString() + ": ", 0), 0u) << text;
            EXPECT_NE(text.find(c.expectedText), std::string::npos) << text;
        }
        EXPECT_FALSE(connection.isOpen());
        EXPECT_EQ(readAll(path), before);
        EXPECT_EQ(QDir(dir.filePath("AnaData")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList("Kovanta.mdb"));
    }
}

TEST(Startup, ClosedConnectionRefusesWork)
{
    Connection connection;
    Query query(connection, {"SELECT 1 AS one"});
    EXPECT_THROW(query.open(), DatabaseError);
    EXPECT_FALSE(query.isOpen());
}

// A power cut in the middle of a save leaves a hot journal beside the file.
// The next start must roll it back and open, not refuse the collector's data.
TEST(Startup, AFileLeftWithAHotJournalIsRolledBackAndOpened)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("AnaData/Kovanta.mdb");
    createDatabase(path);
    rawExec(path, "INSERT INTO Cariler (Kodu, Adi) VALUES ('K1', 'Kalıcı')");

    // Freeze a write half-way: copy the file and its journal while a
    // transaction that has already spilled pages into the file is open.
    const QString crashed = dir.filePath("crash/Kovanta.mdb");
    QDir().mkpath(dir.filePath("crash"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA cache_size=1; BEGIN;"
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<2000)"
                           " INSERT INTO Cariler (Kodu, Adi) SELECT 'Y' || i, hex(randomblob(60)) FROM n;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    ASSERT_TRUE(QFile::exists(path + "-journal"));
    ASSERT_TRUE(QFile::copy(path, crashed));
    ASSERT_TRUE(QFile::copy(path + "-journal", crashed + "-journal"));
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);

    Connection connection;
    ASSERT_NO_THROW(connection.open(crashed));
    Query query(connection, {"SELECT Kodu FROM Cariler"});
    query.open();
    ASSERT_EQ(query.recordCount(), 1) << "the half-done write is rolled back";
    EXPECT_EQ(query.asString("Kodu"), QStringLiteral("K1"));
    EXPECT_FALSE(QFile::exists(crashed + "-journal"));
}

namespace {

QStringList indexNames(Connection& connection)
{
    Query query(connection, {"SELECT name FROM sqlite_schema WHERE type='index' AND sql IS NOT NULL ORDER BY name"});
    query.open();
    QStringList names;
    for (int row = 0; row < query.recordCount(); ++row) names << query.valueAt(row, "name").toString();
    return names;
}

TEST(Startup, AFileOfAnEarlierVersionGetsWhatItLacksAndKeepsEveryRow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("AnaData/Kovanta.mdb");
    createDatabase(path);
    // As the first version left it: three indexes, version 1, a few rows.
    rawExec(path, kWithoutQuality);
    rawExec(path,
            "DROP TABLE Degisiklikler; DROP INDEX SutGirisi_Tarih_Kodu_Adi; DROP INDEX SutGirisi_Kodu_Adi_Tarih; "
            "DROP TABLE Kesintiler; DROP TABLE Hakedisler; DROP TABLE Hakedis_Satirlari; ALTER TABLE Cariler DROP COLUMN IBAN; "
            "PRAGMA user_version=1;"
            "INSERT INTO Cariler (Kodu, Adi, Birim_Fiyati) VALUES ('K1', 'Ali Işık', 1.4);"
            "INSERT INTO SutGirisi (Tarih, Kodu, Adi, Gelir_Gider, Sabah, Gelir_Toplam_Tutar) "
            "VALUES ('2021-03-05', 'K1', 'Ali Işık', 'S', 12.5, 17.5), ('2021-03-06', 'K1', 'Ali Işık', 'O', NULL, 0);"
            "INSERT INTO Fabrika (Tarih, Toplam_Fabrika_LT) VALUES ('2021-03-05', 12);");
    const auto contents = [](Connection& c) {
        Query q(c, {"SELECT group_concat(SGID || Tarih || Kodu || Adi || Gelir_Gider || ifnull(Sabah, '-') || "
                    "Gelir_Toplam_Tutar, '|') AS rows FROM SutGirisi"});
        q.open();
        return q.value("rows").toString();
    };

    Connection connection;
    connection.open(path);
    EXPECT_EQ(tableNames(connection), kTables);
    EXPECT_EQ(indexNames(connection), (QStringList{"Degisiklikler_Zaman", "Fabrika_Tarih", "Hakedis_Satirlari_HKID",
                                                   "SutGirisi_Kodu_Adi_Tarih", "SutGirisi_Kodu_Tarih",
                                                   "SutGirisi_Tarih_Gelir_Gider", "SutGirisi_Tarih_Kodu_Adi"}));
    Query version(connection, {"SELECT (SELECT user_version FROM pragma_user_version) AS v, "
                               "(SELECT count(*) FROM sqlite_schema WHERE name='sqlite_stat1') AS stats, "
                               "(SELECT count(*) FROM Cariler) + (SELECT count(*) FROM Fabrika) AS others, "
                               "(SELECT count(*) FROM Kesintiler WHERE Oran IS NULL) AS deductions, "
                               "(SELECT count(*) FROM Cariler WHERE IBAN IS NULL) AS ibans"});
    version.open();
    EXPECT_EQ(version.value("v").toInt(), 5);
    EXPECT_EQ(version.value("deductions").toInt(), 3) << "the names offered, no rate assumed";
    EXPECT_EQ(version.value("ibans").toInt(), 1);
    EXPECT_EQ(version.value("stats").toInt(), 1) << "statistics gathered";
    EXPECT_EQ(version.value("others").toInt(), 2);
    EXPECT_EQ(contents(connection), "12021-03-05K1Ali IşıkS12.517.5|22021-03-06K1Ali IşıkO-0.0");

    // Opened again it is left as it is.
    connection.close();
    const QByteArray upgraded = readAll(path);
    connection.open(path);
    connection.close();
    EXPECT_EQ(readAll(path), upgraded);

    // A file of version 2 gets the history's table; its statistics are left alone.
    rawExec(path, kWithoutQuality);
    rawExec(path, "DROP TABLE Degisiklikler; DROP TABLE sqlite_stat1; DROP TABLE Kesintiler; DROP TABLE Hakedisler; "
                  "DROP TABLE Hakedis_Satirlari; ALTER TABLE Cariler DROP COLUMN IBAN; PRAGMA user_version=2;");
    connection.open(path);
    EXPECT_EQ(tableNames(connection), kTables);
    version.close();
    version.open();
    EXPECT_EQ(version.value("v").toInt(), 5);
    EXPECT_EQ(version.value("stats").toInt(), 0);
    EXPECT_EQ(contents(connection), "12021-03-05K1Ali IşıkS12.517.5|22021-03-06K1Ali IşıkO-0.0");
}

TEST(Startup, AFileOfANewerVersionIsRefusedUntouched)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("AnaData/Kovanta.mdb");
    createDatabase(path);
    rawExec(path, "PRAGMA user_version=6;");
    const QByteArray before = readAll(path);

    Connection connection;
    try {
        connection.open(path);
        FAIL() << "a newer file was opened";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(std::string(error.what()),
                  path.toStdString() +
                      ": bu dosya programın daha yeni bir sürümüyle yazılmış (dosya sürümü 6, bu program 5). "
                      "Dosyaya dokunulmadı; programın yeni sürümünü kurun.");
    }
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(readAll(path), before);
    EXPECT_FALSE(QFileInfo::exists(path + "-journal"));
}

}  // namespace

namespace {

TEST(Startup, ANewFileGathersStatisticsOnceItHasBeenSearched)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("AnaData/Kovanta.mdb");
    createDatabase(path);
    const auto statistics = [&] {
        Connection connection;
        connection.open(path);
        Query q(connection, {"SELECT count(*) AS n FROM sqlite_schema WHERE name='sqlite_stat1'"});
        q.open();
        const int n = q.value("n").toInt();
        return n;
    };
    EXPECT_EQ(statistics(), 0) << "an empty file has nothing to measure";

    QString rows;
    for (int day = 1; day <= 28; ++day)
        for (int code = 0; code < 20; ++code)
            rows += QString("%1('2021-02-%2', 'K%3', 'Ad %3', 'S', 1, 0)").arg(rows.isEmpty() ? "" : ",").arg(day, 2, 10, QChar('0')).arg(code);
    rawExec(path, ("INSERT INTO SutGirisi (Tarih, Kodu, Adi, Gelir_Gider, Gelir_Toplam_Tutar, Gider_Tutari) VALUES " + rows).toUtf8().constData());
    {
        Connection connection;
        connection.open(path);
        Query report(connection, {"SELECT Kodu, Adi, SUM(Gelir_Toplam_Tutar) AS b FROM SutGirisi",
                                  "WHERE (Tarih>='2021-02-01' AND Tarih<='2021-02-28') GROUP BY Kodu, Adi"});
        report.open();
        EXPECT_EQ(report.recordCount(), 20);
    }
    EXPECT_EQ(statistics(), 1) << "closing after a search gathered them";
}

}  // namespace
