#include "ScreenFixture.h"

#include <QFile>
#include <functional>

namespace {

class ListCsvTest : public ScreenFixture {};

// Each list saved as CSV: offered under its screen's and period's name,
// holding its grid's titles and rows, a figure as the grid shows it but
// without the thousand mark.
TEST_F(ListCsvTest, EveryListIsSavedAsItsGridShowsIt)
{
    const QDate day(2026, 12, 9);
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali Işık"), 1.4);
    addAccount(QStringLiteral("K2"), QStringLiteral("Cem Öz"), 1.25);
    intakeRow(day, QStringLiteral("K1"), QStringLiteral("Ali Işık"), 1234.5, 10, 1.4, QStringLiteral("sabah geç"));
    paymentRow(day, QStringLiteral("K1"), QStringLiteral("Ali Işık"), QVariant(), 1500.255);
    for (DateField* picker : {&intake.tarihDate, &payment.tarihDate, &factory.tarihDate}) picker->setDate(day);
    factory.SFMiktariEdit.setText(QStringLiteral("1.200"));
    factory.SaklaButClick();
    intake.GuncelleGunluk();
    payment.Guncelle();
    report.ilktarihDate.setDate(QDate(2026, 12, 1));
    report.sontarihDate.setDate(QDate(2026, 12, 31));
    report.Yenile();
    reread(accounts.CariTanimQuery);
    dialogs.csvPath = db.dir.filePath(QStringLiteral("liste.csv"));

    const struct { std::function<void()> save; const Query& rows; const std::vector<GridColumn>& columns; QString offered; } lists[] = {
        {[&] { intake.GunlukCsvClick(); }, intake.SutGirisiQuery, TSutAlimF::kDayColumns, "SutAlim-Gun-09.12.2026.csv"},
        {[&] { intake.AylikCsvClick(); }, intake.AylikSutGirisiQuery, TSutAlimF::kMonthColumns, "SutAlim-Ay-2026-12.csv"},
        {[&] { intake.GelmeyenCsvClick(); }, intake.GelmeyenQuery, TSutAlimF::kAbsentColumns, "SutAlim-Gelmeyen-09.12.2026.csv"},
        {[&] { payment.AylikCsvClick(); }, payment.SutGirisiQuery, TVerilenlerF::kMonthColumns, "Verilenler-2026-12.csv"},
        {[&] { report.RaporCsvClick(); }, report.SutGirisiQuery, TRaporF::kSummaryColumns, "Rapor-01.12.2026-31.12.2026.csv"},
        {[&] { report.DetayCsvClick(); }, report.detayQuery, TRaporF::kDetailColumns, "Rapor-K1-Ali Işık-01.12.2026-31.12.2026.csv"},
        {[&] { factory.FabrikaCsvClick(); }, factory.FabrikaQuery, TFabrikaF::kMonthColumns, "Fabrika-2026-12.csv"},
        {[&] { accounts.CariCsvClick(); }, accounts.CariTanimQuery, TcariF::kColumns, "Cariler-" + shortDate(QDate::currentDate()) + ".csv"},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.offered.toStdString());
        QFile::remove(dialogs.csvPath);
        dialogs.csvOffers.clear();
        list.save();
        EXPECT_EQ(dialogs.csvOffers, QStringList{list.offered});
        QFile file(dialogs.csvPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), list.rows.recordCount() + 1);
        for (int row = -1; row < list.rows.recordCount(); ++row) {
            const QStringList cells = lines[row + 1].split(QLatin1Char(';'));
            ASSERT_EQ(cells.size(), static_cast<qsizetype>(list.columns.size()));
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const GridColumn& column = list.columns[static_cast<size_t>(c)];
                const QString shown = row < 0 ? column.title : cellText(column.format, list.rows.valueAt(row, column.field));
                if (row < 0 || column.format.kind != CellFormat::Kind::Number || shown.isEmpty()) {
                    EXPECT_EQ(cells[c], shown);
                    continue;
                }
                EXPECT_EQ(parseDecimal(cells[c]), parseDecimal(shown));
                EXPECT_EQ(cells[c].section(QLatin1Char(','), 1), shown.section(QLatin1Char(','), 1)) << "the same decimals";
                EXPECT_FALSE(cells[c].contains(QLatin1Char('.'))) << cells[c].toStdString();
            }
        }
    }
}

}  // namespace
