#include "screens/Fabrika/Fabrika.h"

#include "common/Conversions.h"
#include "common/MonthPeriod.h"
#include "store/SqlText.h"
#include "store/Statement.h"

#include <QDate>

namespace {

const QString kTarih = QStringLiteral("Tarih");
const QString kBirimFiyat = QStringLiteral("Birim_Fiyat");

// A number as the panel shows it; an empty value shows as 0,00.
QString amount(double value)
{
    return formatFloat(kAmountPattern, value);
}

double amountOf(const QVariant& value)
{
    return value.isNull() ? 0.0 : value.toDouble();
}

double boxValue(const TextField& box)
{
    return parseDecimal(box.text());
}

// The factory's value of a delivery; nothing when either figure is not above 0.
double factoryValue(double price, double litres)
{
    return litres > 0 && price > 0 ? price * litres : 0.0;
}

}  // namespace

const std::vector<GridColumn> TFabrikaF::kMonthColumns = {
    {kTarih, QStringLiteral("Tarih"), 0, kAsShortDate},
    {QStringLiteral("Toplam_Toplanan_LT"), QStringLiteral("Toplanan Mik."), 0, kAsGridNumber},
    {QStringLiteral("Toplam_Fabrika_LT"), QStringLiteral("Toplam Fab.Mik."), 0, kAsGridNumber},
    {QStringLiteral("Toplam_Miktar_Farki"), QStringLiteral("Toplam Fark Mik."), 0, kAsGridNumber},
    {QStringLiteral("Toplam_Toplanan_Tutar"), QStringLiteral("Toplanan Tutar"), 108, kAsGridNumber},
    {QStringLiteral("Toplam_Fabrika_Tutar"), QStringLiteral("Toplam Fab.Tutar"), 0, kAsGridNumber},
    {QStringLiteral("Toplam_Teslim_Kari"), QStringLiteral("Toplam Tut.Farkı"), 0, kAsGridNumber},
    {QStringLiteral("Sabah_Toplanan_LT"), QStringLiteral("Sabah Top.Mik."), 0, kAsGridNumber},
    {QStringLiteral("Sabah_Fabrika_LT"), QStringLiteral("Sabah Fab.Mik."), 0, kAsGridNumber},
    {QStringLiteral("Sabah_Miktar_Farki"), QStringLiteral("Sabah Mik.Farkı"), 0, kAsGridNumber},
    {QStringLiteral("Sabah_Toplanan_Tutar"), QStringLiteral("Sabah Top.Tutar"), 0, kAsGridNumber},
    {QStringLiteral("Aksam_Toplanan_LT"), QStringLiteral("Akşam Top.Mik."), 0, kAsGridNumber},
    {QStringLiteral("Aksam_Fabrika_LT"), QStringLiteral("Akşam Fab.Mik."), 0, kAsGridNumber},
    {QStringLiteral("Aksam_Miktar_Farki"), QStringLiteral("Akşam Mik.Farkı"), 0, kAsGridNumber},
    {QStringLiteral("Aksam_Toplanan_Tutar"), QStringLiteral("Akşam Top.Tutar"), 0, kAsGridNumber},
};
const std::vector<TotalBox> TFabrikaF::kMonthTotals = {
    {QStringLiteral("Top. Miktar"), QStringLiteral("Toplanan_Miktar"), kAsAmount},
    {QStringLiteral("Fabrika Mik."), QStringLiteral("Fabrika_Miktar"), kAsAmount},
    {QStringLiteral("Fark Mik."), QStringLiteral("Miktar_Farki"), kAsAmount},
    {QStringLiteral("Top. Tutar"), QStringLiteral("Toplanan_Tutar"), kAsAmount},
    {QStringLiteral("Fabrika Tut."), QStringLiteral("Fabrika_Tutar"), kAsAmount},
    {QStringLiteral("Fark Tutar"), QStringLiteral("Tutar_Farki"), kAsAmount},
};

