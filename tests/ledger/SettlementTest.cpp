#include "bench/LedgerGenerator.h"
#include "ledger/Ledger.h"
#include "ledger/Lists.h"
#include "ledger/Quality.h"
#include "ledger/Settlement.h"
#include "ledger/Statements.h"
#include "Ledger.h"
#include "store/Query.h"
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
        {"K1", "Ali Işık", "45,50", "", "", "581,25", "11,63", "1,16", "12,79", "568,46", "23,45", "50,00", "541,91",
         "TR330006100519786457841326"},
        {"K2", "Veli Öz", "1,00", "", "", "10,00", "0,20", "0,02", "0,22", "9,78", "0,00", "0,00", "9,78", ""},
    };
    ASSERT_EQ(s.lines.size(), 2u);
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(s.cells(s.lines[i], true), expected[i]) << i;
    EXPECT_EQ(s.lines[0].fiyatlar.size(), 2u) << "a line per price";
    EXPECT_EQ(s.lines[0].yuvarlamaFarki().kurus(), 0);
    EXPECT_EQ(s.lines[1].yuvarlamaFarki().kurus(), 1) << "9,788 in the ledger";
    EXPECT_EQ(s.cells(s.total(), true).mid(2, 11),
              QStringList({"46,50", "", "", "591,25", "11,83", "1,18", "13,01", "578,24", "23,45", "50,00", "551,69"}));

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

// Fat and protein over the period: each pour weighed by its litres, morning
// and evening alike; a pour without a figure weighs nothing, and with none
// measured there is no average at all, never 0. The settlement, the
// statements and the intake's month all show the same.
TEST_F(SettlementLedger, EachProducerHasThePeriodsLitresWeightedFatAndProtein)
{
    const QVariant none;
    const struct {
        const char* code;
        QDate day;
        double sabah;
        QVariant sYag, sProtein;
        double aksam;
        QVariant aYag, aProtein;
    } pours[] = {
        // 10 L at 3,40 and 30 L at 4,00: 3,85, not the plain mean 3,70.
        {"K1", {2026, 12, 1}, 10, 3.40, 3.00, 0, none, none},
        {"K1", {2026, 12, 2}, 30, 4.00, 3.40, 0, none, none},
        {"K1", {2026, 11, 30}, 500, 9.99, 9.99, 0, none, none},  // before the period
        {"K2", {2026, 12, 1}, 20, 3.50, none, 20, 4.10, 3.25},   // protein measured in the evening only
        {"K3", {2026, 12, 1}, 10, 3.60, 3.20, 0, none, none},
        {"K3", {2026, 12, 2}, 90, none, none, 40, none, none},
        {"K4", {2026, 12, 1}, 25, none, none, 25, none, none},
    };
    for (const auto& p : pours) {
        addIntakeRow(db.connection, p.day, QString::fromLatin1(p.code), QString::fromLatin1(p.code), p.sabah, p.aksam, 10);
        Statement quality(db.connection, QStringLiteral("UPDATE SutGirisi SET SYag=?1, SProtein=?2, AYag=?3, AProtein=?4 "
                                                        "WHERE SGID=(SELECT MAX(SGID) FROM SutGirisi)"));
        const QVariant figures[] = {p.sYag, p.sProtein, p.aYag, p.aProtein};
        for (int f = 0; f < 4; ++f) quality.bind(f + 1, figures[f]);
        quality.run();
    }
    const struct {
        const char* code;
        const char* yag;
        const char* protein;
    } expected[] = {{"K1", "3,85", "3,30"}, {"K2", "3,80", "3,25"}, {"K3", "3,60", "3,20"}, {"K4", "", ""}};

    const Settlement s = settlements.compute(ilk, son);
    const std::vector<AccountStatement> statements = buildAllStatements(db.connection, ilk, son);
    const Sheet sheet = statementsSheet(statements);
    Query month(db.connection);
    lists::intakeMonth(month, ilk, son);
    ASSERT_EQ(s.lines.size(), 4u);
    ASSERT_EQ(statements.size(), 4u);
    ASSERT_EQ(month.recordCount(), 4);
    const auto shown = [](const QVariant& value) { return value.isNull() ? QString() : formatFloat(kAmountPattern, value.toDouble()); };
    for (size_t i = 0; i < 4; ++i) {
        const auto& e = expected[i];
        const QStringList both{QString::fromLatin1(e.yag), QString::fromLatin1(e.protein)};
        ASSERT_EQ(s.lines[i].kodu, QString::fromLatin1(e.code));
        EXPECT_EQ(s.cells(s.lines[i], true).mid(Settlement::OrtYag, 2), both) << e.code;
        const std::vector<SheetCell> cells = s.sheetCells(s.lines[i]);
        EXPECT_EQ(cells[Settlement::OrtYag].kind, both[0].isEmpty() ? SheetCell::Kind::Empty : SheetCell::Kind::Number) << e.code;

        const AccountStatement& statement = statements[i];
        EXPECT_EQ((QStringList{averageText(statement.ortalama.yag), averageText(statement.ortalama.protein)}), both) << e.code;
        // The statement's sheet has them once, on the row that opens his block.
        const auto opening = std::find_if(sheet.rows.begin(), sheet.rows.end(),
                                          [&](const SheetRow& row) { return row.cells[0].text == statement.kodu; });
        ASSERT_NE(opening, sheet.rows.end());
        EXPECT_EQ((QStringList{opening->cells[2].plain(), opening->cells[3].plain()}), both) << e.code;

        EXPECT_EQ((QStringList{shown(month.valueAt(static_cast<int>(i), QStringLiteral("Ort_Yag"))),
                               shown(month.valueAt(static_cast<int>(i), QStringLiteral("Ort_Protein")))}),
                  both)
            << e.code;
    }
    EXPECT_EQ(statements[0].summaryLines().mid(0, 2), (QStringList{"Ort. Yağ: %3,85", "Ort. Protein: %3,30"}));
    EXPECT_EQ(statements[3].summaryLines().size(), 2) << "nothing measured, nothing said";
    EXPECT_EQ(s.cells(s.total(), true).mid(Settlement::OrtYag, 2), QStringList(2)) << "an average is no sum";
}

