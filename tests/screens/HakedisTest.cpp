#include "ScreenFixture.h"
#include "common/EntryKeys.h"
#include "screens/Hakedis/Hakedis.h"
#include "screens/Kesintiler/Kesintiler.h"
#include "store/Statement.h"

#include <algorithm>

namespace {

class HakedisTest : public ScreenFixture {
protected:
    TKesintilerF& deductions = *screens.KesintilerF;
    THakedisF& settlement = *screens.HakedisF;

    int number(const QString& sql) { return rows(sql)[0].first().toInt(); }
};

TEST_F(HakedisTest, TheQuickChoicesTakeTheMonthOfTheFirstDay)
{
    using Q = THakedisF::Quick;
    const struct {
        QDate ilk;
        Q quick;
        QDate first;
        QDate last;
    } cases[] = {
        {{2026, 12, 9}, Q::WholeMonth, {2026, 12, 1}, {2026, 12, 31}},
        {{2024, 2, 20}, Q::SecondHalf, {2024, 2, 16}, {2024, 2, 29}},
        {{2024, 2, 29}, Q::WholeMonth, {2024, 2, 1}, {2024, 2, 29}},
        {{2025, 2, 3}, Q::SecondHalf, {2025, 2, 16}, {2025, 2, 28}},
        {{2026, 1, 31}, Q::FirstHalf, {2026, 1, 1}, {2026, 1, 15}},
        {{2026, 1, 31}, Q::SecondHalf, {2026, 1, 16}, {2026, 1, 31}},
        {{2026, 4, 15}, Q::SecondHalf, {2026, 4, 16}, {2026, 4, 30}},
    };
    for (const auto& c : cases) {
        settlement.IlkTarihDate.setDate(c.ilk);
        // The last day left from another month must not lead.
        settlement.SonTarihDate.setDate(c.ilk.addMonths(3));
        settlement.quickClick(c.quick);
        EXPECT_EQ(settlement.IlkTarihDate.date(), c.first) << c.ilk.toString().toStdString();
        EXPECT_EQ(settlement.SonTarihDate.date(), c.last) << c.ilk.toString().toStdString();
        EXPECT_TRUE(settlement.computed());
    }
}

TEST_F(HakedisTest, ADeductionLineIsRefusedSavedAndCorrectedAsTyped)
{
    const struct {
        const char* adi;
        const char* oran;
        bool saved;
        QVariant stored;
    } cases[] = {
        {"", "2", false, {}},
        {"  ", "2", false, {}},
        {"Borsa Tescil Ücreti", "100", false, {}},
        {"Borsa Tescil Ücreti", "-1", false, {}},
        {"Borsa Tescil Ücreti", "99,9999", true, 99.9999},
        {"Gelir Vergisi Stopajı", "2", true, 2.0},
        {"Kooperatif Aidatı", "", true, {}},
        {"SGK (Bağ-Kur) Prim Kesintisi", "1,23456", true, 1.2346},
    };
    // The new ledger's own lines, named without a rate, come first.
    int stored = count(QStringLiteral("Kesintiler"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oran);
        deductions.YeniClick();
        deductions.AdiCombo.setText(QString::fromUtf8(c.adi));
        deductions.OranEdit.setText(QString::fromLatin1(c.oran));
        deductions.BaslangicDate.setDate({2026, 1, 1});
        deductions.KaydetClick();
        if (c.saved) ++stored;
        ASSERT_EQ(count(QStringLiteral("Kesintiler")), stored);
        if (!c.saved) continue;
        const QVariant oran = rows(QStringLiteral("SELECT Oran FROM Kesintiler ORDER BY KSID DESC LIMIT 1"))[0][QStringLiteral("Oran")];
        EXPECT_EQ(oran.isNull(), c.stored.isNull());
        if (!oran.isNull()) EXPECT_DOUBLE_EQ(oran.toDouble(), c.stored.toDouble());
    }

    // The rate's line loaded from the list, corrected in place, then deleted only on "Evet".
    deductions.openFromMenu();
    const auto row = [&](const QString& name) {
        for (size_t i = 0; i < deductions.lines().size(); ++i)
            if (deductions.lines()[i].adi == name && deductions.lines()[i].oran) return static_cast<int>(i);
        return -1;
    };
    deductions.KesintiRow.set(row(QStringLiteral("Gelir Vergisi Stopajı")));
    deductions.KesintiListEnter();
    EXPECT_EQ(deductions.OranEdit.text(), QStringLiteral("2,0000"));
    deductions.OranEdit.setText(QStringLiteral("2,5"));
    deductions.KaydetClick();
    EXPECT_EQ(count(QStringLiteral("Kesintiler")), stored);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Kesintiler WHERE Adi='Gelir Vergisi Stopajı' AND Oran=2.5")), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Kesintiler WHERE Oran=2")), 0);
    // A line kept without a day takes the day its box shows when corrected.
    deductions.KesintiRow.set(0);
    deductions.KesintiListEnter();
    const QDate shown = deductions.BaslangicDate.date();
    ASSERT_TRUE(shown.isValid());
    deductions.OranEdit.setText(QStringLiteral("0,2"));
    deductions.KaydetClick();
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Kesintiler WHERE Oran=0.2 AND Baslangic='%1'").arg(shown.toString(Qt::ISODate))), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM Kesintiler WHERE Oran IS NOT NULL AND Baslangic IS NULL")), 0);
    for (const bool yes : {false, true}) {
        dialogs.confirmAnswer = yes;
        deductions.KesintiRow.set(static_cast<int>(std::find_if(deductions.lines().begin(), deductions.lines().end(),
                                                                [](const Deduction& d) { return d.adi == QStringLiteral("Kooperatif Aidatı"); }) -
                                                   deductions.lines().begin()));
        deductions.SilClick();
        EXPECT_EQ(count(QStringLiteral("Kesintiler")), yes ? stored - 1 : stored);
    }
}

