#include "app/AnaMenu.h"
#include "common/Conversions.h"
#include "common/GridColumns.h"
#include "ScreenFixture.h"

namespace {

const QDate kDay(2021, 3, 5);

class NoShell : public Shell {
public:
    void openAddress(const QString&) override {}
};

class FabrikaTest : public ScreenFixture {
protected:
    FabrikaTest() { factory.tarihDate.setDate(kDay); }

    // A ledger row as the intake or the payment screen writes it.
    static void addLedgerRow(Connection& connection, const QDate& day, LedgerKind kind, double sabah, double aksam,
                             double sabahTutar, double aksamTutar)
    {
        TableCursor table(connection, schema::sutGirisi());
        table.open();
        table.append()
            .setField(QStringLiteral("Tarih"), day)
            .setField(QStringLiteral("Gelir_Gider"), kindCode(kind))
            .setField(QStringLiteral("Sabah"), sabah)
            .setField(QStringLiteral("Aksam"), aksam)
            .setField(QStringLiteral("SToplam_Tutar"), sabahTutar)
            .setField(QStringLiteral("AToplam_Tutar"), aksamTutar)
            .post();
    }
    void addIntake(const QDate& day, double sabah, double aksam, double sabahTutar, double aksamTutar)
    {
        addLedgerRow(db.connection, day, LedgerKind::Intake, sabah, aksam, sabahTutar, aksamTutar);
    }

    // The user picks a day and types the delivery.
    void choose(const QDate& day)
    {
        factory.tarihDate.setDate(day);
        factory.tarihDateChange();
    }
    void deliver(const QString& price, const QString& sabah, const QString& aksam, const QString& note = QString())
    {
        factory.FabrikaSutFiyatiEdit.setText(price);
        factory.SFMiktariEdit.setText(sabah);
        factory.AFMiktariEdit.setText(aksam);
        factory.AciklamaEdit.setText(note);
    }

    QList<QVariantMap> stored() { return rows(QStringLiteral("SELECT * FROM Fabrika ORDER BY FIB")); }
    QVariantMap storedDay(const QDate& day)
    {
        const auto found = rows(QStringLiteral("SELECT * FROM Fabrika WHERE Tarih='%1'").arg(day.toString(Qt::ISODate)));
        return found.size() == 1 ? found[0] : QVariantMap();
    }

    // What a box of the month totals bar shows.
    QString totalShown(const QString& field)
    {
        for (const TotalBox& box : TFabrikaF::kMonthTotals)
            if (box.field == field) return cellText(box.format, factory.AyToplam.value(field));
        ADD_FAILURE() << "no total box " << field.toStdString();
        return {};
    }

