#include "bench/LedgerGenerator.h"
#include "ledger/Ledger.h"
#include "ledger/Settlement.h"
#include "ledger/Statements.h"
#include "Ledger.h"
#include "store/Statement.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

namespace {

TEST(Settlement, ADeductionIsTheRoundedMilkMoneyTimesItsRateRoundedOnce)
{
    const struct {
        qint64 kurus;
        double oran;
        qint64 expected;
        const char* text;
    } cases[] = {
        {123457, 1.0, 1235, "%1,0000"},           // 12,3457 up
        {250, 0.2, 1, "%0,2000"},                 // half a kuruş: away from zero
        {249, 0.2, 0, "%0,2000"},
        {100, 0.0001, 0, "%0,0001"},
        {58125, 2.0, 1163, "%2,0000"},            // 11,625
        {999999999, 2.5, 25000000, "%2,5000"},    // 24.999.999,975
        {-58125, 2.0, -1163, "%2,0000"},
    };
    for (const auto& c : cases) {
        const DeductionRate rate = DeductionRate::of(QStringLiteral("Gelir Vergisi Stopajı"), c.oran);
        EXPECT_EQ(rate.of(Money::fromKurus(c.kurus)).kurus(), c.expected) << c.kurus << " × " << c.oran;
        EXPECT_EQ(rate.text().toStdString(), c.text);
    }
}

class SettlementLedger : public ::testing::Test {
protected:
    TempDatabase db;
    Ledger ledger{db.connection};
    Settlements settlements{ledger};
    const QDate ilk{2026, 12, 1};
    const QDate son{2026, 12, 31};