TEST_F(HakedisTest, TheRateBoxHoldsFourDecimals)
{
    const struct {
        const char* before;
        QChar key;
        const char* after;
    } cases[] = {
        {"1,234", QLatin1Char('5'), "1,2345"},
        {"1,2345", QLatin1Char('6'), "1,2345"},
        {"", QLatin1Char(','), ","},
    };
    for (const auto& c : cases) {
        const QString before = QString::fromLatin1(c.before);
        EXPECT_EQ(amountKeyPress({before, static_cast<int>(before.size()), 0}, c.key, 4).state.text, QString::fromLatin1(c.after));
    }
    EXPECT_EQ(amountTextOnLeave(QStringLiteral("2,5"), 4), QStringLiteral("2,5000"));
    EXPECT_EQ(amountTextOnLeave(QStringLiteral("2,5")), QStringLiteral("2,50"));
}

// Records what the screen sends to the preview.
class SeenPreview : public SettlementPreview {
public:
    void previewSlips(const Settlement& s, bool) override { slips.push_back(s); }
    void previewPayouts(const Settlement&, const PayoutList& payouts) override { payoutLists.push_back(payouts); }
    std::vector<Settlement> slips;
    std::vector<PayoutList> payoutLists;
};

TEST_F(HakedisTest, ASettlementIsPostedPaidAndTakenBackOnlyWhenSaidYes)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Işık"));
    addAccount(QStringLiteral("K2"), QStringLiteral("Veli Öz"));
    Statement(db.connection, QStringLiteral("UPDATE Cariler SET IBAN='TR330006100519786457841326' WHERE Kodu='K1'")).run();
    for (int day = 1; day <= 30; day += 3) {
        intakeRow({2026, 11, day}, QStringLiteral("K1"), QStringLiteral("Ali Işık"), 10, 12, 14.25);
        intakeRow({2026, 11, day}, QStringLiteral("K2"), QStringLiteral("Veli Öz"), 5, 0, 14.25);
    }
    deductions.AdiCombo.setText(QStringLiteral("Gelir Vergisi Stopajı"));
    deductions.OranEdit.setText(QStringLiteral("2"));
    deductions.BaslangicDate.setDate({2026, 1, 1});
    deductions.KaydetClick();
    SeenPreview preview;
    settlement.attachPreview(&preview);
    settlement.openFromMenu();
    settlement.IlkTarihDate.setDate({2026, 11, 20});
    settlement.quickClick(THakedisF::Quick::WholeMonth);
    const QString posted = QStringLiteral("SELECT COUNT(*) FROM Hakedisler");
    const QString deductionRows = QStringLiteral("SELECT COUNT(*) FROM SutGirisi WHERE Fis_No='HK-20261130'");

    dialogs.confirmAnswer = false;
    settlement.KaydetClick();
    EXPECT_EQ(number(posted), 0);
    dialogs.confirmAnswer = true;
    settlement.KaydetClick();
    EXPECT_EQ(number(posted), 1);
    EXPECT_EQ(number(deductionRows), 2);
    ASSERT_TRUE(settlement.settlement().posting);

    // A half of the same month shares its days: refused, nothing more written.
    settlement.quickClick(THakedisF::Quick::FirstHalf);
    settlement.KaydetClick();
    EXPECT_EQ(number(posted), 1);
    settlement.quickClick(THakedisF::Quick::WholeMonth);

    // The slip of the selected producer only; the payout list without him who has no IBAN.
    settlement.HakedisRow.set(1);
    settlement.PusulaClick();
    ASSERT_EQ(preview.slips.size(), 1u);
    ASSERT_EQ(preview.slips[0].lines.size(), 1u);
    EXPECT_EQ(preview.slips[0].lines[0].kodu, settlement.settlement().lines[1].kodu);
    settlement.OdemeListesiClick();
    ASSERT_EQ(preview.payoutLists.size(), 1u);
    EXPECT_EQ(preview.payoutLists[0].bank.size(), 1u);

    const QString paidOn = QStringLiteral("SELECT COALESCE(CAST(Odeme_Tarihi AS TEXT), '') FROM Hakedisler");
    dialogs.giveUpDate = true;
    settlement.OdendiClick();
    EXPECT_EQ(rows(paidOn)[0].first().toString(), QString());
    dialogs.giveUpDate = false;
    dialogs.dateAnswer = {2026, 12, 5};
    settlement.OdendiClick();
    EXPECT_EQ(rows(paidOn)[0].first().toDate(), QDate(2026, 12, 5));
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM SutGirisi WHERE Fis_No='OD-20261130' AND Kodu='K1'")), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM SutGirisi WHERE Fis_No='OD-20261130'")), 1);

    for (const bool yes : {false, true}) {
        dialogs.confirmAnswer = yes;
        settlement.GeriAlClick();
        EXPECT_EQ(number(posted), yes ? 0 : 1);
    }
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM SutGirisi WHERE Fis_No IN ('HK-20261130', 'OD-20261130')")), 0);
    EXPECT_FALSE(settlement.settlement().posting) << "the screen shows what the ledger holds";
}

