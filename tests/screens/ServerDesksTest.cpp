#include "PgCluster.h"
#include "ledger/Ledger.h"
#include "ledger/Quality.h"
#include "ledger/ServerNotices.h"
#include "ledger/Settlement.h"
#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/History.h"
#include "store/PgConnection.h"
#include "store/ServerSql.h"
#include "store/Statement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

#include <exception>
#include <iostream>
#include <functional>
#include <latch>
#include <memory>
#include <thread>
#include <tuple>

namespace {

// Two desks on one server ledger, each with its own connection and notice board.
class ServerDesksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!cluster.absent().isEmpty()) GTEST_SKIP() << "no PostgreSQL server here: " << cluster.absent().toStdString();
        ASSERT_TRUE(cluster.running()) << cluster.failure().toStdString();
        for (Connection* desk : {&first, &second})
            ASSERT_EQ(desk->openServer(cluster.conninfo(), [](const QString&) { return true; }), Connection::ServerOutcome::Opened);
    }

    PgCluster cluster;
    Connection first;
    Connection second;
};

// Polls the desk's notices as its timer does, until told or a second is gone.
bool heardWithinASecond(ServerNotices& notices, QSignalSpy& told)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {
        notices.poll();
        if (told.count() > 0) return true;
    }
    return false;
}

TEST_F(ServerDesksTest, EverySaveOnOneDeskIsToldOnTheOtherWithinASecond)
{
    Ledger saving(first);
    Ledger watching(second);
    ServerNotices notices(second, watching.events());
    ASSERT_EQ(saving.saveAccount({0, QStringLiteral("K1"), QStringLiteral("Ali Işık")}), Ledger::AccountCheck::Ok);
    const QDate day(2026, 12, 10);
    qint64 intake = 0;
    const struct {
        const char* what;
        std::function<void()> save;
        const char* signal;
    } cases[] = {
        {"account", [&] { saving.saveAccount({0, QStringLiteral("K2"), QStringLiteral("Veli")}); }, SIGNAL(accountsChanged())},
        {"intake", [&] { intake = saving.saveIntake({0, day, QStringLiteral("K1"), QStringLiteral("Ali Işık"), 10, 5, 12.5}).key; },
         SIGNAL(entriesChanged(QDate, LedgerKind))},
        {"payment", [&] { saving.savePayment({0, day, QStringLiteral("K1"), QStringLiteral("Ali Işık"), 100}); }, SIGNAL(entriesChanged(QDate, LedgerKind))},
        {"correction", [&] { saving.saveIntake({intake, day, QStringLiteral("K1"), QStringLiteral("Ali Işık"), 11, 5, 12.5}); }, SIGNAL(historyChanged())},
        {"delivery", [&] { saving.saveDelivery(FactoryDelivery{0, day, 12, 100, 50}); }, SIGNAL(deliveriesChanged(QDate))},
    };
    for (const auto& c : cases) {
        notices.poll();
        QSignalSpy told(&watching.events(), c.signal);
        c.save();
        EXPECT_TRUE(heardWithinASecond(notices, told)) << c.what;
    }
    // A desk is not told its own saves twice: it told them as it made them.
    QSignalSpy own(&saving.events(), SIGNAL(accountsChanged()));
    ServerNotices ownNotices(first, saving.events());
    saving.saveAccount({0, QStringLiteral("K3"), QStringLiteral("Can")});
    ASSERT_EQ(own.count(), 1);
    ownNotices.poll();
    EXPECT_EQ(own.count(), 1);
}

TEST_F(ServerDesksTest, TwoDesksNeverStoreOneCodeTwice)
{
    Ledger one(first);
    Ledger other(second);
    ASSERT_EQ(one.saveAccount({0, QStringLiteral("K1"), QStringLiteral("Ali")}), Ledger::AccountCheck::Ok);
    EXPECT_EQ(other.saveAccount({0, QStringLiteral("K1"), QStringLiteral("Başka Ali")}), Ledger::AccountCheck::CodeTaken);
    // Even past the look first, as when both looked before either wrote.
    try {
        second.server().exec(QStringLiteral("INSERT INTO Cariler (Kodu, Adi) VALUES ('K1', 'Aynı anda')"));
        FAIL() << "a second account with the code was stored";
    } catch (const DatabaseError& error) {
        EXPECT_TRUE(isDuplicateCode(error.code())) << error.what();
    }
    EXPECT_EQ(first.server().exec(QStringLiteral("SELECT count(*) FROM Cariler WHERE Kodu = 'K1'")).value(0).value(0).toLongLong(), 1);
}