TFabrikaF::TFabrikaF(Forms& forms)
    : TForm(forms),
      FabrikaQuery(forms.sutConnection),
      SutGirisiTopQuery(forms.sutConnection),
      AyTopFabrikaQuery(forms.sutConnection),
      GunlukSutQuery(forms.sutConnection),
      FabrikaTable(forms.sutConnection, schema::fabrika()),
      FabrikaCariTable(forms.sutConnection, schema::fabrikaCari())
{
    showIn(FabrikaQuery, kMonthColumns);
    showIn(AyTopFabrikaQuery, kMonthTotals);
    AyTopFabrikaQuery.calculatedFields = {QStringLiteral("Miktar_Farki"), QStringLiteral("Tutar_Farki")};
    // Collected minus delivered, factory minus purchase: the panel's directions.
    AyTopFabrikaQuery.onCalcFields = [](Record& row) {
        row.setValue(QStringLiteral("Miktar_Farki"),
                     row.asFloat(QStringLiteral("Toplanan_Miktar")) - row.asFloat(QStringLiteral("Fabrika_Miktar")));
        row.setValue(QStringLiteral("Tutar_Farki"),
                     row.asFloat(QStringLiteral("Fabrika_Tutar")) - row.asFloat(QStringLiteral("Toplanan_Tutar")));
    };
    FormCreate();
}

void TFabrikaF::FormCreate()
{
    tarihDate.setDate(QDate::currentDate());
}

void TFabrikaF::openFromMenu()
{
    bringUp();
    Guncelle();
}

void TFabrikaF::Bosalt()
{
    // The price box stays: it carries over from day to day.
    kayitnoEdit.clear();
    SFMiktariEdit.clear();
    AFMiktariEdit.clear();
    FabrikaTutarEdit.clear();
    STMiktariEdit.clear();
    ATMiktariEdit.clear();
    SabahTopTutarEdit.clear();
    AksamTopTutarEdit.clear();
    ToplamTutarEdit.clear();
    FarkTutarEdit.clear();
    AciklamaEdit.clear();
}

void TFabrikaF::Guncelle()
{
    Bosalt();
    const MonthPeriod period = monthPeriod(tarihDate.date());
    const QString month = periodFilter(period.first, period.last);

    rebuild(FabrikaQuery, {
        QStringLiteral("SELECT * FROM Fabrika  "),
        month,
        QStringLiteral("ORDER BY Tarih ASC;"),
    });
    // The day's stored row, so that a save corrects it rather than adding a second one.
    if (FabrikaQuery.recordCount() > 0 && FabrikaQuery.locate(kTarih, period.day)) {
        kayitnoEdit.setText(FabrikaQuery.asString(QStringLiteral("FIB")));
        SFMiktariEdit.setText(amount(FabrikaQuery.asFloat(QStringLiteral("Sabah_Fabrika_LT"))));
        AFMiktariEdit.setText(amount(FabrikaQuery.asFloat(QStringLiteral("Aksam_Fabrika_LT"))));
        FabrikaTutarEdit.setText(amount(FabrikaQuery.asFloat(QStringLiteral("Toplam_Fabrika_Tutar"))));
        FabrikaSutFiyatiEdit.setText(amount(FabrikaQuery.asFloat(kBirimFiyat)));
        AciklamaEdit.setText(FabrikaQuery.asString(QStringLiteral("Aciklama")));
    }

    rebuild(SutGirisiTopQuery, {
        QStringLiteral("SELECT SUM(Sabah) AS Sabah_Toplam,SUM(Aksam) AS Aksam_Toplam, "),
        QStringLiteral("SUM(SToplam_Tutar) AS SToplam_Tutar, SUM(AToplam_Tutar) AS AToplam_Tutar FROM SutGirisi"),
        dayFilter(period.day),
        kindLine(LedgerKind::Intake),
    });
    const double sabahTutar = SutGirisiTopQuery.asFloat(QStringLiteral("SToplam_Tutar"));
    const double aksamTutar = SutGirisiTopQuery.asFloat(QStringLiteral("AToplam_Tutar"));
    STMiktariEdit.setText(amount(SutGirisiTopQuery.asFloat(QStringLiteral("Sabah_Toplam"))));
    ATMiktariEdit.setText(amount(SutGirisiTopQuery.asFloat(QStringLiteral("Aksam_Toplam"))));
    SabahTopTutarEdit.setText(amount(sabahTutar));
    AksamTopTutarEdit.setText(amount(aksamTutar));
    // Added before rounding, so it may differ by a cent from the two boxes above.
    ToplamTutarEdit.setText(amount(sabahTutar + aksamTutar));

    rebuild(AyTopFabrikaQuery, {
        QStringLiteral("SELECT SUM(Toplam_Toplanan_LT) AS Toplanan_Miktar, SUM(Toplam_Toplanan_Tutar) AS Toplanan_Tutar,"),
        QStringLiteral("SUM(Toplam_Fabrika_LT) AS Fabrika_Miktar, SUM(Toplam_Fabrika_Tutar) AS Fabrika_Tutar FROM Fabrika"),
        month,
    });
    AyBul();
    ToplamAl();
    GrafikYenile(period);

    if (!FiyatYuklendi && boxValue(FabrikaSutFiyatiEdit) == 0) {
        FiyatYuklendi = true;
        if (!FabrikaCariTable.isOpen()) FabrikaCariTable.open();
        if (FabrikaCariTable.currentKey() != 0)
            FabrikaSutFiyatiEdit.setText(amount(amountOf(FabrikaCariTable.fieldValue(kBirimFiyat))));
    }
}