    void rate(const char* name, std::optional<double> oran, const QDate& from)
    {
        ASSERT_EQ(settlements.saveDeduction({0, QString::fromUtf8(name), oran, from}), Settlements::DeductionCheck::Ok);
    }
    // The closing balance of the code's statement up to the day.
    Money balance(const QString& kodu, const QDate& day)
    {
        return buildStatement(db.connection, kodu, {}, day, day).kapanis();
    }
};

TEST_F(SettlementLedger, AMonthAddsUpPostsUndoesAndPaysOut)
{
    // Veli's parts round apart from his exact balance, and he has no IBAN.
    addAliAndVeliDecember(db.connection);
    Statement(db.connection, QStringLiteral("UPDATE Cariler SET IBAN='TR330006100519786457841326' WHERE Kodu='K1'")).run();
    // The rate that holds on the last day; a line without a rate or from a
    // later day is not applied.
    rate("Gelir Vergisi Stopajı", 1.0, {2026, 1, 1});
    rate("Gelir Vergisi Stopajı", 2.0, {2026, 12, 1});
    rate("Borsa Tescil Ücreti", 0.2, {2000, 1, 1});
    rate("Borsa Tescil Ücreti", 0.3, {2027, 1, 1});

    const Settlement s = settlements.compute(ilk, son);
    ASSERT_EQ(s.rates.size(), 2u);
    const QStringList expected[] = {
        {"K1", "Ali Işık", "45,50", "581,25", "11,63", "1,16", "12,79", "568,46", "23,45", "50,00", "541,91",
         "TR330006100519786457841326"},
        {"K2", "Veli Öz", "1,00", "10,00", "0,20", "0,02", "0,22", "9,78", "0,00", "0,00", "9,78", ""},
    };
    ASSERT_EQ(s.lines.size(), 2u);
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(s.cells(s.lines[i], true), expected[i]) << i;
    EXPECT_EQ(s.lines[0].fiyatlar.size(), 2u) << "a line per price";
    EXPECT_EQ(s.lines[0].yuvarlamaFarki().kurus(), 0);
    EXPECT_EQ(s.lines[1].yuvarlamaFarki().kurus(), 1) << "9,788 in the ledger";
    EXPECT_EQ(s.cells(s.total(), true).mid(2, 9),
              QStringList({"46,50", "591,25", "11,83", "1,18", "13,01", "578,24", "23,45", "50,00", "551,69"}));

    const auto before = everyRow(db.connection);
    const Settlements::Post posted = settlements.post(ilk, son);
    ASSERT_EQ(posted.outcome, Settlements::PostOutcome::Posted);
    EXPECT_EQ(posted.rows, 4);
    for (const SettlementLine& line : s.lines) EXPECT_EQ(balance(line.kodu, son), line.defterBakiyesi) << line.kodu.toStdString();
    const QList<QVariantMap> written = readRows(db.connection, "SELECT Aciklama, Fis_No, Gider_Tutari FROM SutGirisi "
                                                               "WHERE Kodu='K1' AND Fis_No LIKE 'HK-%' ORDER BY SGID");
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(written[0]["Aciklama"].toString(), QStringLiteral("Gelir Vergisi Stopajı %2,0000 · 01.12.2026–31.12.2026"));
    EXPECT_EQ(written[0]["Fis_No"].toString(), QStringLiteral("HK-20261231"));

    // Opened again it is shown as posted, with the same figures, even after
    // its rate is changed.
    rate("Gelir Vergisi Stopajı", 5.0, {2026, 12, 15});
    const Settlement again = settlements.compute(ilk, son);
    ASSERT_TRUE(again.posting.has_value());
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(again.cells(again.lines[i], true), expected[i]) << i;

    // A period sharing a day with it is refused, naming it.
    for (const auto& [from, to] : {std::pair{ilk, son}, {QDate(2026, 12, 16), QDate(2027, 1, 15)}}) {
        const Settlements::Post refused = settlements.post(from, to);
        EXPECT_EQ(refused.outcome, Settlements::PostOutcome::Overlaps);
        ASSERT_TRUE(refused.overlapping.has_value());
        EXPECT_TRUE(Settlements::overlapRefusal(*refused.overlapping).contains("01.12.2026–31.12.2026"));
    }

    // The payout: Ali by the bank, Veli named apart; once paid his balance is
    // the rounding left, and it is not paid twice.
    const PayoutList payouts = payoutList(again);
    ASSERT_EQ(payouts.bank.size(), 1u);
    EXPECT_EQ(payouts.aciklama, QStringLiteral("Süt bedeli Aralık 2026"));
    EXPECT_TRUE(payouts.withoutIbanLine().contains("Veli Öz (K2) 9,78"));
    EXPECT_EQ(settlements.markPaid(ilk, son, {2027, 1, 5}), Settlements::PaidOutcome::Paid);
    EXPECT_EQ(settlements.markPaid(ilk, son, {2027, 1, 5}), Settlements::PaidOutcome::AlreadyPaid);
    EXPECT_LE(std::abs(balance("K1", {2027, 1, 5}).kurus()), 1);

    // Taken back, the ledger's rows are as they were before it.
    ASSERT_TRUE(settlements.undo(again.posting->hkid));
    const auto after = everyRow(db.connection);
    for (const char* table : {"SutGirisi", "Cariler", "Hakedisler", "Hakedis_Satirlari"})
        EXPECT_EQ(after[table], before[table]) << table;
    EXPECT_FALSE(settlements.compute(ilk, son).posting.has_value());
}

TEST_F(SettlementLedger, EveryProducersLedgerBalanceIsHisAmountToPayWithinAKurus)
{
    generateLedger(db.connection, {40, 120, son, 7, 0});
    rate("Gelir Vergisi Stopajı", 2.0, {2000, 1, 1});
    rate("SGK (Bağ-Kur) Prim Kesintisi", 1.0, {2000, 1, 1});
    rate("Borsa Tescil Ücreti", 0.2, {2000, 1, 1});
    for (const auto& [from, to] : {std::pair{QDate(2026, 11, 1), QDate(2026, 11, 15)}, {QDate(2026, 11, 16), QDate(2026, 11, 30)}, {ilk, son}}) {
        const Settlement s = settlements.compute(from, to);
        ASSERT_EQ(s.lines.size(), 40u);
        ASSERT_EQ(settlements.post(from, to).outcome, Settlements::PostOutcome::Posted);
        Money sum;
        for (const SettlementLine& line : s.lines) {
            EXPECT_EQ(balance(line.kodu, to), line.defterBakiyesi) << line.kodu.toStdString();
            EXPECT_LE(std::abs(line.yuvarlamaFarki().kurus()), 1) << line.kodu.toStdString();
            Money milk;
            for (const PriceLine& price : line.fiyatlar) milk += price.tutar;
            EXPECT_LE(std::abs((milk - line.sutTutari).kurus()), static_cast<qint64>(line.fiyatlar.size()));
            sum += line.odenecek();
        }
        EXPECT_EQ(s.total().odenecek(), sum);
    }
}

}  // namespace