TEST_F(ServerDesksTest, AChangeOfARowAnotherDeskChangedSinceItWasShownIsRefusedNamingThatChange)
{
    Ledger desk(first);
    Ledger other(second);
    ASSERT_EQ(desk.saveAccount({0, QStringLiteral("K1"), QStringLiteral("Ali")}), Ledger::AccountCheck::Ok);
    const QDate day(2026, 12, 10);
    const auto stored = [&](qint64 sgid) { return rowFields(rowJson(first, schema::sutGirisi(), sgid)); };
    const auto correct = [&](Ledger& ledger, qint64 sgid, double sabah) {
        ledger.saveIntake({sgid, day, QStringLiteral("K1"), QStringLiteral("Ali"), sabah, 0, 10});
    };
    const struct {
        const char* what;
        std::function<void(qint64)> elsewhere;  // 0: nothing happens elsewhere
        std::function<void(qint64)> here;
        const char* named;                      // in the refusal; empty: not refused
    } cases[] = {
        {"correction after a correction", [&](qint64 k) { correct(other, k, 7); }, [&](qint64 k) { correct(desk, k, 9); }, "değiştirildi"},
        {"correction after a deletion", [&](qint64 k) { other.deleteEntry(k); }, [&](qint64 k) { correct(desk, k, 9); }, "silindi"},
        {"deletion after a correction", [&](qint64 k) { correct(other, k, 7); }, [&](qint64 k) { desk.deleteEntry(k); }, "değiştirildi"},
        {"deletion after a deletion", [&](qint64 k) { other.deleteEntry(k); }, [&](qint64 k) { desk.deleteEntry(k); }, "silindi"},
        {"nothing elsewhere", {}, [&](qint64 k) { correct(desk, k, 9); }, ""},
    };
    for (const auto& c : cases) {
        const qint64 sgid = desk.saveIntake({0, day, QStringLiteral("K1"), QStringLiteral("Ali"), 5, 0, 10}).key;
        desk.rememberShown(schema::sutGirisi(), sgid, stored(sgid));
        if (c.elsewhere) c.elsewhere(sgid);
        const QVariantMap before = stored(sgid);
        const qint64 rows = first.server().exec(QStringLiteral("SELECT count(*) FROM SutGirisi")).value(0).value(0).toLongLong();
        try {
            c.here(sgid);
            EXPECT_STREQ(c.named, "") << c.what << ": not refused";
        } catch (const RowChanged& refused) {
            const QString text = QString::fromUtf8(refused.what());
            EXPECT_TRUE(*c.named && text.contains(QString::fromUtf8(c.named))) << c.what << ": " << refused.what();
            // Who and from where: the other desk's session.
            EXPECT_TRUE(text.contains(QSysInfo::machineHostName())) << c.what << ": " << refused.what();
            EXPECT_EQ(stored(sgid), before) << c.what << ": the other desk's row was overwritten";
            EXPECT_EQ(first.server().exec(QStringLiteral("SELECT count(*) FROM SutGirisi")).value(0).value(0).toLongLong(), rows)
                << c.what << ": a row was written";
        }
    }
}

// A desk of its own: the ledger and the settlements over one connection.
struct Desk {
    explicit Desk(Connection& connection) : ledger(connection), settlements(ledger) {}
    Ledger ledger;
    Settlements settlements;
};

qint64 countOf(const Connection& connection, const QString& sql, const QVariantList& values)
{
    Statement count(connection, sql);
    for (int i = 0; i < values.size(); ++i) count.bind(i + 1, values[i]);
    count.step();
    return count.column(0).toLongLong();
}

