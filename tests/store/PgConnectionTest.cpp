#include "store/PgConnection.h"

#include "PgCluster.h"
#include "TempDatabase.h"
#include "store/DatabaseError.h"
#include "store/Statement.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

using PgConnectionTest = PgClusterTest;

std::uint64_t bits(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

QStringList toStrings(const QList<PgConnection::Row>& rows)
{
    QStringList out;
    for (const PgConnection::Row& row : rows) out << row.value(0).toString();
    return out;
}

}  // namespace

TEST(ServerPlaceholders, OnlyThoseOutsideQuotesAndCommentsAreRenumbered)
{
    struct Case {
        QString sql;
        QString expected;
    };
    const Case cases[] = {
        {"SELECT ?1, ?2", "SELECT $1, $2"},
        {"SELECT ?, ?, ?", "SELECT $1, $2, $3"},
        {"SELECT ?3, ?, ?1, ?", "SELECT $3, $4, $1, $5"},
        {"WHERE a = ?12", "WHERE a = $12"},
        {"SELECT '?1', ?1", "SELECT '?1', $1"},
        {"SELECT 'it''s ?', ?", "SELECT 'it''s ?', $1"},
        {"SELECT \"a?\" FROM t WHERE b = ?", "SELECT \"a?\" FROM t WHERE b = $1"},
        {"SELECT ? -- why?\n, ?", "SELECT $1 -- why?\n, $2"},
        {"SELECT /* ?1 */ ?2", "SELECT /* ?1 */ $2"},
        {"SELECT 'unclosed ?", "SELECT 'unclosed ?"},
    };
    for (const Case& c : cases) EXPECT_EQ(serverPlaceholders(c.sql).toStdString(), c.expected.toStdString()) << c.sql.toStdString();
}

TEST_F(PgConnectionTest, DoublesComeBackBitForBit)
{
    struct Case {
        double value;
        // The same number computed by the server, so the way back is tested
        // apart from the way there.
        const char* serverSide;
    };
    const Case cases[] = {
        {0.1, "0.1::float8"},
        {12.345 * 7, "12.345::float8 * 7"},
        {1e-8, "1e-8::float8"},
        {-0.005, "-0.005::float8"},
        {123456789.123456789, "123456789.123456789::float8"},
        {0.1 + 0.2, "0.1::float8 + 0.2::float8"},
        {1.0 / 3.0, "1::float8 / 3"},
        {-0.0, "'-0'::float8"},
        {4.9406564584124654e-324, "4.9406564584124654e-324::float8"},
        {DBL_MAX, "1.7976931348623157e308::float8"},
    };
    db.exec("CREATE TABLE amounts (n integer, amount double precision)");
    for (int i = 0; i < int(std::size(cases)); ++i) db.exec("INSERT INTO amounts VALUES (?1, ?2)", {i, cases[i].value});
    const auto stored = db.exec("SELECT amount FROM amounts ORDER BY n");
    ASSERT_EQ(stored.size(), qsizetype(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(stored[i].value(0).typeId(), QMetaType::Double) << c.serverSide;
        EXPECT_EQ(bits(stored[i].value(0).toDouble()), bits(c.value)) << "stored " << c.serverSide;
        const auto computed = db.exec(QStringLiteral("SELECT %1").arg(QLatin1String(c.serverSide)));
        EXPECT_EQ(bits(computed.value(0).value(0).toDouble()), bits(c.value)) << "computed " << c.serverSide;
        const auto same = db.exec("SELECT count(*) FROM amounts WHERE amount = ?1", {c.value});
        EXPECT_EQ(same.value(0).value(0).toLongLong(), 1) << "compared " << c.serverSide;
    }
}

TEST_F(PgConnectionTest, TurkishOrderOnTheServerIsTheFileLedgersOrder)
{
    struct Case {
        const char* what;
        QStringList shuffled;
        QStringList expected;
    };
    const Case cases[] = {
        {"dotless before dotted",
         {"İlker", "Işık", "Ilgaz", "ilik", "ıhlamur"},
         {"ıhlamur", "Ilgaz", "Işık", "ilik", "İlker"}},
        {"each letter with a cedilla, breve or umlaut after its plain one",
         {"Ümit", "Şule", "Öznur", "Çağrı", "Ufuk", "Sude", "Ozan", "Cem", "Dilek", "Tarık", "Pınar", "Vedat"},
         {"Cem", "Çağrı", "Dilek", "Ozan", "Öznur", "Pınar", "Sude", "Şule", "Tarık", "Ufuk", "Ümit", "Vedat"}},
        {"ğ after g, and casing only after the letters",
         {"İğdır", "IĞDIR", "iğdır", "ığdır", "Iğdır", "igloo", "ihlas"},
         {"ığdır", "Iğdır", "IĞDIR", "igloo", "iğdır", "İğdır", "ihlas"}},
    };
    db.exec("CREATE TABLE names (name text)");
    TempDatabase file;
    Statement(file.connection, "CREATE TEMP TABLE names (name TEXT)").run();
    for (const Case& c : cases) {
        db.exec("DELETE FROM names");
        Statement(file.connection, "DELETE FROM names").run();
        Statement insert(file.connection, "INSERT INTO names VALUES (?1)");
        for (const QString& name : c.shuffled) {
            db.exec("INSERT INTO names VALUES (?1)", {name});
            insert.bind(1, name);
            insert.run();
            insert.reset();
        }
        const QStringList server = toStrings(db.exec("SELECT name FROM names ORDER BY name COLLATE \"tr-TR-x-icu\""));
        QStringList ledger;
        Statement select(file.connection, "SELECT name FROM names ORDER BY name COLLATE tr");
        while (select.step()) ledger << select.column(0).toString();
        EXPECT_EQ(server.join(u' ').toStdString(), ledger.join(u' ').toStdString()) << c.what;
        EXPECT_EQ(server.join(u' ').toStdString(), c.expected.join(u' ').toStdString()) << c.what;
    }
}

TEST_F(PgConnectionTest, AWrongStatementCarriesTheServersText)
{
    struct Case {
        QString sql;
        QVariantList params;
        const char* sqlState;
        const char* serverText;
    };
    db.exec("CREATE TABLE producers (code integer PRIMARY KEY, name text NOT NULL)");
    db.exec("INSERT INTO producers VALUES (1, 'Cem')");
    const Case cases[] = {
        {"SELEC 1", {}, "42601", "syntax error at or near \"SELEC\""},
        {"SELECT * FROM yok", {}, "42P01", "relation \"yok\" does not exist"},
        {"INSERT INTO producers VALUES (?1, ?2)", {1, "Ozan"}, "23505",
         "duplicate key value violates unique constraint \"producers_pkey\""},
        {"INSERT INTO producers VALUES (?1, ?2)", {2, QVariant()}, "23502",
         "null value in column \"name\" of relation \"producers\" violates not-null constraint"},
        {"SELECT 1 / ?1", {0}, "22012", "division by zero"},
        {"SELECT ?1::date", {"2024-02-30"}, "22008", "date/time field value out of range: \"2024-02-30\""},
    };
    for (const Case& c : cases) {
        try {
            db.exec(c.sql, c.params);
            ADD_FAILURE() << "no error from " << c.sql.toStdString();
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.engineText(), c.serverText) << c.sql.toStdString();
            EXPECT_NE(std::string(e.what()).find(c.serverText), std::string::npos) << e.what();
            EXPECT_EQ(e.code(), sqlStateCode(c.sqlState)) << c.sql.toStdString();
        }
    }
    // The connection stays usable after each of them.
    EXPECT_EQ(db.exec("SELECT count(*) FROM producers").value(0).value(0).toLongLong(), 1);
}

