#include "common/Csv.h"
#include "ScreenFixture.h"

#include <QFile>
#include <functional>

namespace {

const QDate kDay(2026, 12, 9);

// Every list of the screens, saved as CSV, against what its grid shows.
class ListCsvTest : public ScreenFixture {
protected:
    ListCsvTest()
    {
        addAccount(QStringLiteral("K1"), QStringLiteral("Ali Işık"), 1.4);
        addAccount(QStringLiteral("K2"), QStringLiteral("Bora; \"Kaya\""), 2);
        addAccount(QStringLiteral("K3"), QStringLiteral("Cem Öz"), 1.25);
        intakeRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali Işık"), 1234.5, 10, 1.4, QStringLiteral("sabah; geç"));
        intakeRow(kDay, QStringLiteral("K2"), QStringLiteral("Bora; \"Kaya\""), 0, 20.25, 2);
        paymentRow(kDay, QStringLiteral("K1"), QStringLiteral("Ali Işık"), QVariant(), 1500.255, QStringLiteral("iki\nsatır"));
        factory.tarihDate.setDate(kDay);
        factory.Guncelle();
        factory.FabrikaSutFiyatiEdit.setText(QStringLiteral("1,5"));
        factory.SFMiktariEdit.setText(QStringLiteral("1.200"));
        factory.SaklaButClick();

        intake.tarihDate.setDate(kDay);
        intake.GuncelleGunluk();
        payment.tarihDate.setDate(kDay);
        payment.Guncelle();
        report.ilktarihDate.setDate(QDate(2026, 12, 1));
        report.sontarihDate.setDate(QDate(2026, 12, 31));
        report.Yenile();
        reread(accounts.CariTanimQuery);
        dialogs.csvPath = db.dir.filePath(QStringLiteral("liste.csv"));
    }

    // The saved file's lines, each split into its fields, quotes undone.
    QList<QStringList> saved()
    {
        QFile file(dialogs.csvPath);
        if (!file.open(QIODevice::ReadOnly)) return {};
        const QString text = QString::fromUtf8(file.readAll());
        QList<QStringList> lines;
        QStringList fields;
        QString field;
        bool quoted = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
            if (quoted && c == QLatin1Char('"') && next == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = !quoted;
            } else if (!quoted && c == QLatin1Char(';')) {
                fields << std::exchange(field, {});
            } else if (!quoted && c == QLatin1Char('\r') && next == QLatin1Char('\n')) {
                fields << std::exchange(field, {});
                lines << std::exchange(fields, {});
                ++i;
            } else {
                field += c;
            }
        }
        return lines;
    }
};

TEST_F(ListCsvTest, EveryListIsSavedAsItsGridShowsItUnderItsScreenAndPeriod)
{
    const struct {
        std::function<void()> save;
        const Query& rows;
        const std::vector<GridColumn>& columns;
        QString offered;
    } lists[] = {
        {[&] { intake.GunlukCsvClick(); }, intake.SutGirisiQuery, TSutAlimF::kDayColumns, QStringLiteral("SutAlim-Gun-09.12.2026.csv")},
        {[&] { intake.AylikCsvClick(); }, intake.AylikSutGirisiQuery, TSutAlimF::kMonthColumns, QStringLiteral("SutAlim-Ay-2026-12.csv")},
        {[&] { intake.GelmeyenCsvClick(); }, intake.GelmeyenQuery, TSutAlimF::kAbsentColumns,
         QStringLiteral("SutAlim-Gelmeyen-09.12.2026.csv")},
        {[&] { payment.AylikCsvClick(); }, payment.SutGirisiQuery, TVerilenlerF::kMonthColumns, QStringLiteral("Verilenler-2026-12.csv")},
        {[&] { report.RaporCsvClick(); }, report.SutGirisiQuery, TRaporF::kSummaryColumns, QStringLiteral("Rapor-01.12.2026-31.12.2026.csv")},
        {[&] { report.DetayCsvClick(); }, report.detayQuery, TRaporF::kDetailColumns,
         QStringLiteral("Rapor-K1-Ali Işık-01.12.2026-31.12.2026.csv")},
        {[&] { factory.FabrikaCsvClick(); }, factory.FabrikaQuery, TFabrikaF::kMonthColumns, QStringLiteral("Fabrika-2026-12.csv")},
        {[&] { accounts.CariCsvClick(); }, accounts.CariTanimQuery, TcariF::kColumns,
         QStringLiteral("Cariler-") + shortDate(QDate::currentDate()) + QStringLiteral(".csv")},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.offered.toStdString());
        QFile::remove(dialogs.csvPath);
        dialogs.csvOffers.clear();
        list.save();
        EXPECT_EQ(dialogs.csvOffers, QStringList{list.offered});
        const QList<QStringList> lines = saved();
        ASSERT_GT(list.rows.recordCount(), 0);
        ASSERT_EQ(lines.size(), list.rows.recordCount() + 1);
        for (size_t c = 0; c < list.columns.size(); ++c) {
            const GridColumn& column = list.columns[c];
            EXPECT_EQ(lines[0].value(c), column.title);
            for (int row = 0; row < list.rows.recordCount(); ++row) {
                const QString shown = cellText(column.format, list.rows.valueAt(row, column.field));
                const QString cell = lines[row + 1].value(c);
                if (column.format.kind != CellFormat::Kind::Number || shown.isEmpty()) {
                    EXPECT_EQ(cell, shown) << column.field.toStdString();
                    continue;
                }
                // The same figure and decimals, without the thousand mark.
                EXPECT_EQ(parseDecimal(cell), parseDecimal(shown)) << column.field.toStdString();
                EXPECT_EQ(cell.section(QLatin1Char(','), 1), shown.section(QLatin1Char(','), 1));
                EXPECT_FALSE(cell.contains(QLatin1Char('.'))) << cell.toStdString();
            }
        }
    }

    // Given up in the dialog: nothing is written.
    QFile::remove(dialogs.csvPath);
    dialogs.csvPath.clear();
    intake.GunlukCsvClick();
    EXPECT_FALSE(QFile::exists(db.dir.filePath(QStringLiteral("liste.csv"))));
}

}  // namespace