// Each side on its own thread, the two let go at the same moment; what a
// side threw comes back as its outcome.
std::pair<QString, QString> together(const std::function<QString()>& one, const std::function<QString()>& other)
{
    std::latch start(2);
    QString outcomes[2];
    const auto side = [&](int i, const std::function<QString()>& what) {
        start.arrive_and_wait();
        try {
            outcomes[i] = what();
        } catch (const std::exception& error) {
            outcomes[i] = QStringLiteral("threw: ") + QString::fromUtf8(error.what());
        }
    };
    std::thread first(side, 0, std::cref(one));
    std::thread second(side, 1, std::cref(other));
    first.join();
    second.join();
    return {outcomes[0], outcomes[1]};
}

// Races each pair of writes whose rule checks and then writes, on two
// connections to one ledger, and says how many races broke each rule.
void raceEachPair(Connection& firstDesk, Connection& secondDesk, int races)
{
    Desk one(firstDesk);
    Desk other(secondDesk);
    const QDate postingDays(2030, 1, 1);
    const QDate payoutDays(2035, 1, 1);
    ASSERT_EQ(one.ledger.saveAccount({0, QStringLiteral("P1"), QStringLiteral("Ali Işık")}), Ledger::AccountCheck::Ok);
    Account paid{0, QStringLiteral("P2"), QStringLiteral("Veli Öz")};
    paid.iban = QStringLiteral("TR330006100519786457841326");
    ASSERT_EQ(one.ledger.saveAccount(paid), Ledger::AccountCheck::Ok);
    ASSERT_EQ(one.settlements.saveDeduction({0, QStringLiteral("Borsa Tescil Ücreti"), 1.0, {2000, 1, 1}}),
              Settlements::DeductionCheck::Ok);
    const auto intake = [&](const QString& kodu, const QString& adi, const QDate& day) {
        return one.ledger.saveIntake({0, day, kodu, adi, 10, 5, 12.5}).check;
    };
    const auto word = [](auto outcome) { return QString::number(static_cast<int>(outcome)); };
    const QString posted = word(Settlements::PostOutcome::Posted);
    const QString overlaps = word(Settlements::PostOutcome::Overlaps);
    const QString paidOut = word(Settlements::PaidOutcome::Paid);
    const QString alreadyPaid = word(Settlements::PaidOutcome::AlreadyPaid);
    const QString stored = word(Ledger::EntryCheck::Ok);
    const QString unknownCode = word(Ledger::EntryCheck::UnknownCode);
    const auto entryCode = [](int race) { return QStringLiteral("E%1").arg(race); };
    const QDate qualityDays(2040, 1, 1);
    const auto qualityLineFrom = [](const QDate& day) { return QualityLine{0, day, 15.0, 3.6, 3.2, 0.1, 0.1, 0.1, 0.1, {}}; };
    const QString lineSaved = word(QualityPrices::Check::Ok);
    const QString sameDay = word(QualityPrices::Check::SameStartDay);

    const struct {
        const char* what;
        std::function<void(int race)> prepare;
        std::function<QString(Desk&, int race)> first;
        std::function<QString(Desk&, int race)> second;
        // Empty when the rule held.
        std::function<QString(int race, const QString& first, const QString& second)> broken;
    } pairs[] = {
        {"posting vs posting",
         [&](int race) { ASSERT_EQ(intake(QStringLiteral("P1"), QStringLiteral("Ali Işık"), postingDays.addDays(race)), Ledger::EntryCheck::Ok); },
         [&](Desk& desk, int race) { return word(desk.settlements.post(postingDays.addDays(race), postingDays.addDays(race)).outcome); },
         [&](Desk& desk, int race) { return word(desk.settlements.post(postingDays.addDays(race), postingDays.addDays(race)).outcome); },
         [&](int race, const QString& a, const QString& b) {
             const QDate day = postingDays.addDays(race);
             const qint64 postings = countOf(firstDesk, QStringLiteral("SELECT COUNT(*) FROM Hakedisler WHERE Ilk_Tarih = ?1"), {day});
             const qint64 deductions = countOf(firstDesk, QStringLiteral("SELECT COUNT(*) FROM SutGirisi WHERE Tarih = ?1 AND Gelir_Gider = 'O'"), {day});
             const bool oneRefused = (a == posted && b == overlaps) || (a == overlaps && b == posted);
             return postings == 1 && deductions == 1 && oneRefused
                        ? QString()
                        : QStringLiteral("%1 postings, %2 deduction rows, outcomes %3/%4").arg(postings).arg(deductions).arg(a, b);
         }},
        {"entry vs account deletion",
         [&](int race) {
             ASSERT_EQ(one.ledger.saveAccount({0, entryCode(race), QStringLiteral("Ayşe")}), Ledger::AccountCheck::Ok);
         },
         [&](Desk& desk, int race) {
             return word(desk.ledger.saveIntake({0, postingDays, entryCode(race), QStringLiteral("Ayşe"), 10, 0, 12.5}).check);
         },
         [&](Desk& desk, int race) {
             const std::optional<Account> account = desk.ledger.accountByCode(entryCode(race));
             return account && desk.ledger.deleteAccount(account->cid) ? QStringLiteral("deleted") : QStringLiteral("kept");
         },
         [&](int race, const QString& entry, const QString& deletion) {
             const qint64 orphans = countOf(firstDesk, QStringLiteral("SELECT COUNT(*) FROM SutGirisi s WHERE s.Kodu = ?1 AND NOT EXISTS "
                                                                      "(SELECT 1 FROM Cariler c WHERE c.Kodu = s.Kodu)"), {entryCode(race)});
             const bool oneWon = (entry == stored && deletion == QLatin1String("kept")) ||
                                 (entry == unknownCode && deletion == QLatin1String("deleted"));
             return orphans == 0 && oneWon ? QString() : QStringLiteral("%1 rows without an account, outcomes %2/%3").arg(orphans).arg(entry, deletion);
         }},
        {"payout vs payout",
         [&](int race) {
             const QDate day = payoutDays.addDays(race);
             ASSERT_EQ(intake(QStringLiteral("P2"), QStringLiteral("Veli Öz"), day), Ledger::EntryCheck::Ok);
             ASSERT_EQ(one.settlements.post(day, day).outcome, Settlements::PostOutcome::Posted);
         },
         [&](Desk& desk, int race) { const QDate day = payoutDays.addDays(race); return word(desk.settlements.markPaid(day, day, day)); },
         [&](Desk& desk, int race) { const QDate day = payoutDays.addDays(race); return word(desk.settlements.markPaid(day, day, day)); },
         [&](int race, const QString& a, const QString& b) {
             const QDate day = payoutDays.addDays(race);
             const qint64 lines = countOf(firstDesk, QStringLiteral("SELECT COUNT(*) FROM Hakedis_Satirlari s JOIN Hakedisler h ON h.HKID = s.HKID "
                                                                    "WHERE h.Ilk_Tarih = ?1 AND s.Tur = 'O'"), {day});
             const qint64 rows = countOf(firstDesk, QStringLiteral("SELECT COUNT(*) FROM SutGirisi WHERE Fis_No = ?1"),
                                         {QStringLiteral("OD-") + day.toString(QStringLiteral("yyyyMMdd"))});
             const bool onceRefused = (a == paidOut && b == alreadyPaid) || (a == alreadyPaid && b == paidOut);
             return lines == 1 && rows == 1 && onceRefused
                        ? QString()
                        : QStringLiteral("%1 payout lines, %2 payout rows, outcomes %3/%4").arg(lines).arg(rows).arg(a, b);
         }},
        {"quality line vs quality line of the same day",
         [](int) {},
         [&](Desk& desk, int race) { return word(QualityPrices(desk.ledger).save(qualityLineFrom(qualityDays.addDays(race)))); },
         [&](Desk& desk, int race) { return word(QualityPrices(desk.ledger).save(qualityLineFrom(qualityDays.addDays(race)))); },
         [&](int race, const QString& a, const QString& b) {
             const qint64 lines = countOf(firstDesk, QStringLiteral("SELECT COUNT(*) FROM Kalite_Fiyatlari WHERE Baslangic = ?1"),
                                          {qualityDays.addDays(race)});
             const bool onceRefused = (a == lineSaved && b == sameDay) || (a == sameDay && b == lineSaved);
             return lines == 1 && onceRefused ? QString() : QStringLiteral("%1 lines, outcomes %2/%3").arg(lines).arg(a, b);
         }},
    };
    for (const auto& pair : pairs) {
        int broken = 0;
        QString firstBreak;
        for (int race = 0; race < races; ++race) {
            pair.prepare(race);
            if (::testing::Test::HasFatalFailure()) return;
            const auto [a, b] = together([&] { return pair.first(one, race); }, [&] { return pair.second(other, race); });
            if (const QString fault = pair.broken(race, a, b); !fault.isEmpty()) {
                if (broken++ == 0) firstBreak = fault;
            }
        }
        EXPECT_EQ(broken, 0) << pair.what << ": broken in " << broken << " of " << races << " races, first: " << firstBreak.toStdString();
        std::cout << "[ race     ] " << pair.what << ": " << broken << " of " << races << " broken\n";
    }
}

