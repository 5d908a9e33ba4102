#include "bench/LedgerGenerator.h"
#include "ScreenFixture.h"
#include "ledger/ServerNotices.h"
#include "screens/Gecmis/Gecmis.h"

#include <functional>

namespace {

// Hundredths of a figure as a list or a total box shows it: "1.234,56".
qint64 shownHundredths(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char('.')).remove(QLatin1Char(','));
    return digits.isEmpty() ? 0 : digits.toLongLong();
}

class LedgerViewsTest : public ScreenFixture {};

// On a generated ledger, with prices of three decimals, every total box
// under a list shows the sum of the figures in its column, to the kuruş.
TEST_F(LedgerViewsTest, EveryTotalIsTheSumOfTheFiguresItsListShows)
{
    const QDate last(2026, 12, 8);
    generateLedger(db.connection, {.producers = 30, .days = 75, .lastDay = last, .seed = 7, .corrections = 0});
    for (DateField* picker : {&intake.tarihDate, &payment.tarihDate, &factory.tarihDate}) picker->setDate(QDate(2026, 12, 5));
    intake.GuncelleGunluk();
    payment.Guncelle();
    factory.Guncelle();
    report.ilktarihDate.setDate(QDate(2026, 10, 1));
    report.sontarihDate.setDate(last);
    report.Yenile();

    struct Column {
        const char* total;
        const char* column;
    };
    const struct {
        const char* list;
        const Query& rows;
        const Totals& totals;
        std::vector<Column> columns;
    } lists[] = {
        {"intake day", intake.SutGirisiQuery, intake.SutGirisiToplam,
         {{"Sabah_Toplam", "Sabah"}, {"Aksam_Toplam", "Aksam"}, {"Genel_Toplam", "toplam"}, {"Toplam_Tutar", "Gelir_Toplam_Tutar"}}},
        {"intake month", intake.AylikSutGirisiQuery, intake.AylikSutGirisiToplam,
         {{"Sabah_Toplam", "Sabah_Toplam"}, {"Aksam_Toplam", "Aksam_Toplam"}, {"Toplam", "Toplam"}, {"Toplam_Tutar", "Toplam_Tutar"}}},
        {"payments", payment.SutGirisiQuery, payment.SutGirisiToplam,
         {{"Borc_Toplami", "Gelir_Toplam_Tutar"}, {"Alacak_Toplami", "Gider_Tutari"}}},
        {"factory", factory.FabrikaQuery, factory.AyToplam,
         {{"Toplanan_Miktar", "Toplam_Toplanan_LT"}, {"Fabrika_Miktar", "Toplam_Fabrika_LT"},
          {"Miktar_Farki", "Toplam_Miktar_Farki"}, {"Toplanan_Tutar", "Toplam_Toplanan_Tutar"},
          {"Fabrika_Tutar", "Toplam_Fabrika_Tutar"}, {"Tutar_Farki", "Toplam_Teslim_Kari"}}},
        {"report", report.SutGirisiQuery, report.SutGirisiToplam,
         {{"Borc_Toplami", "Borc_Toplami"}, {"Alacak_Toplami", "Alacak_Toplami"}, {"Bakiye", "Bakiye"}}},
    };
    int differingBefore = 0;
    for (const auto& list : lists) {
        ASSERT_GT(list.rows.recordCount(), 1) << list.list;
        for (const Column& c : list.columns) {
            qint64 added = 0;
            double unrounded = 0;
            for (int row = 0; row < list.rows.recordCount(); ++row) {
                const QVariant value = list.rows.valueAt(row, QString::fromLatin1(c.column));
                added += shownHundredths(cellText(kAsAmount, value));
                unrounded += value.toDouble();
            }
            const QString shown = cellText(kAsAmount, list.totals.value(QString::fromLatin1(c.total)));
            EXPECT_EQ(shownHundredths(shown), added) << list.list << " " << c.total << " shows " << shown.toStdString();
            if (shownHundredths(formatFloat(kAmountPattern, unrounded)) != added) ++differingBefore;
        }
    }
    // The ledger is one where summing the stored amounts would not add up.
    EXPECT_GT(differingBefore, 0);
}

// A change made on one screen reaches every open view that shows its row at
// once, and no hidden one.
TEST_F(LedgerViewsTest, EveryOpenViewFollowsAChangeMadeAnywhere)
{
    const QDate day(2026, 12, 5);
    addAccount(QStringLiteral("K1"), QStringLiteral("Ali"), 10);
    addAccount(QStringLiteral("K2"), QStringLiteral("Cem"), 10);
    intakeRow(day, QStringLiteral("K1"), QStringLiteral("Ali"), 20, 10, 10);
    intakeRow(day, QStringLiteral("K2"), QStringLiteral("Cem"), 5, 0, 10);
    TGecmisF& history = *screens.GecmisF;
    for (DateField* picker : {&intake.tarihDate, &payment.tarihDate, &factory.tarihDate}) picker->setDate(day);
    report.ilktarihDate.setDate(QDate(2026, 12, 1));
    report.sontarihDate.setDate(QDate(2026, 12, 31));
    intake.openFromMenu();
    factory.openFromMenu();
    report.openFromMenu();
    history.ilktarihDate.setDate(QDate::currentDate().addDays(-1));
    history.openFromMenu();

    // What each view shows of the day.
    const auto seen = [&] {
        return QStringList{QString::number(intake.SutGirisiQuery.recordCount()), intake.GelmeyenSheet.text(), factory.STMiktariEdit.text(),
                           factory.SFarkMiktariEdit.text(), chosenValues(factory.AylikGrafik.get(), day.day() - 1),
                           cellText(kAsAmount, report.SutGirisiToplam.value(QStringLiteral("Borc_Toplami"))),
                           QString::number(history.DegisiklikQuery.recordCount())};
    };
    const auto standOnAli = [&] { ASSERT_TRUE(intake.SutGirisiQuery.locate(QStringLiteral("Adi"), QStringLiteral("Ali"))); };
    const QStringList before = seen();
    const struct {
        const char* change;
        std::function<void()> make;
        QList<int> changed;  // which of seen() change
        TForm* hidden;
    } cases[] = {
        {"an intake row deleted on the intake screen", [&] { standOnAli(); intake.KaydSil1Click(); }, {0, 1, 2, 3, 4, 5, 6}, nullptr},
        {"the deletion undone in the history", [&] { history.DegisiklikQuery.first(); history.GeriAlButClick(); }, {0, 1, 2, 3, 4, 5, 6}, nullptr},
        {"an intake row deleted while the factory is hidden", [&] { standOnAli(); intake.KaydSil1Click(); }, {0, 1, 5, 6}, &factory},
        {"what another desk saved while the server was out of reach, told at the reconnection",
         [&] {
             intakeRow(day, QStringLiteral("K1"), QStringLiteral("Ali"), 7, 0, 10);
             ServerNotices::tellAnything(screens.ledger.events());
         },
         {0, 1, 5}, nullptr},
    };
    QStringList last = before;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        if (c.hidden) c.hidden->kapatButtonClick();
        c.make();
        const QStringList now = seen();
        for (int i = 0; i < now.size(); ++i)
            EXPECT_EQ(now[i] != last[i], c.changed.contains(i)) << i << ": " << last[i].toStdString() << " → " << now[i].toStdString();
        last = now;
        if (QString(c.change).startsWith(QStringLiteral("the deletion"))) EXPECT_EQ(now.mid(0, 6), before.mid(0, 6)) << "all back as it was";
    }
}

}  // namespace