TEST_F(HakedisTest, AnOpenSettlementFollowsTheDeductionsAndShowsNothingStale)
{
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Işık"));
    intakeRow({2026, 11, 3}, QStringLiteral("K1"), QStringLiteral("Ali Işık"), 100, 0, 10);
    settlement.openFromMenu();
    settlement.IlkTarihDate.setDate({2026, 11, 3});
    settlement.quickClick(THakedisF::Quick::WholeMonth);
    const auto deductionTotal = [&] { return settlement.settlement().lines.at(0).kesintiToplami().kurus(); };
    EXPECT_EQ(deductionTotal(), 0);

    // Saved on the other screen while this one is shown: 2 % of 1.000,00.
    deductions.AdiCombo.setText(QStringLiteral("Gelir Vergisi Stopajı"));
    deductions.OranEdit.setText(QStringLiteral("2"));
    deductions.BaslangicDate.setDate({2026, 1, 1});
    deductions.KaydetClick();
    EXPECT_EQ(deductionTotal(), 2000);

    // Another period picked and not yet computed: nothing of the old one is shown.
    settlement.IlkTarihDate.setDate({2026, 10, 1});
    settlement.dateChange();
    EXPECT_TRUE(settlement.HakedisGrid.get().rows.empty());
    EXPECT_TRUE(settlement.YuvarlamaLabel.isEmpty());
}

}  // namespace