TEST_F(ServerDesksTest, EveryRuleThatChecksThenWritesHoldsWhenTwoDesksRace)
{
    raceEachPair(first, second, 200);
}

TEST(ServerDesksOnAFileTest, EveryRuleThatChecksThenWritesHoldsWhenTwoConnectionsRace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("AnaData/Kovanta.mdb"));
    Connection first;
    first.createNew(path);
    Connection second;
    second.open(path);
    raceEachPair(first, second, 100);
}


// Many notices sent at once by the other desk, then one read: each kind of
// change is told a bounded number of times, however many came.
TEST_F(ServerDesksTest, ManyNoticesAtOnceAreToldAsTheirFewDistinctChanges)
{
    Ledger watching(second);
    ServerNotices notices(second, watching.events());
    notices.poll();
    const auto inOneTransaction = [](const char* payload, int count) {
        return QStringLiteral("SELECT count(pg_notify('kovanta', %1)) FROM generate_series(1, %2) AS n").arg(QLatin1String(payload)).arg(count);
    };
    const struct {
        const char* what;
        QString send;
        // How often each signal may be told, least and most.
        int entries[2], deliveries[2], history[2];
    } cases[] = {
        {"one", inOneTransaction("'sutgirisi 2026-12-10 S'", 1), {1, 1}, {0, 0}, {0, 0}},
        {"ten days", inOneTransaction("'sutgirisi ' || to_char(date '2026-01-01' + n, 'YYYY-MM-DD') || ' S'", 10), {10, 10}, {0, 0}, {0, 0}},
        {"100000 distinct",
         inOneTransaction("CASE n % 4 WHEN 0 THEN 'sutgirisi ' || to_char(date '2000-01-01' + n, 'YYYY-MM-DD') || ' S' "
                          "WHEN 1 THEN 'sutgirisi ' || to_char(date '2000-01-01' + n, 'YYYY-MM-DD') || ' O' "
                          "WHEN 2 THEN 'fabrika ' || to_char(date '2000-01-01' + n, 'YYYY-MM-DD') ELSE 'degisiklikler ' || n END",
                          100000),
         {1, 2}, {1, 1}, {1, 1}},
        {"100000 of one change", inOneTransaction("'sutgirisi 2026-12-10 S ' || n", 100000), {1, 1}, {0, 0}, {0, 0}},
        {"100000 unknown", inOneTransaction("'x' || n || ' 2026-12-10 S'", 100000), {0, 0}, {0, 0}, {0, 0}},
        {"one payload in 1000 transactions",
         QStringLiteral("DO $$ BEGIN FOR i IN 1..1000 LOOP PERFORM pg_notify('kovanta', 'fabrika 2026-12-10'); COMMIT; END LOOP; END $$"),
         {0, 0}, {1, 1}, {0, 0}},
    };
    for (const auto& c : cases) {
        first.server().script(c.send);
        // A statement on the listening desk returns after the server has sent
        // it every notice committed before, so one read finds them all.
        second.server().script(QStringLiteral("SELECT 1"));
        QSignalSpy entries(&watching.events(), SIGNAL(entriesChanged(QDate, LedgerKind)));
        QSignalSpy deliveries(&watching.events(), SIGNAL(deliveriesChanged(QDate)));
        QSignalSpy history(&watching.events(), SIGNAL(historyChanged()));
        QSignalSpy accounts(&watching.events(), SIGNAL(accountsChanged()));
        notices.poll();
        for (const auto& [spy, told, name] : {std::tuple{&entries, c.entries, "entries"}, std::tuple{&deliveries, c.deliveries, "deliveries"},
                                              std::tuple{&history, c.history, "history"}}) {
            EXPECT_GE(spy->count(), told[0]) << c.what << ": " << name;
            EXPECT_LE(spy->count(), told[1]) << c.what << ": " << name;
        }
        EXPECT_LE(accounts.count(), 1) << c.what;
        // Nothing was left for the next read.
        QSignalSpy later(&watching.events(), SIGNAL(entriesChanged(QDate, LedgerKind)));
        notices.poll();
        EXPECT_EQ(later.count(), 0) << c.what;
    }
}