    // The texts of the panel's figure boxes, in reading order.
    QStringList panel()
    {
        return {factory.STMiktariEdit.text(),    factory.ATMiktariEdit.text(),    factory.ToplamTutarEdit.text(),
                factory.SFMiktariEdit.text(),    factory.AFMiktariEdit.text(),    factory.FabrikaTutarEdit.text(),
                factory.SFarkMiktariEdit.text(), factory.AFarkMiktariEdit.text(), factory.FarkTutarEdit.text()};
    }
};

TEST_F(FabrikaTest, TheCollectedBoxesSumOnlyTheDaysIntakeRows)
{
    const struct {
        const char* what;
        std::vector<std::tuple<QDate, LedgerKind, double, double, double, double>> ledger;
        QStringList collected;  // ST, AT, TT
    } cases[] = {
        {"no rows at all", {}, {"0,00", "0,00", "0,00"}},
        {"only other days and payments",
         {{kDay.addDays(-1), LedgerKind::Intake, 5, 5, 5, 5}, {kDay, LedgerKind::Payment, 7, 7, 7, 7}},
         {"0,00", "0,00", "0,00"}},
        // 1.333,004 and 1,004 are summed exactly, then rounded once: 1.334,01.
        {"two producers, the total added before rounding",
         {{kDay, LedgerKind::Intake, 1000, 2.5, 1333.004, 1.004}, {kDay, LedgerKind::Intake, 0.25, 0, 0, 0},
          {kDay, LedgerKind::Payment, 99, 99, 99, 99}, {kDay.addDays(1), LedgerKind::Intake, 9, 9, 9, 9}},
         {"1.000,25", "2,50", "1.334,01"}},
    };
    for (const auto& c : cases) {
        TempDatabase fresh;
        FakeDialogs quiet;
        ScreenSet run(fresh.connection, quiet);
        TFabrikaF& screen = *run.FabrikaF;
        for (const auto& [day, kind, sabah, aksam, st, at] : c.ledger)
            addLedgerRow(fresh.connection, day, kind, sabah, aksam, st, at);
        screen.tarihDate.setDate(kDay);
        screen.Guncelle();
        EXPECT_EQ((QStringList{screen.STMiktariEdit.text(), screen.ATMiktariEdit.text(), screen.ToplamTutarEdit.text()}),
                  c.collected)
            << c.what;
    }
}

TEST_F(FabrikaTest, TheDayIsWorkedOutFromTheBoxesAndStoredAsShown)
{
    // 12,35 collected in the morning, 7 in the evening, worth 16,2675 and 8,75.
    addIntake(kDay, 10, 0, 13.33, 0);
    addIntake(kDay, 2.35, 7, 2.9375, 8.75);
    EXPECT_EQ(factory.AylikSheet.text(), QStringLiteral("Aylık Fabrika Teslim Bilgileri"));
    NoShell shell;
    TAnaMenuF menu(shell);
    menu.attach(screens);
    menu.FabrikaButtonClick();
    EXPECT_TRUE(factory.headless().visible);
    EXPECT_EQ(factory.AylikSheet.text(), QStringLiteral("Mart-2021-Aylık Fabrika Teslim Bilgileri"));
    EXPECT_EQ(panel(), (QStringList{"12,35", "7,00", "25,02", "", "", "0,00", "12,35", "7,00", "-25,02"}));

    const struct {
        const char* price;
        const char* sabah;
        const char* aksam;
        QStringList shown;
    } steps[] = {
        {"1,45", "", "6,5", {"12,35", "7,00", "25,02", "", "6,5", "9,43", "12,35", "0,50", "-15,59"}},
        {"", "12,35", "6,5", {"12,35", "7,00", "25,02", "12,35", "6,5", "0,00", "0,00", "0,50", "-25,02"}},
        {"1.000", "20", "1.000,5",
         {"12,35", "7,00", "25,02", "20", "1.000,5", "1.020.500,00", "-7,65", "-993,50", "1.020.474,98"}},
        // 1,45 × 18,85 = 27,3325, shown 27,33; the margin is 27,33 − 25,02.
        {"1,45", "12,35", "6,5", {"12,35", "7,00", "25,02", "12,35", "6,5", "27,33", "0,00", "0,50", "2,31"}},
    };
    for (const auto& step : steps) {
        deliver(QString::fromUtf8(step.price), QString::fromUtf8(step.sabah), QString::fromUtf8(step.aksam));
        factory.ToplamAl();
        EXPECT_EQ(panel(), step.shown) << step.price << " " << step.sabah << " " << step.aksam;
    }

    factory.AciklamaEdit.setText(QStringLiteral("kamyon geç geldi"));
    factory.SaklaButClick();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    const auto saved = stored();
    ASSERT_EQ(saved.size(), 1);
    const QVariantMap& row = saved[0];
    EXPECT_EQ(row[QStringLiteral("Tarih")].toString(), QStringLiteral("2021-03-05"));
    // Every money figure to the kuruş as shown: the day 25,0175 is 25,02 and
    // its morning 16,27, so the evening is 8,75; the factory's 27,3325 is
    // 27,33, its morning's 17,9075 is 17,91, so its evening is 9,42.
    const double sabahFabrika = 17.91;
    const double aksamFabrika = 9.42;
    const std::pair<const char*, double> expected[] = {
        {"Sabah_Toplanan_LT", 12.35},
        {"Sabah_Toplanan_Tutar", 16.27},
        {"Sabah_Fabrika_LT", 12.35},
        {"Sabah_Fabrika_Tutar", sabahFabrika},
        {"Sabah_Miktar_Farki", 0},
        {"Sabah_Teslim_Kari", sabahFabrika - 16.27},
        {"Sabah_Birim_Fiyat", 1.45},
        {"Aksam_Toplanan_LT", 7},
        {"Aksam_Toplanan_Tutar", 8.75},
        {"Aksam_Fabrika_LT", 6.5},
        {"Aksam_Fabrika_Tutar", aksamFabrika},
        {"Aksam_Miktar_Farki", 0.5},
        {"Aksam_Teslim_Kari", aksamFabrika - 8.75},
        {"Aksam_Birim_Fiyat", 1.45},
        {"Toplam_Toplanan_LT", 19.35},
        {"Toplam_Toplanan_Tutar", 25.02},
        {"Toplam_Fabrika_LT", 18.85},
        {"Toplam_Fabrika_Tutar", 27.33},
        {"Toplam_Miktar_Farki", 0.5},
        {"Toplam_Teslim_Kari", 2.31},
        {"Birim_Fiyat", 1.45},
    };
    for (const auto& [name, value] : expected)
        EXPECT_DOUBLE_EQ(row[QString::fromUtf8(name)].toDouble(), value) << name;
    EXPECT_EQ(row[QStringLiteral("Aciklama")].toString(), QStringLiteral("kamyon geç geldi"));
    for (const char* unused : {"Cari_Kodu", "Cari_Adi", "Cari_Soyadi", "Islem_Turu", "Sabah_Miktar_Farki_Tutari",
                               "Aksam_Miktar_Farki_Tutari", "Toplam_Miktar_Farki_Tutari"})
        EXPECT_TRUE(row[QString::fromUtf8(unused)].isNull()) << unused;

    // The next day's delivery starts; the day shows again as stored.
    EXPECT_EQ(factory.tarihDate.date(), kDay.addDays(1));
    EXPECT_TRUE(factory.correcting.isNew());
    EXPECT_EQ(factory.focusAsked, QStringLiteral("SFMiktariEdit"));
    choose(kDay);
    EXPECT_EQ(factory.correcting.get(), row[QStringLiteral("FIB")].toLongLong());
    EXPECT_EQ(panel(), (QStringList{"12,35", "7,00", "25,02", "12,35", "6,50", "27,33", "0,00", "0,50", "2,31"}));
    EXPECT_EQ(factory.FabrikaSutFiyatiEdit.text(), QStringLiteral("1,45"));
    EXPECT_EQ(factory.AciklamaEdit.text(), QStringLiteral("kamyon geç geldi"));
    EXPECT_EQ(factory.FabrikaQuery.recordCount(), 1);
}

TEST_F(FabrikaTest, AZeroOrEmptyPriceOrDeliveryStoresNoFactoryValue)
{
    const struct {
        int day;
        const char* price;
        const char* sabah;
        const char* aksam;
        double sabahFabrika, aksamFabrika, toplamFabrika, toplamKari;
    } cases[] = {
        {1, "2", "", "100", 0, 200, 200, 200 - 12.5},
        {2, "2", "100", "", 200, 0, 200, 200 - 12.5},
        {3, "0", "40", "100", 0, 0, 0, -12.5},
        {4, "", "40", "100", 0, 0, 0, -12.5},
        {5, "", "", "", 0, 0, 0, -12.5},
        // Pasted minus signs get through the decimal parse, but no factory
        // value: the margin is the stored factory value less the purchase value.
        {6, "2", "-10", "100", 0, 200, 200, 200 - 12.5},
        {7, "-2", "10", "", 0, 0, 0, -12.5},
    };
    for (const auto& c : cases) {
        const QDate day(2021, 3, c.day);
        addIntake(day, 3, 4, 5, 7.5);
        choose(day);
        deliver(QString::fromUtf8(c.price), QString::fromUtf8(c.sabah), QString::fromUtf8(c.aksam));
        factory.SaklaButClick();
        const QVariantMap row = storedDay(day);
        ASSERT_FALSE(row.isEmpty()) << c.day;
        const auto field = [&row](const char* name) { return row[QString::fromUtf8(name)].toDouble(); };
        EXPECT_EQ(field("Sabah_Fabrika_Tutar"), c.sabahFabrika) << c.day;
        EXPECT_EQ(field("Aksam_Fabrika_Tutar"), c.aksamFabrika) << c.day;
        EXPECT_EQ(field("Toplam_Fabrika_Tutar"), c.toplamFabrika) << c.day;
        EXPECT_DOUBLE_EQ(field("Sabah_Teslim_Kari"), c.sabahFabrika - 5) << c.day;
        EXPECT_DOUBLE_EQ(field("Aksam_Teslim_Kari"), c.aksamFabrika - 7.5) << c.day;
        EXPECT_DOUBLE_EQ(field("Toplam_Teslim_Kari"), c.toplamKari) << c.day;
        for (const char* figure : {"Sabah_Fabrika_LT", "Aksam_Fabrika_LT", "Birim_Fiyat"})
            EXPECT_FALSE(row[QString::fromUtf8(figure)].isNull()) << "an empty box stores 0: " << figure;
    }
    EXPECT_EQ(count(QStringLiteral("Fabrika")), 7);
}

TEST_F(FabrikaTest, EachDayKeepsOneRowThatEverySaveCorrects)
{
    const QDate third(2021, 3, 3);
    const QDate seventh(2021, 3, 7);
    choose(seventh);
    deliver(QStringLiteral("2"), QStringLiteral("70"), QStringLiteral("7"), QStringLiteral("yedi"));
    factory.SaklaButClick();
    choose(third);
    EXPECT_TRUE(factory.correcting.isNew());
    EXPECT_EQ(factory.FabrikaSutFiyatiEdit.value(), 2) << "the price carries over to a new day";
    EXPECT_EQ(factory.FabrikaQuery.currentRow(), 0) << "a day without a row leaves the list on its first row";
    deliver(QStringLiteral("2,5"), QStringLiteral("30"), QStringLiteral("3"), QStringLiteral("üç"));
    factory.SaklaButClick();
    const QString thirdKey = storedDay(third)[QStringLiteral("FIB")].toString();
    ASSERT_FALSE(thirdKey.isEmpty());

    // Back to the seventh by changing the date: its row is loaded and corrected.
    choose(seventh);
    EXPECT_EQ(factory.FabrikaQuery.currentRow(), 1);
    EXPECT_EQ(QString::number(factory.correcting.get()), storedDay(seventh)[QStringLiteral("FIB")].toString());
    EXPECT_EQ(factory.SFMiktariEdit.text(), QStringLiteral("70,00"));
    EXPECT_EQ(factory.AFMiktariEdit.text(), QStringLiteral("7,00"));
    EXPECT_EQ(factory.FabrikaTutarEdit.text(), QStringLiteral("154,00"));
    EXPECT_EQ(factory.FabrikaSutFiyatiEdit.text(), QStringLiteral("2,00"));
    EXPECT_EQ(factory.AciklamaEdit.text(), QStringLiteral("yedi"));
    factory.SFMiktariEdit.setText(QStringLiteral("71"));
    factory.SaklaButClick();
    choose(seventh);
    factory.SaklaButClick();
    EXPECT_EQ(count(QStringLiteral("Fabrika")), 2);
    EXPECT_EQ(storedDay(seventh)[QStringLiteral("Sabah_Fabrika_LT")].toDouble(), 71);

    // Through the list: another day is chosen, then the third picked back.
    choose(QDate(2021, 3, 20));
    factory.FabrikaQuery.moveTo(0);
    factory.Degistir1Click();
    EXPECT_EQ(factory.tarihDate.date(), third);
    EXPECT_EQ(QString::number(factory.correcting.get()), thirdKey);
    EXPECT_EQ(factory.FabrikaSutFiyatiEdit.text(), QStringLiteral("2,50"));
    EXPECT_EQ(factory.AciklamaEdit.text(), QStringLiteral("üç"));
    factory.AFMiktariEdit.setText(QStringLiteral("4"));
    factory.SaklaButClick();
    EXPECT_EQ(count(QStringLiteral("Fabrika")), 2);
    EXPECT_EQ(storedDay(third)[QStringLiteral("FIB")].toString(), thirdKey);
    EXPECT_EQ(storedDay(third)[QStringLiteral("Aksam_Fabrika_LT")].toDouble(), 4);

    // A row deleted behind the screen's back is added again on the picker's day.
    choose(third);
    {
        TableCursor table(db.connection, schema::fabrika());
        table.open();
        ASSERT_TRUE(table.locate(QStringLiteral("FIB"), thirdKey.toLongLong()));
        table.deleteCurrent();
    }
    factory.SaklaButClick();
    EXPECT_EQ(count(QStringLiteral("Fabrika")), 2);
    EXPECT_NE(storedDay(third)[QStringLiteral("FIB")].toString(), thirdKey);
}

TEST_F(FabrikaTest, PickingFromAnEmptyListChangesNothing)
{
    factory.SFMiktariEdit.setText(QStringLiteral("12"));
    factory.FabrikaGridDblClick();
    EXPECT_EQ(factory.tarihDate.date(), kDay);
    EXPECT_EQ(factory.SFMiktariEdit.text(), QStringLiteral("12")) << "before the first refresh";

    choose(QDate(2021, 4, 10));
    factory.SFMiktariEdit.setText(QStringLiteral("12"));
    factory.AciklamaEdit.setText(QStringLiteral("yazılıyor"));
    factory.Degistir1Click();
    factory.FabrikaGridDblClick();
    EXPECT_EQ(factory.tarihDate.date(), QDate(2021, 4, 10));
    EXPECT_EQ(factory.SFMiktariEdit.text(), QStringLiteral("12"));
    EXPECT_EQ(factory.AciklamaEdit.text(), QStringLiteral("yazılıyor"));
}

TEST_F(FabrikaTest, TheMonthListAndTotalsCoverTheWholeMonthOfTheChosenDay)
{
    // Collected litres and value per day, delivered at 2 a litre.
    const struct {
        QDate day;
        double collected, value, delivered;
    } days[] = {
        {QDate(2024, 1, 31), 100, 100, 100},  {QDate(2024, 2, 1), 50, 60, 40},  {QDate(2024, 2, 29), 30, 33, 35},
        {QDate(2024, 3, 1), 100, 100, 100},   {QDate(2023, 2, 28), 10, 10, 10}, {QDate(2023, 3, 1), 10, 10, 10},
    };
    for (const auto& d : days) {
        addIntake(d.day, d.collected, 0, d.value, 0);
        choose(d.day);
        deliver(QStringLiteral("2"), QString::number(d.delivered), QString());
        factory.SaklaButClick();
    }

    const struct {
        QDate chosen;
        QStringList listed;
        QString caption;
        QStringList totals;  // collected, delivered, litre difference, value, factory value, money difference
    } months[] = {
        {QDate(2024, 2, 15),
         {"01.02.2024", "29.02.2024"},
         "Şubat-2024-Aylık Fabrika Teslim Bilgileri",
         {"80,00", "75,00", "5,00", "93,00", "150,00", "57,00"}},
        {QDate(2023, 2, 1), {"28.02.2023"}, "Şubat-2023-Aylık Fabrika Teslim Bilgileri",
         {"10,00", "10,00", "0,00", "10,00", "20,00", "10,00"}},
        {QDate(2024, 4, 30), {}, "Nisan-2024-Aylık Fabrika Teslim Bilgileri", {"", "", "0,00", "", "", "0,00"}},
    };
    for (const auto& m : months) {
        choose(m.chosen);
        QStringList listed;
        for (int row = 0; row < factory.FabrikaQuery.recordCount(); ++row)
            listed << cellText(kAsShortDate, factory.FabrikaQuery.valueAt(row, QStringLiteral("Tarih")));
        EXPECT_EQ(listed, m.listed) << m.caption.toStdString();
        EXPECT_EQ(factory.AylikSheet.text(), m.caption);
        QStringList totals;
        for (const char* field :
             {"Toplanan_Miktar", "Fabrika_Miktar", "Miktar_Farki", "Toplanan_Tutar", "Fabrika_Tutar", "Tutar_Farki"})
            totals << totalShown(QString::fromUtf8(field));
        EXPECT_EQ(totals, m.totals) << m.caption.toStdString();
    }
}

TEST_F(FabrikaTest, TheStoredPriceStartsTheNextRunOnce)
{
    choose(kDay);
    EXPECT_TRUE(factory.FiyatYuklendi) << "an empty box asked for the stored price";
    EXPECT_TRUE(factory.FabrikaSutFiyatiEdit.isEmpty()) << "nothing stored yet";
    for (const char* price : {"1,75", "1,80"}) {
        factory.FabrikaSutFiyatiEdit.setText(QString::fromUtf8(price));
        factory.FiyatSaklaButClick();
    }
    const auto kept = rows(QStringLiteral("SELECT * FROM Fabrika_Cari"));
    ASSERT_EQ(kept.size(), 1) << "one row, rewritten";
    EXPECT_DOUBLE_EQ(kept[0][QStringLiteral("Birim_Fiyat")].toDouble(), 1.8);
    for (const char* unused : {"Cari_Kodu", "Adi", "Soyadi", "Aciklama"})
        EXPECT_TRUE(kept[0][QString::fromUtf8(unused)].isNull()) << unused;
    factory.FabrikaSutFiyatiEdit.clear();
    choose(kDay.addDays(1));
    EXPECT_TRUE(factory.FabrikaSutFiyatiEdit.isEmpty()) << "this run already asked once";

    // A new run of the program over the same file.
    Connection again;
    again.open(db.connection.path());
    FakeDialogs quiet;
    ScreenSet nextRun(again, quiet);
    TFabrikaF& next = *nextRun.FabrikaF;
    EXPECT_FALSE(next.FiyatYuklendi);
    next.tarihDate.setDate(kDay);
    next.Guncelle();
    EXPECT_EQ(next.FabrikaSutFiyatiEdit.text(), QStringLiteral("1,80"));
    EXPECT_EQ(next.FabrikaTutarEdit.text(), QStringLiteral("0,00")) << "no recompute follows the loading";
    next.SFMiktariEdit.setText(QStringLiteral("10"));
    next.SaklaButClick();
    EXPECT_DOUBLE_EQ(storedDay(kDay)[QStringLiteral("Sabah_Fabrika_Tutar")].toDouble(), 18);
}

TEST_F(FabrikaTest, ADayStoredWithAPriceDefersTheStoredPrice)
{
    {
        TableCursor table(db.connection, schema::fabrikaCari());
        table.open();
        table.append().setField(QStringLiteral("Birim_Fiyat"), 2.5).post();
        TableCursor days(db.connection, schema::fabrika());
        days.open();
        days.append().setField(QStringLiteral("Tarih"), kDay).setField(QStringLiteral("Birim_Fiyat"), 1.9).post();
    }
    choose(kDay);
    EXPECT_EQ(factory.FabrikaSutFiyatiEdit.text(), QStringLiteral("1,90"));
    EXPECT_FALSE(factory.FiyatYuklendi);
    choose(kDay.addDays(1));
    EXPECT_EQ(factory.FabrikaSutFiyatiEdit.text(), QStringLiteral("1,90")) << "kept for a day without a row";
    EXPECT_FALSE(factory.FiyatYuklendi);

    const struct {
        const char* typed;
        const char* after;
        bool loaded;
    } refreshes[] = {
        {"0", "2,50", true},  // the first empty price loads the stored one
        {"", "", true},       // never again in this run
        {"0,00", "0,00", true},
    };
    for (const auto& r : refreshes) {
        factory.FabrikaSutFiyatiEdit.setText(QString::fromUtf8(r.typed));
        factory.Guncelle();
        EXPECT_EQ(factory.FabrikaSutFiyatiEdit.text(), QString::fromUtf8(r.after)) << r.typed;
        EXPECT_EQ(factory.FiyatYuklendi, r.loaded) << r.typed;
    }
}

TEST_F(FabrikaTest, AStoredRowKeepsItsCollectedFiguresWhileThePanelShowsTheCurrentOnes)
{
    addIntake(kDay, 10, 20, 15, 30);
    choose(kDay);
    deliver(QStringLiteral("2"), QStringLiteral("10"), QStringLiteral("20"));
    factory.SaklaButClick();

    // A late intake entry for the same day.
    addIntake(kDay, 5, 0, 7.5, 0);
    choose(kDay);
    EXPECT_EQ(factory.STMiktariEdit.text(), QStringLiteral("15,00"));
    EXPECT_EQ(factory.ToplamTutarEdit.text(), QStringLiteral("52,50"));
    EXPECT_EQ(factory.SFarkMiktariEdit.text(), QStringLiteral("5,00"));
    EXPECT_EQ(factory.FarkTutarEdit.text(), QStringLiteral("7,50"));
    EXPECT_DOUBLE_EQ(storedDay(kDay)[QStringLiteral("Sabah_Toplanan_LT")].toDouble(), 10);
    EXPECT_DOUBLE_EQ(storedDay(kDay)[QStringLiteral("Toplam_Toplanan_Tutar")].toDouble(), 45);
    EXPECT_DOUBLE_EQ(factory.FabrikaQuery.asFloat(QStringLiteral("Toplam_Toplanan_LT")), 30) << "the list shows the row";

    factory.SaklaButClick();
    EXPECT_DOUBLE_EQ(storedDay(kDay)[QStringLiteral("Sabah_Toplanan_LT")].toDouble(), 15);
    EXPECT_DOUBLE_EQ(storedDay(kDay)[QStringLiteral("Toplam_Teslim_Kari")].toDouble(), 7.5);
}

TEST_F(FabrikaTest, ABoxThatCannotBeReadStopsTheSaveAndKeepsTheText)
{
    choose(kDay);
    for (const char* pasted : {"1,2,3", "-"}) {
        deliver(QStringLiteral("2"), QString::fromUtf8(pasted), QStringLiteral("5"), QStringLiteral("not"));
        EXPECT_THROW(factory.SaklaButClick(), ConversionError) << pasted;
        EXPECT_EQ(count(QStringLiteral("Fabrika")), 0) << pasted;
        EXPECT_EQ(factory.SFMiktariEdit.text(), QString::fromUtf8(pasted));
        EXPECT_EQ(factory.AciklamaEdit.text(), QStringLiteral("not"));
    }
    factory.SFMiktariEdit.setText(QStringLiteral("3"));
    factory.SaklaButClick();
    EXPECT_EQ(count(QStringLiteral("Fabrika")), 1);
}

// The month as a picture: per day the litres collected (intake rows only)
// and delivered, and the stored margin; the picker's day chosen.
TEST_F(FabrikaTest, TheChartHasTheMonthsDaysCollectedDeliveredAndMargin)
{
    for (const QDate& day : {QDate(2021, 3, 1), kDay, kDay, QDate(2021, 2, 28), QDate(2021, 4, 1)}) addIntake(day, 10, 5, 20, 10);
    addLedgerRow(db.connection, QDate(2021, 3, 3), LedgerKind::Payment, 7, 7, 0, 0);
    choose(kDay);
    deliver(QStringLiteral("2"), QStringLiteral("28"), QString());
    factory.SaklaButClick();
    choose(QDate(2021, 3, 31));

    const ChartData& chart = factory.AylikGrafik.get();
    ASSERT_EQ(chart.labels.size(), 31);
    EXPECT_EQ(chart.chosen, 30);
    ASSERT_EQ(chart.bars.size(), 2u);
    ASSERT_TRUE(chart.line);
    using Day = std::vector<std::optional<double>>;
    const std::pair<int, Day> days[] = {{1, {15, {}, {}}}, {3, {{}, {}, {}}}, {5, {30, 28, 56 - 60}}, {31, {{}, {}, {}}}};
    for (const auto& [day, values] : days) {
        const auto at = static_cast<size_t>(day - 1);
        EXPECT_EQ(chart.titles[day - 1], shortDate(QDate(2021, 3, day)));
        EXPECT_EQ((Day{chart.bars[0].values[at], chart.bars[1].values[at], chart.line->values[at]}), values) << day;
    }
}

}  // namespace
