#include "ledger/Ledger.h"
#include "ledger/Quality.h"
#include "store/Statement.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

namespace {

// Reference 15,00 TL for 3,60 % fat and 3,20 % protein; 0,12 TL a tenth of
// fat above, 0,15 below; 0,10 a tenth of protein above, 0,20 below; grade A
// 0,05 more, grade C 0,30 less.
const QualityLine kLine{0, QDate(2026, 11, 1), 15.0, 3.6, 3.2, 0.12, 0.15, 0.10, 0.20, QStringLiteral("A=0,05; c=-0,3")};

PourQuality pour(double yag, double protein, const char* hijyen = "")
{
    return {yag, protein, QString::fromLatin1(hijyen)};
}

// Each price worked out by hand from the line above.
TEST(Quality, APourIsPricedFromTheLineByWholeTenthsAndItsGrade)
{
    const struct {
        PourQuality pour;
        double price;
    } cases[] = {
        {pour(3.60, 3.20), 15.00},
        {pour(3.85, 3.20), 15.24},       // two whole tenths of fat above; the half tenth earns nothing
        {pour(3.45, 3.20), 14.85},       // one whole tenth below
        {pour(3.60, 3.51), 15.30},       // three tenths of protein above
        {pour(3.30, 2.95, "a"), 14.20},  // 15 - 3×0,15 - 2×0,20 + 0,05
        {pour(4.10, 3.40, "C"), 15.50},  // 15 + 5×0,12 + 2×0,10 - 0,30
        {pour(3.60, 3.20, "B"), 15.00},  // a grade the line does not name adds nothing
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(qualityPrice(kLine, c.pour), c.price) << *c.pour.yag << " " << *c.pour.protein;

    const struct {
        const char* text;
        bool read;
    } hygiene[] = {{"A=0,05; C=-0.3", true}, {"", true}, {"A=", false}, {"A=1;a=2", false}, {"A 0,05", false}};
    for (const auto& h : hygiene) EXPECT_EQ(hygieneAmounts(QString::fromLatin1(h.text)).problem.isEmpty(), h.read) << h.text;
    EXPECT_EQ(hygieneText(hygieneAmounts(QStringLiteral("c=-0,3; A=0,05"))), QStringLiteral("A=0.05;C=-0.3"));
}

// The row's price comes from the line in force on its day when the pour is
// measured, is typed otherwise, and a correction keeps it while the pour's
// figures stay as they were.
TEST(Quality, TheRowsPriceFollowsTheLineOfItsDayAndACorrectionKeepsIt)
{
    TempDatabase db;
    Ledger ledger{db.connection};
    ASSERT_EQ(ledger.saveAccount({0, QStringLiteral("K1"), QStringLiteral("Ali Işık")}), Ledger::AccountCheck::Ok);
    QualityPrices prices(ledger);
    ASSERT_EQ(prices.save(kLine), QualityPrices::Check::Ok);
    QualityLine later = kLine;
    later.baslangic = QDate(2026, 12, 1);
    later.referansFiyat = 16.0;
    ASSERT_EQ(prices.save(later), QualityPrices::Check::Ok);
    QualityLine undated = kLine;
    undated.baslangic = QDate();
    EXPECT_EQ(prices.save(undated), QualityPrices::Check::NoStartDay);
    EXPECT_EQ(prices.lines().size(), 2u);

    const auto stored = [&](qint64 sgid) {
        Statement row(db.connection, QStringLiteral("SELECT SBirim_Fiyat, ABirim_Fiyat, Gelir_Toplam_Tutar, SYag, AHijyen FROM SutGirisi WHERE SGID=?1"));
        row.bind(1, sgid);
        EXPECT_TRUE(row.step());
        return std::tuple{row.column(0).toDouble(), row.column(1).toDouble(), row.column(2).toDouble(), row.column(3), row.column(4)};
    };
    IntakeEntry entry{0, QDate(2026, 11, 20), QStringLiteral("K1"), QStringLiteral("Ali Işık"), 10, 20, 14.0, {}, pour(3.85, 3.20), {}};
    const qint64 sgid = ledger.saveIntake(entry).key;
    auto [sabah, aksam, total, yag, hijyen] = stored(sgid);
    EXPECT_DOUBLE_EQ(sabah, 15.24);
    EXPECT_DOUBLE_EQ(aksam, 14.0) << "the evening was not measured: typed";
    EXPECT_DOUBLE_EQ(total, 10 * 15.24 + 20 * 14.0);
    EXPECT_DOUBLE_EQ(yag.toDouble(), 3.85);
    EXPECT_TRUE(hijyen.isNull());

    // The line of its day changes; a correction of the litres keeps the price.
    QualityLine changed = kLine;
    changed.kfid = prices.lines().front().kfid;
    changed.referansFiyat = 20.0;
    ASSERT_EQ(prices.save(changed), QualityPrices::Check::Ok);
    entry.sgid = sgid;
    entry.sabah = 11;
    ledger.saveIntake(entry);
    EXPECT_DOUBLE_EQ(std::get<0>(stored(sgid)), 15.24);
    // New figures are priced anew, from the line as it is now.
    entry.sabahKalite = pour(3.85, 3.20, "A");
    entry.aksamKalite = pour(3.60, 3.20);
    ledger.saveIntake(entry);
    EXPECT_DOUBLE_EQ(std::get<0>(stored(sgid)), 20.29);
    EXPECT_DOUBLE_EQ(std::get<1>(stored(sgid)), 20.0);
    // A day under the later line.
    const qint64 december = ledger.saveIntake({0, QDate(2026, 12, 2), QStringLiteral("K1"), QStringLiteral("Ali Işık"), 5, 0, 14.0, {}, pour(3.60, 3.20), {}}).key;
    EXPECT_DOUBLE_EQ(std::get<0>(stored(december)), 16.0);
    const std::optional<IntakeEntry> read = ledger.intakeOn(QStringLiteral("K1"), QDate(2026, 11, 20));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->sabahKalite, pour(3.85, 3.20, "A"));
}

}  // namespace