void TFabrikaF::GrafikYenile(const MonthPeriod& period)
{
    GunlukSutQuery.parameters = {period.first, period.last, kindCode(LedgerKind::Intake)};
    rebuild(GunlukSutQuery, {
        QStringLiteral("SELECT Tarih, SUM(Sabah) AS Sabah_Toplam, SUM(Aksam) AS Aksam_Toplam FROM SutGirisi"),
        QStringLiteral("WHERE Tarih>=?1 AND Tarih<=?2 AND Gelir_Gider=?3"),
        QStringLiteral("GROUP BY Tarih;"),
    });
    const int days = period.last.day();
    ChartData chart;
    chart.categoryAxis = QStringLiteral("Gün");
    chart.barAxis = QStringLiteral("Litre");
    chart.lineAxis = QStringLiteral("Fark Tutarı (TL)");
    ChartSeries collected{QStringLiteral("Toplanan"), QStringLiteral("L"), std::vector<std::optional<double>>(days)};
    ChartSeries delivered{QStringLiteral("Fabrika"), QStringLiteral("L"), collected.values};
    ChartSeries margin{QStringLiteral("Fark Tutarı"), QStringLiteral("TL"), collected.values};
    for (int day = 1; day <= days; ++day) {
        chart.labels << QString::number(day);
        chart.titles << shortDate(period.first.addDays(day - 1));
    }
    // The day of a stored date; a text that is no day of the month has none.
    const auto put = [days](ChartSeries& series, const QVariant& stored, double value) {
        const int day = QDate::fromString(stored.toString().left(kStoredDateFormat.size()), kStoredDateFormat).day();
        if (day >= 1 && day <= days) series.values[static_cast<size_t>(day - 1)] = value;
    };
    for (int row = 0; row < GunlukSutQuery.recordCount(); ++row)
        put(collected, GunlukSutQuery.valueAt(row, kTarih),
            amountOf(GunlukSutQuery.valueAt(row, QStringLiteral("Sabah_Toplam"))) +
                amountOf(GunlukSutQuery.valueAt(row, QStringLiteral("Aksam_Toplam"))));
    for (int row = 0; row < FabrikaQuery.recordCount(); ++row) {
        const QVariant day = FabrikaQuery.valueAt(row, kTarih);
        put(delivered, day, amountOf(FabrikaQuery.valueAt(row, QStringLiteral("Toplam_Fabrika_LT"))));
        put(margin, day, amountOf(FabrikaQuery.valueAt(row, QStringLiteral("Toplam_Teslim_Kari"))));
    }
    chart.bars = {collected, delivered};
    chart.line = margin;
    chart.chosen = period.day.day() - 1;
    AylikGrafik.set(chart);
}

void TFabrikaF::ToplamAl()
{
    SFarkMiktariEdit.setText(amount(boxValue(STMiktariEdit) - boxValue(SFMiktariEdit)));
    AFarkMiktariEdit.setText(amount(boxValue(ATMiktariEdit) - boxValue(AFMiktariEdit)));
    FabrikaTutarEdit.setText(
        amount(boxValue(FabrikaSutFiyatiEdit) * (boxValue(SFMiktariEdit) + boxValue(AFMiktariEdit))));
    // The factory value as its box shows it, rounded to the cent.
    FarkTutarEdit.setText(amount(boxValue(FabrikaTutarEdit) - boxValue(ToplamTutarEdit)));
}