// A day whose pours were priced apart by their quality: the slip gives each
// price its own litres and money, the statement both prices on the row, and
// either adds up by hand.
TEST_F(SettlementLedger, PoursPricedApartAddUpByHandOnTheSlipAndTheStatement)
{
    // 15,00 for 3,6 % fat and 3,2 % protein, 0,12 a tenth of fat above.
    ASSERT_EQ(QualityPrices(ledger).save({0, QDate(2026, 11, 1), 15.0, 3.6, 3.2, 0.12, 0.15, 0.10, 0.20, {}}), QualityPrices::Check::Ok);
    const PourQuality none;
    const struct {
        const char* code;
        int day;
        double sabah;
        PourQuality sabahKalite;
        double aksam;
        PourQuality aksamKalite;
        const char* fiyat;  // as the statement shows it
    } pours[] = {
        {"K1", 1, 10, {3.8, 3.2, {}}, 20, none, "15,24 / 14,00"},
        {"K1", 2, 5, none, 7.5, {3.6, 3.2, {}}, "14,00 / 15,00"},
        {"K1", 3, 0, none, 4, {3.7, 3.2, {}}, "15,12"},  // no morning: its price has no say
        {"K2", 1, 10, none, 10, none, "14,00"},
        {"K3", 1, 0, none, 2, {3.6, 3.2, {}}, "15,00"},
    };
    for (const auto& p : pours) {
        const QString code = QString::fromLatin1(p.code);
        ledger.saveAccount({0, code, code});
        ASSERT_EQ(ledger.saveIntake({0, QDate(2026, 12, p.day), code, code, p.sabah, p.aksam, 14.0, {}, p.sabahKalite, p.aksamKalite}).check,
                  Ledger::EntryCheck::Ok);
    }
    // Each price line's litres, price and money; the lines make the milk money.
    const QStringList expected = {"K1 25,00 14,00 350,00", "K1 7,50 15,00 112,50", "K1 4,00 15,12 60,48",
                                  "K1 10,00 15,24 152,40", "K2 20,00 14,00 280,00", "K3 2,00 15,00 30,00"};
    QStringList shown;
    for (const SettlementLine& line : settlements.compute(ilk, son).lines) {
        Money milk;
        for (const PriceLine& price : line.fiyatlar) {
            shown << QStringList{line.kodu, price.litre.text(), perLitreText(price.fiyat), price.tutar.text()}.join(QLatin1Char(' '));
            milk += price.tutar;
        }
        EXPECT_EQ(milk, line.sutTutari) << line.kodu.toStdString();
    }
    EXPECT_EQ(shown, expected);

    const std::vector<AccountStatement> statements = buildAllStatements(db.connection, ilk, son);
    QStringList prices, typed;
    for (const AccountStatement& statement : statements)
        for (const AccountStatementLine& line : statement.lines) prices << line.cells()[AccountStatement::Fiyat];
    for (const auto& p : pours) typed << QString::fromLatin1(p.fiyat);
    EXPECT_EQ(prices, typed);
    const Sheet sheet = statementsSheet(statements);
    EXPECT_EQ(sheet.rows[1].cells[4 + AccountStatement::Fiyat].plain(), QStringLiteral("15,24 / 14,00"));
}

}  // namespace