// How long a call to the server took, and what it said when it gave up.
std::pair<qint64, QString> timedRefusal(const std::function<void()>& call)
{
    QElapsedTimer clock;
    clock.start();
    QString told;
    try {
        call();
    } catch (const DatabaseError& error) {
        told = QString::fromUtf8(error.what());
    }
    return {clock.elapsed(), told};
}

void expectNoAnswerTold(const QString& told, const char* what)
{
    EXPECT_TRUE(told.contains(QStringLiteral("sunucu yanıt vermiyor"))) << what << ": " << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("kutularda duruyor"))) << what << ": " << told.toStdString();
}

// A held row lock or a statement past its limit ends the desk's call with the
// Turkish message, within the limit, and the desk goes on working.
TEST_F(ServerDesksTest, ADeskWaitsOnTheServerNoLongerThanItsLimitAndIsToldInTurkish)
{
    // Every session gets its limits.
    EXPECT_EQ(second.server().exec(QStringLiteral("SHOW statement_timeout")).value(0).value(0).toString(), QStringLiteral("10s"));
    EXPECT_EQ(second.server().exec(QStringLiteral("SHOW lock_timeout")).value(0).value(0).toString(), QStringLiteral("5s"));

    Ledger holding(first);
    Ledger waiting(second);
    ASSERT_EQ(holding.saveAccount({0, QStringLiteral("K1"), QStringLiteral("Ali")}), Ledger::AccountCheck::Ok);
    const QDate day(2026, 12, 10);
    const qint64 sgid = holding.saveIntake({0, day, QStringLiteral("K1"), QStringLiteral("Ali"), 5, 0, 10}).key;
    // Short limits for the test, as the session sets the real ones.
    second.server().script(QStringLiteral("SET statement_timeout = '2s'; SET lock_timeout = '500ms'"));
    const auto sabah = [&] {
        return first.server().exec(QStringLiteral("SELECT Sabah FROM SutGirisi WHERE SGID = ?1"), {sgid}).value(0).value(0).toDouble();
    };
    const struct {
        const char* what;
        QString hold;     // on the other desk first, if anything
        std::function<void()> call;
    } cases[] = {
        {"a correction of a row another desk holds",
         QStringLiteral("BEGIN; SELECT 1 FROM SutGirisi WHERE SGID = %1 FOR UPDATE").arg(sgid),
         [&] { waiting.saveIntake({sgid, day, QStringLiteral("K1"), QStringLiteral("Ali"), 9, 0, 10}); }},
        {"a statement past the limit", {}, [&] { second.server().exec(QStringLiteral("SELECT pg_sleep(30)")); }},
    };
    for (const auto& c : cases) {
        if (!c.hold.isEmpty()) first.server().script(c.hold);
        const auto [waited, told] = timedRefusal(c.call);
        if (first.server().inTransaction()) first.server().script(QStringLiteral("ROLLBACK"));
        expectNoAnswerTold(told, c.what);
        EXPECT_LT(waited, 5000) << c.what;
        EXPECT_EQ(sabah(), 5.0) << c.what;
        // The desk works on: its next save is stored.
        EXPECT_EQ(waiting.saveIntake({0, day, QStringLiteral("K1"), QStringLiteral("Ali"), 1, 0, 10}).check, Ledger::EntryCheck::Ok) << c.what;
    }
}

