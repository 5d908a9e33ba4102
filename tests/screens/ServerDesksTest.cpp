#include "PgCluster.h"
#include "ledger/Ledger.h"
#include "ledger/ServerNotices.h"
#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/History.h"
#include "store/PgConnection.h"
#include "store/ServerSql.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

}  // namespace