namespace {

// A socket file in the folder with no server behind it: bound and never
// listened on, the server refuses; listened on and never answered, it is
// silent. The descriptor stays open until the test ends.
int socketIn(const QTemporaryDir& folder, bool listens)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral(".s.PGSQL.5432")));
    std::memcpy(address.sun_path, path.constData(), std::min<size_t>(path.size(), sizeof address.sun_path - 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || (listens && ::listen(fd, 4) != 0))
        ADD_FAILURE() << "no socket at " << path.constData();
    if (!listens) ::close(fd);
    return listens ? fd : -1;
}

}  // namespace

// Each way a desk's connection fails, made for real: libpq's own text is
// kept whole, and ahead of it one Turkish sentence names what to mend.
TEST_F(PgConnectionTest, AFailedConnectionSaysWhatToMendAheadOfTheLibrarysText)
{
    QTemporaryDir empty, refusing, silent;
    socketIn(refusing, false);
    const int silentSocket = socketIn(silent, true);
    struct Case {
        QString conninfo;
        const char* libraryWords;  // what libpq says of this fault
        const char* toMend;        // what the sentence must name; empty: no sentence
    };
    const Case cases[] = {
        {cluster->conninfo().replace("dbname=kovanta", "dbname=yok_boyle_defter"), "database \"yok_boyle_defter\" does not exist",
         "createdb"},
        {"host=" + empty.path() + " dbname=kovanta", "No such file or directory", "listen_addresses"},
        {"host=" + refusing.path() + " dbname=kovanta", "Connection refused", "listen_addresses"},
        {"host=" + silent.path() + " dbname=kovanta connect_timeout=2", "timeout expired", "host="},
        {"host=sunucu.invalid dbname=kovanta", "could not translate host name", "host="},
        {"dbname=kovanta sozcuk=1", "invalid connection option", ""},
    };
    QStringList sentences;
    for (const Case& c : cases) {
        PgConnection desk;
        try {
            desk.open(c.conninfo);
            ADD_FAILURE() << "connected: " << c.conninfo.toStdString();
            continue;
        } catch (const DatabaseError& e) {
            const QString whole = QString::fromUtf8(e.what());
            const QString library = QString::fromStdString(e.engineText());
            EXPECT_TRUE(library.contains(QLatin1String(c.libraryWords))) << library.toStdString();
            EXPECT_TRUE(whole.endsWith(library)) << whole.toStdString();
            EXPECT_FALSE(desk.isOpen());
            const QString sentence = whole.chopped(library.size()).trimmed();
            if (!*c.toMend) {
                EXPECT_TRUE(sentence.isEmpty()) << "nothing to mend on a desk, yet: " << sentence.toStdString();
                continue;
            }
            EXPECT_TRUE(sentence.contains(QLatin1String(c.toMend))) << sentence.toStdString();
            EXPECT_FALSE(sentence.contains(u'\n')) << sentence.toStdString();
            sentences << sentence;
        }
    }
    ::close(silentSocket);
    // The server that is not listening is one fault however it shows; every
    // other fault has advice of its own.
    sentences.removeDuplicates();
    EXPECT_EQ(sentences.size(), 4) << sentences.join(u'\n').toStdString();
}