// A server that answers nothing at all (its process stopped) cannot end the
// statement itself: the desk gives up after its own limit, with the same
// message, keeps nothing half done, and works again once the server does.
TEST_F(ServerDesksTest, ADeskGivesUpOnAStoppedServerAfterItsLimitAndWorksWhenItIsBack)
{
    Ledger waiting(second);
    ASSERT_EQ(waiting.saveAccount({0, QStringLiteral("K1"), QStringLiteral("Ali")}), Ledger::AccountCheck::Ok);
    const QDate day(2026, 12, 10);
    const auto count = [&] { return first.server().exec(QStringLiteral("SELECT count(*) FROM SutGirisi")).value(0).value(0).toLongLong(); };
    const struct {
        const char* what;
        std::function<void()> call;
    } cases[] = {
        {"a save", [&] { waiting.saveIntake({0, day, QStringLiteral("K1"), QStringLiteral("Ali"), 5, 0, 10}); }},
        {"a read", [&] { second.server().exec(QStringLiteral("SELECT count(*) FROM SutGirisi")); }},
    };
    second.server().setAnswerLimit(1000);
    for (const auto& c : cases) {
        const pid_t backend = static_cast<pid_t>(second.server().exec(QStringLiteral("SELECT pg_backend_pid()")).value(0).value(0).toLongLong());
        ASSERT_EQ(::kill(backend, SIGSTOP), 0) << c.what;
        const std::unique_ptr<void, std::function<void(void*)>> resume(reinterpret_cast<void*>(1), [backend](void*) { ::kill(backend, SIGCONT); });
        const qint64 rows = count();
        const auto [waited, told] = timedRefusal(c.call);
        EXPECT_LT(waited, 5000) << c.what;
        expectNoAnswerTold(told, c.what);
        EXPECT_EQ(count(), rows) << c.what;
        ::kill(backend, SIGCONT);
        EXPECT_EQ(waiting.saveIntake({0, day, QStringLiteral("K1"), QStringLiteral("Ali"), 1, 0, 10}).check, Ledger::EntryCheck::Ok) << c.what;
        EXPECT_EQ(count(), rows + 1) << c.what;
    }
}

}  // namespace

