#include "common/MonthPeriod.h"
#include "ScreenFixture.h"
#include "store/Statement.h"

#include <sqlite3.h>

namespace {

const QDate kJan1(2021, 1, 1);
const QDate kMar5(2021, 3, 5);

class RaporTest : public ScreenFixture {
protected:
    void refresh(const QDate& from, const QDate& to)
    {
        report.ilktarihDate.setDate(from);
        report.sontarihDate.setDate(to);
        report.Yenile();
    }

    // What a grid shows on one row: each column's text.
    static QStringList shown(const Query& query, const std::vector<GridColumn>& columns, int row)
    {
        QStringList cells;
        for (const GridColumn& column : columns) cells << cellText(column.format, query.valueAt(row, column.field));
        return cells;
    }
    QList<QStringList> summaryLines()
    {
        QList<QStringList> lines;
        for (int row = 0; row < report.SutGirisiQuery.recordCount(); ++row)
            lines << shown(report.SutGirisiQuery, TRaporF::kSummaryColumns, row);
        return lines;
    }
    QList<QStringList> detailLines()
    {
        QList<QStringList> lines;
        for (int row = 0; row < report.detayQuery.recordCount(); ++row)
            lines << shown(report.detayQuery, TRaporF::kDetailColumns, row);
        return lines;
    }
    // The texts of the three total boxes.
    QStringList totalTexts()
    {
        QStringList texts;
        for (const TotalBox& box : TRaporF::kTotals)
            texts << cellText(box.format, report.SutGirisiToplam.value(box.field));
        return texts;
    }
    // Moves the summary to the line of a name, as a click on it does.
    void standOn(const QString& name) { ASSERT_TRUE(report.SutGirisiQuery.locate(QStringLiteral("Adi"), name)) << name.toStdString(); }
    double detailSum(const QString& field)
    {
        double sum = 0;
        for (int row = 0; row < report.detayQuery.recordCount(); ++row)
            sum += report.detayQuery.valueAt(row, field).toDouble();
        return sum;
    }
    int writes() { return sqlite3_total_changes(db.connection.handle()); }
};

TEST_F(RaporTest, EveryOpeningFromTheMenuReportsThisYearSoFar)
{
    const QDate today = QDate::currentDate();
    const QDate newYear(today.year(), 1, 1);
    intakeRow(today, QStringLiteral("K2"), QStringLiteral("Zeki Öz"), 10, 0, 2);
    intakeRow(newYear, QStringLiteral("K1"), QStringLiteral("Ayşe Er"), 5, 5, 1.5, QStringLiteral("yılbaşı"));
    intakeRow(newYear.addDays(-1), QStringLiteral("K1"), QStringLiteral("Ayşe Er"), 100, 0, 1);
    intakeRow(today.addDays(1), QStringLiteral("K3"), QStringLiteral("Ali Yarın"), 100, 0, 1);
    report.openFromMenu();
    EXPECT_TRUE(report.window().isVisible());
    EXPECT_EQ(report.RaporSheet.text(), shortDate(newYear) + QLatin1Char('/') + shortDate(today) +
                                            QStringLiteral(" Tarihleri Arası Rapor"));
    EXPECT_EQ(summaryLines(), (QList<QStringList>{{"K1", "Ayşe Er", "15,00", "", "15,00"},
                                                  {"K2", "Zeki Öz", "20,00", "", "20,00"}}));
    EXPECT_EQ(report.Label1.text(), QStringLiteral("Ayşe Er Hesap Hareketleri"));
    EXPECT_EQ(detailLines(), (QList<QStringList>{{shortDate(newYear), "Ayşe Er", "yılbaşı", "5,00", "5,00", "15,00", ""}}));

    // Hidden and opened again: the ledger as it is now, the name box kept.
    report.AdiEdit.setText(QStringLiteral("zek"));
    report.kapatButtonClick();
    EXPECT_FALSE(report.window().isVisible());
    paymentRow(today, QStringLiteral("K2"), QStringLiteral("Zeki Öz"), 0, 7.25);
    report.openFromMenu();
    EXPECT_EQ(summaryLines()[1], (QStringList{"K2", "Zeki Öz", "20,00", "7,25", "12,75"}));
    EXPECT_EQ(report.AdiEdit.text(), QStringLiteral("zek"));
}

TEST_F(RaporTest, EachCodeAndNameHasItsSumsAndBalanceInTurkishNameOrder)
{
    // Only intake: nothing given, the balance is the milk's value.
    intakeRow(QDate(2021, 2, 1), QStringLiteral("K1"), QStringLiteral("Çetin Ak"), 20, 0, 2);
    intakeRow(QDate(2021, 1, 10), QStringLiteral("K1"), QStringLiteral("Çetin Ak"), 10, 5, 2, QStringLiteral("ilk"));
    // Only payments: the balance is the negative of what was given, less what they booked as owed.
    paymentRow(QDate(2021, 3, 1), QStringLiteral("K2"), QStringLiteral("Cem Er"), 10, 25.5, QStringLiteral("yem"));
    paymentRow(QDate(2021, 2, 10), QStringLiteral("K2"), QStringLiteral("Cem Er"), 0, 100, QStringLiteral("nakit"));
    // Both kinds.
    intakeRow(QDate(2021, 1, 5), QStringLiteral("K3"), QStringLiteral("İsmail Us"), 1234.5, 0, 1);
    paymentRow(kMar5, QStringLiteral("K3"), QStringLiteral("İsmail Us"), 0, 1000);
    intakeRow(QDate(2021, 1, 20), QStringLiteral("K4"), QStringLiteral("Irmak Öz"), 0.1, 0.1, 1);
    // Payments that booked nothing as owed leave that sum empty.
    paymentRow(QDate(2021, 2, 2), QStringLiteral("K5"), QStringLiteral("Oğuz Tan"), QVariant(), 40);
    // Outside the period.
    intakeRow(QDate(2020, 12, 31), QStringLiteral("K4"), QStringLiteral("Irmak Öz"), 500, 0, 1);
    paymentRow(kMar5.addDays(1), QStringLiteral("K3"), QStringLiteral("İsmail Us"), 0, 9999);

    const int writesBefore = writes();
    refresh(kJan1, kMar5);
    EXPECT_EQ(report.RaporSheet.text(), QStringLiteral("01.01.2021/05.03.2021 Tarihleri Arası Rapor"));
    EXPECT_EQ(summaryLines(), (QList<QStringList>{
                                  {"K2", "Cem Er", "10,00", "125,50", "-115,50"},
                                  {"K1", "Çetin Ak", "70,00", "", "70,00"},
                                  {"K4", "Irmak Öz", "0,20", "", "0,20"},
                                  {"K3", "İsmail Us", "1.234,50", "1.000,00", "234,50"},
                                  {"K5", "Oğuz Tan", "", "40,00", "-40,00"},
                              }));
    EXPECT_EQ(report.SutGirisiQuery.currentRow(), 0);

    // The totals are the columns' sums, and their balance is worked out the same way.
    double borc = 0, alacak = 0, bakiye = 0;
    for (int row = 0; row < report.SutGirisiQuery.recordCount(); ++row) {
        borc += report.SutGirisiQuery.valueAt(row, QStringLiteral("Borc_Toplami")).toDouble();
        alacak += report.SutGirisiQuery.valueAt(row, QStringLiteral("Alacak_Toplami")).toDouble();
        bakiye += report.SutGirisiQuery.valueAt(row, QStringLiteral("Bakiye")).toDouble();
    }
    EXPECT_NEAR(report.SutGirisiToplam.value(QStringLiteral("Borc_Toplami")).toDouble(), borc, 0.005);
    EXPECT_NEAR(report.SutGirisiToplam.value(QStringLiteral("Alacak_Toplami")).toDouble(), alacak, 0.005);
    EXPECT_NEAR(report.SutGirisiToplam.value(QStringLiteral("Bakiye")).toDouble(), bakiye, 0.005);
    EXPECT_EQ(totalTexts(), (QStringList{"1.314,70", "1.165,50", "149,20"}));

    // The first name's rows, oldest first, whatever the order they were written in.
    EXPECT_EQ(report.Label1.text(), QStringLiteral("Cem Er Hesap Hareketleri"));
    EXPECT_EQ(detailLines(), (QList<QStringList>{{"10.02.2021", "Cem Er", "nakit", "", "", "0,00", "100,00"},
                                                 {"01.03.2021", "Cem Er", "yem", "", "", "10,00", "25,50"}}));
    standOn(QStringLiteral("Çetin Ak"));
    report.SutGirisiGridDblClick();
    EXPECT_EQ(detailLines(), (QList<QStringList>{{"10.01.2021", "Çetin Ak", "ilk", "10,00", "5,00", "30,00", ""},
                                                 {"01.02.2021", "Çetin Ak", "", "20,00", "0,00", "40,00", ""}}));

    // The balance is summed exactly, to the hundred-millionth: a third of a cent stays.
    intakeRow(kJan1, QStringLiteral("K6"), QStringLiteral("Ümit"), 1, 0, 1.0 / 3);
    paymentRow(kJan1, QStringLiteral("K6"), QStringLiteral("Ümit"), QVariant(), 0.33);
    refresh(kJan1, kMar5);
    standOn(QStringLiteral("Ümit"));
    EXPECT_NEAR(report.SutGirisiQuery.asFloat(QStringLiteral("Bakiye")), 1.0 / 3 - 0.33, 1e-8);
    EXPECT_EQ(cellText(kAsAmount, report.SutGirisiQuery.value(QStringLiteral("Bakiye"))), QStringLiteral("0,00"));

    report.bulButtonClick();
    report.DetayYenile();
    EXPECT_EQ(writes(), writesBefore + 2) << "only the two rows this test wrote; the report writes nothing";
}

TEST_F(RaporTest, BothEndsOfThePeriodAreIncluded)
{
    const struct {
        QDate day;
        double amount;
    } ledger[] = {{QDate(2021, 2, 28), 1}, {QDate(2021, 3, 1), 10}, {QDate(2021, 3, 31), 100}, {QDate(2021, 4, 1), 1000}};
    for (const auto& row : ledger) intakeRow(row.day, QStringLiteral("K1"), QStringLiteral("Ali"), row.amount, 0, 1);
    paymentRow(QDate(2021, 3, 31), QStringLiteral("K1"), QStringLiteral("Ali"), 0, 0.5);

    const struct {
        QDate from;
        QDate to;
        const char* borc;
        QStringList days;
    } cases[] = {
        {QDate(2021, 3, 1), QDate(2021, 3, 31), "110,00", {"01.03.2021", "31.03.2021", "31.03.2021"}},
        {QDate(2021, 2, 28), QDate(2021, 4, 1), "1.111,00", {"28.02.2021", "01.03.2021", "31.03.2021", "31.03.2021", "01.04.2021"}},
        {QDate(2021, 3, 31), QDate(2021, 3, 31), "100,00", {"31.03.2021", "31.03.2021"}},
        {QDate(2021, 3, 2), QDate(2021, 3, 30), nullptr, {}},
    };
    for (const auto& c : cases) {
        refresh(c.from, c.to);
        const std::string period = (shortDate(c.from) + QLatin1Char('-') + shortDate(c.to)).toStdString();
        if (!c.borc) {
            EXPECT_EQ(report.SutGirisiQuery.recordCount(), 0) << period;
            continue;
        }
        ASSERT_EQ(report.SutGirisiQuery.recordCount(), 1) << period;
        EXPECT_EQ(summaryLines()[0][2], QString::fromUtf8(c.borc)) << period;
        QStringList days;
        for (const QStringList& line : detailLines()) days << line[0];
        EXPECT_EQ(days, c.days) << period;
    }
}

TEST_F(RaporTest, AnEmptyOrBackwardPeriodShowsEmptyListsAndAZeroBalance)
{
    intakeRow(QDate(2021, 2, 1), QStringLiteral("K1"), QStringLiteral("Ali"), 10, 0, 2);
    paymentRow(QDate(2021, 2, 2), QStringLiteral("K1"), QStringLiteral("Ali"), 0, 5);
    const struct {
        QDate from;
        QDate to;
    } periods[] = {{kMar5, kJan1}, {QDate(2021, 2, 3), kMar5}, {QDate(2021, 2, 2), QDate(2021, 2, 1)}};
    for (const auto& p : periods) {
        // Filled first, so that emptying is what is seen.
        refresh(kJan1, kMar5);
        ASSERT_EQ(report.detayQuery.recordCount(), 2);
        refresh(p.from, p.to);
        const std::string period = (shortDate(p.from) + QLatin1Char('-') + shortDate(p.to)).toStdString();
        EXPECT_EQ(report.SutGirisiQuery.recordCount(), 0) << period;
        EXPECT_EQ(report.detayQuery.recordCount(), 0) << period;
        EXPECT_EQ(report.Label1.text(), QStringLiteral("......")) << period;
        EXPECT_EQ(totalTexts(), (QStringList{"", "", "0,00"})) << period;
        EXPECT_EQ(report.RaporSheet.text(),
                  shortDate(p.from) + QLatin1Char('/') + shortDate(p.to) + QStringLiteral(" Tarihleri Arası Rapor"));
        // A double-click on the empty list changes nothing either.
        report.SutGirisiGridDblClick();
        EXPECT_EQ(report.detayQuery.recordCount(), 0) << period;
        EXPECT_EQ(report.Label1.text(), QStringLiteral("......")) << period;
    }
}

TEST_F(RaporTest, OneCodeUnderTwoNamesHasTwoLinesAndEachListsAllItsRows)
{
    intakeRow(QDate(2021, 1, 5), QStringLiteral("K1"), QStringLiteral("Ali Can"), 10, 0, 1);
    intakeRow(QDate(2021, 2, 5), QStringLiteral("K1"), QStringLiteral("Ali Can Er"), 20, 0, 1);
    paymentRow(QDate(2021, 2, 6), QStringLiteral("K1"), QStringLiteral("Ali Can Er"), 0, 5);
    // Another code sharing the first name: the detail goes by code, not by name.
    intakeRow(QDate(2021, 1, 7), QStringLiteral("K2"), QStringLiteral("Ali Can"), 7, 0, 1);
    refresh(kJan1, kMar5);

    ASSERT_EQ(report.SutGirisiQuery.recordCount(), 3);
    const struct {
        const char* code;
        const char* name;
        const char* borc;
        QStringList names;
    } lines[] = {
        {"K1", "Ali Can", "10,00", {"Ali Can", "Ali Can Er", "Ali Can Er"}},
        {"K1", "Ali Can Er", "20,00", {"Ali Can", "Ali Can Er", "Ali Can Er"}},
        {"K2", "Ali Can", "7,00", {"Ali Can"}},
    };
    for (const auto& line : lines) {
        int row = -1;
        for (int r = 0; r < report.SutGirisiQuery.recordCount(); ++r)
            if (report.SutGirisiQuery.valueAt(r, QStringLiteral("Kodu")).toString() == QLatin1String(line.code) &&
                report.SutGirisiQuery.valueAt(r, QStringLiteral("Adi")).toString() == QString::fromUtf8(line.name))
                row = r;
        ASSERT_GE(row, 0) << line.code << " " << line.name;
        EXPECT_EQ(shown(report.SutGirisiQuery, TRaporF::kSummaryColumns, row)[2], QString::fromUtf8(line.borc));
        report.SutGirisiQuery.moveTo(row);
        report.SutGirisiGridDblClick();
        QStringList names;
        for (const QStringList& detail : detailLines()) names << detail[1];
        EXPECT_EQ(names, line.names) << line.code << " " << line.name;
        EXPECT_EQ(report.Label1.text(), QString::fromUtf8(line.name) + QStringLiteral(" Hesap Hareketleri"));
    }
}

TEST_F(RaporTest, ACodeIsComparedAsTextWhateverItHolds)
{
    const struct {
        const char* code;
        const char* name;
        double borc;
        double alacak;
    } accounts[] = {
        {"x' OR '1'='1", "Xavier", 22, 2},
        {"O'Nal", "Oya Nal", 11, 1},
        {"x", "Xe", 33, 3},
        {"'", "Tırnak", 44, 4},
        {"K1 --", "Yorum", 55, 5},
        {"K1", "Ali", 66, 6},
        {"K\n2", "Satır", 77, 7},
        {"K%1", "Sıfır", 88, 8},  // a NUL character in the code
    };
    const auto codeOf = [](const char* text) {
        const QString code = QString::fromUtf8(text);
        return code.contains(QStringLiteral("%1")) ? code.arg(QChar(0)) : code;
    };
    for (const auto& a : accounts) {
        const QString code = codeOf(a.code);
        const QString name = QString::fromUtf8(a.name);
        intakeRow(QDate(2021, 2, 1), code, name, a.borc, 0, 1);
        paymentRow(QDate(2021, 2, 2), code, name, 0, a.alacak);
    }
    refresh(kJan1, kMar5);
    ASSERT_EQ(report.SutGirisiQuery.recordCount(), 8);
    for (const auto& a : accounts) {
        standOn(QString::fromUtf8(a.name));
        report.SutGirisiGridDblClick();
        EXPECT_EQ(report.detayQuery.recordCount(), 2) << a.code;
        EXPECT_DOUBLE_EQ(detailSum(QStringLiteral("Gelir_Toplam_Tutar")), a.borc) << a.code;
        EXPECT_DOUBLE_EQ(detailSum(QStringLiteral("Gider_Tutari")), a.alacak) << a.code;
    }
    EXPECT_EQ(count(QStringLiteral("SutGirisi")), 16);
}

TEST_F(RaporTest, BulFindsTheNextNameAndLeavesTheDetailAlone)
{
    const char* names[] = {"Ali Işık", "Bora Kaya", "Cem Işıkçı", "Derya"};
    int code = 0;
    for (const char* name : names)
        intakeRow(QDate(2021, 2, 1), QStringLiteral("K%1").arg(++code), QString::fromUtf8(name), 1, 0, 1);
    // A line with an empty name matches no text.
    intakeRow(QDate(2021, 2, 1), QStringLiteral("K0"), QString(), 1, 0, 1);
    refresh(kJan1, kMar5);
    ASSERT_EQ(report.SutGirisiQuery.recordCount(), 5);
    ASSERT_EQ(report.SutGirisiQuery.asString(QStringLiteral("Adi")), QString());
    report.SutGirisiQuery.moveTo(1);
    report.DetayYenile();
    ASSERT_EQ(report.Label1.text(), QStringLiteral("Ali Işık Hesap Hareketleri"));

    const struct {
        const char* text;
        int row;
    } searches[] = {
        {"", 1},          // an empty box finds nothing
        {"zeynep", 1},    // no match: one full pass, back where it started
        {"ışık", 3},      // the next match after the current row
        {"ışık", 1},      // again: on from the first row after the last
        {"IŞIK", 3},      // capitals are lower-cased the Turkish way
        {"KAYA", 2},
        {"a", 4},         // "Derya"
        {"a", 4},         // the last row is tried once more as the end is reached
        {"a", 1},         // then on from the first row, past the empty name
        {" ", 1},         // blanks are trimmed: nothing to find
    };
    for (const auto& s : searches) {
        report.AdiEdit.setText(QString::fromUtf8(s.text));
        report.bulButtonClick();
        EXPECT_EQ(report.SutGirisiQuery.currentRow(), s.row) << "'" << s.text << "'";
    }
    EXPECT_EQ(report.Label1.text(), QStringLiteral("Ali Işık Hesap Hareketleri")) << "Bul does not rebuild the detail";
    report.AdiEdit.setText(QStringLiteral("der"));
    report.bulButtonClick();
    report.SutGirisiGridDblClick();
    EXPECT_EQ(report.Label1.text(), QStringLiteral("Derya Hesap Hareketleri"));

    // Before the first Yenile there is nothing to search.
    report.SutGirisiQuery.close();
    report.bulButtonClick();
    EXPECT_EQ(report.SutGirisiQuery.currentRow(), -1);
}

TEST_F(RaporTest, ADoubleClickAfterNewDatesShowsTheirRowsUnderTheOldSummary)
{
    intakeRow(QDate(2021, 1, 15), QStringLiteral("K1"), QStringLiteral("Ali"), 10, 0, 1, QStringLiteral("ocak"));
    intakeRow(QDate(2021, 2, 15), QStringLiteral("K1"), QStringLiteral("Ali"), 20, 0, 1, QStringLiteral("şubat"));
    intakeRow(QDate(2021, 2, 16), QStringLiteral("K2"), QStringLiteral("Bora"), 30, 0, 1);
    refresh(QDate(2021, 1, 1), QDate(2021, 1, 31));
    ASSERT_EQ(detailLines().size(), 1);

    report.ilktarihDate.setDate(QDate(2021, 2, 1));
    report.sontarihDate.setDate(QDate(2021, 2, 28));
    report.SutGirisiGridDblClick();
    ASSERT_EQ(detailLines().size(), 1);
    EXPECT_EQ(detailLines()[0][2], QStringLiteral("şubat"));
    EXPECT_EQ(report.Label1.text(), QStringLiteral("Ali Hesap Hareketleri"));
    EXPECT_EQ(summaryLines(), (QList<QStringList>{{"K1", "Ali", "10,00", "", "10,00"}})) << "the summary keeps January";
    EXPECT_EQ(totalTexts(), (QStringList{"10,00", "", "10,00"}));
    EXPECT_EQ(report.RaporSheet.text(), QStringLiteral("01.01.2021/31.01.2021 Tarihleri Arası Rapor"));
}

// Under the detail, the producer's litres per month of the period: his
// intake rows only, a month without them has no bar, the last one chosen.
TEST_F(RaporTest, TheDetailsChartHasTheProducersLitresPerMonth)
{
    const std::pair<QDate, const char*> rows[] = {{QDate(2026, 1, 10), "K1"}, {QDate(2026, 1, 15), "K1"}, {QDate(2026, 1, 31), "K1"},
                                                  {QDate(2026, 3, 1), "K1"},  {QDate(2026, 3, 1), "K2"},  {QDate(2026, 4, 11), "K1"}};
    for (const auto& [day, code] : rows) intakeRow(day, QString::fromUtf8(code), QString::fromUtf8(code), 10, 5, 1);
    paymentRow(QDate(2026, 2, 2), QStringLiteral("K1"), QStringLiteral("K1"), QVariant(), 500);
    // His January fat from one day's two pours; another producer's is not his.
    Statement(db.connection, QStringLiteral("UPDATE SutGirisi SET SYag=3.4, AYag=4.0 WHERE Kodu='K1' AND Tarih='2026-01-15'")).run();
    Statement(db.connection, QStringLiteral("UPDATE SutGirisi SET SYag=9, AYag=9 WHERE Kodu='K2'")).run();
    refresh(QDate(2026, 1, 15), QDate(2026, 4, 10));

    const ChartData& chart = report.DetayGrafik.get();
    EXPECT_EQ(chart.labels, (QStringList{"Oca 26", "Şub 26", "Mar 26", "Nis 26"}));
    EXPECT_EQ(chart.titles.value(1), QStringLiteral("Şubat 2026"));
    ASSERT_EQ(chart.bars.size(), 1u);
    EXPECT_EQ(chart.bars[0].values, (std::vector<std::optional<double>>{30.0, {}, 15.0, {}}));
    EXPECT_EQ(chart.chosen, 3);
    ASSERT_TRUE(chart.line.has_value());
    ASSERT_EQ(chart.line->values.size(), 4u);
    EXPECT_NEAR(chart.line->values[0].value_or(0), 3.6, 1e-9) << "10 L at 3,40 and 5 L at 4,00";
    EXPECT_EQ(std::count(chart.line->values.begin(), chart.line->values.end(), std::nullopt), 3);
    refresh(QDate(2026, 3, 1), QDate(2026, 4, 10));
    EXPECT_FALSE(report.DetayGrafik.get().line.has_value()) << "nothing of his measured, no line";
    refresh(QDate(2026, 5, 1), QDate(2026, 4, 1));
    EXPECT_EQ(report.DetayGrafik.get(), ChartData()) << "no detail, no chart";
}

}  // namespace