void TFabrikaF::SaklaButClick()
{
    ToplamAl();
    const QDate day = tarihDate.date();

    // Everything is read before the row is touched: a box that cannot be
    // read stops the save with nothing written.
    const double p = boxValue(FabrikaSutFiyatiEdit);
    const double st = boxValue(STMiktariEdit);
    const double at = boxValue(ATMiktariEdit);
    const double sf = boxValue(SFMiktariEdit);
    const double af = boxValue(AFMiktariEdit);
    const double sd = boxValue(SFarkMiktariEdit);
    const double ad = boxValue(AFarkMiktariEdit);
    const double stt = boxValue(SabahTopTutarEdit);
    const double att = boxValue(AksamTopTutarEdit);
    const double dt = boxValue(FarkTutarEdit);
    const double sabahFabrika = factoryValue(p, sf);
    const double aksamFabrika = factoryValue(p, af);

    // A corrected row takes the picker's day too.
    RowWrite row = rowForSave(FabrikaTable, kayitnoEdit, day);
    row.setField(kTarih, day)
        .setField(QStringLiteral("Sabah_Toplanan_LT"), st)
        .setField(QStringLiteral("Sabah_Toplanan_Tutar"), stt)
        .setField(QStringLiteral("Sabah_Fabrika_LT"), sf)
        .setField(QStringLiteral("Sabah_Fabrika_Tutar"), sabahFabrika)
        .setField(QStringLiteral("Sabah_Miktar_Farki"), sd)
        .setField(QStringLiteral("Sabah_Teslim_Kari"), sabahFabrika - stt)
        .setField(QStringLiteral("Sabah_Birim_Fiyat"), p)
        .setField(QStringLiteral("Aksam_Toplanan_LT"), at)
        .setField(QStringLiteral("Aksam_Toplanan_Tutar"), att)
        .setField(QStringLiteral("Aksam_Fabrika_LT"), af)
        .setField(QStringLiteral("Aksam_Fabrika_Tutar"), aksamFabrika)
        .setField(QStringLiteral("Aksam_Miktar_Farki"), ad)
        .setField(QStringLiteral("Aksam_Teslim_Kari"), aksamFabrika - att)
        .setField(QStringLiteral("Aksam_Birim_Fiyat"), p)
        .setField(QStringLiteral("Toplam_Toplanan_LT"), st + at)
        .setField(QStringLiteral("Toplam_Toplanan_Tutar"), stt + att)
        .setField(QStringLiteral("Toplam_Fabrika_LT"), sf + af)
        .setField(QStringLiteral("Toplam_Fabrika_Tutar"), sabahFabrika + aksamFabrika)
        .setField(QStringLiteral("Toplam_Miktar_Farki"), sd + ad)
        // The margin as the panel shows it, unlike the morning and evening ones.
        .setField(QStringLiteral("Toplam_Teslim_Kari"), dt)
        .setField(kBirimFiyat, p)
        .setField(QStringLiteral("Aciklama"), AciklamaEdit.text());
    kayitnoEdit.setText(QString::number(row.post()));

    Guncelle();
}

void TFabrikaF::FiyatSaklaButClick()
{
    const double price = boxValue(FabrikaSutFiyatiEdit);
    if (!FabrikaCariTable.isOpen()) FabrikaCariTable.open();
    // The one row this screen keeps; the first save of a price makes it.
    const bool hasRow = FabrikaCariTable.currentKey() != 0 || FabrikaCariTable.first();
    RowWrite row = hasRow ? FabrikaCariTable.edit() : FabrikaCariTable.append();
    row.setField(kBirimFiyat, price).post();
}

void TFabrikaF::FabrikaGridDblClick()
{
    // An empty list has no day to take.
    if (!FabrikaQuery.isOpen() || FabrikaQuery.recordCount() == 0) return;
    const QString stored = FabrikaQuery.asString(kTarih);
    const QDate day = QDate::fromString(stored.left(kStoredDateFormat.size()), kStoredDateFormat);
    if (!day.isValid()) return;
    tarihDate.setDate(day);
    Guncelle();
}

void TFabrikaF::FabrikaCsvClick()
{
    saveListAsCsv(FabrikaQuery, kMonthColumns, csvFileName({QStringLiteral("Fabrika"), fileNameMonth(tarihDate.date())}));
}

void TFabrikaF::AyBul()
{
    ayAdi = captionMonthPage(tarihDate.date(), kMonthCaptionSuffix, AylikSheet);
}