// A ledger the previous version made: two desks starting at once upgrade it
// once, every row kept, and both work on it afterwards.
TEST(ServerUpgrade, ALedgerOfTheVersionBeforeIsUpgradedOnceWhenTwoDesksOpenIt)
{
    PgCluster cluster;
    if (!cluster.absent().isEmpty()) GTEST_SKIP() << "no PostgreSQL server here: " << cluster.absent().toStdString();
    ASSERT_TRUE(cluster.running()) << cluster.failure().toStdString();
    {
        Connection made;
        ASSERT_EQ(made.openServer(cluster.conninfo(), [](const QString&) { return true; }), Connection::ServerOutcome::Opened);
        Ledger ledger(made);
        ASSERT_EQ(ledger.saveAccount({0, QStringLiteral("K1"), QStringLiteral("Ali Işık")}), Ledger::AccountCheck::Ok);
        made.server().script(QStringLiteral(
            "DROP TABLE Kalite_Fiyatlari; ALTER TABLE SutGirisi DROP COLUMN SYag, DROP COLUMN SProtein, DROP COLUMN SHijyen, "
            "DROP COLUMN AYag, DROP COLUMN AProtein, DROP COLUMN AHijyen; DELETE FROM Kovanta_Surum; INSERT INTO Kovanta_Surum VALUES (4);"));
    }
    Connection desks[2];
    std::latch start(2);
    std::string failures[2];
    std::thread opening[2];
    for (int d = 0; d < 2; ++d)
        opening[d] = std::thread([&, d] {
            start.arrive_and_wait();
            try {
                desks[d].openServer(cluster.conninfo(), [](const QString&) { return false; });
            } catch (const std::exception& error) {
                failures[d] = error.what();
            }
        });
    for (std::thread& t : opening) t.join();
    for (const std::string& failure : failures) EXPECT_TRUE(failure.empty()) << failure;
    Statement versions(desks[0], QStringLiteral("SELECT COUNT(*), MAX(Surum) FROM Kovanta_Surum WHERE Surum = 5"));
    ASSERT_TRUE(versions.step());
    EXPECT_EQ(versions.columnInteger(0), 1) << "upgraded once";
    Ledger ledger(desks[1]);
    EXPECT_TRUE(ledger.accountByCode(QStringLiteral("K1")).has_value());
    Statement(desks[1], QStringLiteral("INSERT INTO Kalite_Fiyatlari (Baslangic, Referans_Fiyat) VALUES ('2026-12-01', 15.5)")).run();
    Statement(desks[0], QStringLiteral("UPDATE SutGirisi SET SYag = 3.85 WHERE 1 = 0")).run();
}
