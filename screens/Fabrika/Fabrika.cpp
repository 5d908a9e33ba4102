#include "screens/Fabrika/Fabrika.h"

#include "common/Conversions.h"
#include "common/MonthPeriod.h"
#include "ledger/Lists.h"
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

TFabrikaF::TFabrikaF(Ledger& ledger, Dialogs& dialogs)
    : TForm(ledger, dialogs),
      FabrikaQuery(ledger.connection()),
      GunlukSutQuery(ledger.connection())
{
    showIn(FabrikaQuery, kMonthColumns);
    // Milk taken or given back on a day of the month: the collected figures,
    // the loss and the picture follow at once.
    whenChanged(&LedgerEvents::entriesChanged, [this](const QDate& day, LedgerKind kind) {
        if (kind == LedgerKind::Intake && rebuilds(FabrikaQuery) && inMonthOf(day, tarihDate.date()))
            ToplananYenile();
    });
    whenChanged(&LedgerEvents::deliveriesChanged, [this](const QDate& day) {
        if (acting()) {
            Guncelle();
        } else if (rebuilds(FabrikaQuery) && inMonthOf(day, tarihDate.date())) {
            const MonthPeriod period = monthPeriod(tarihDate.date());
            lists::deliveriesMonth(FabrikaQuery, period.first, period.last);
            AyYenile(period);
            // A row of the day brought back: the next save corrects it.
            if (day == tarihDate.date() && kayitnoEdit.isEmpty() && FabrikaQuery.locate(kTarih, day))
                kayitnoEdit.setText(FabrikaQuery.asString(QStringLiteral("FIB")));
        }
    });
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
    lists::deliveriesMonth(FabrikaQuery, period.first, period.last);
    // The day's stored row, so that a save corrects it rather than adding a second one.
    if (FabrikaQuery.recordCount() > 0 && FabrikaQuery.locate(kTarih, period.day)) {
        kayitnoEdit.setText(FabrikaQuery.asString(QStringLiteral("FIB")));
        SFMiktariEdit.setText(amount(FabrikaQuery.asFloat(QStringLiteral("Sabah_Fabrika_LT"))));
        AFMiktariEdit.setText(amount(FabrikaQuery.asFloat(QStringLiteral("Aksam_Fabrika_LT"))));
        FabrikaTutarEdit.setText(amount(FabrikaQuery.asFloat(QStringLiteral("Toplam_Fabrika_Tutar"))));
        FabrikaSutFiyatiEdit.setText(amount(FabrikaQuery.asFloat(kBirimFiyat)));
        AciklamaEdit.setText(FabrikaQuery.asString(QStringLiteral("Aciklama")));
    }
    ToplananYenile();

    if (!FiyatYuklendi && boxValue(FabrikaSutFiyatiEdit) == 0) {
        FiyatYuklendi = true;
        if (const std::optional<double> price = ledger_.factoryPrice()) FabrikaSutFiyatiEdit.setText(amount(*price));
    }
}

void TFabrikaF::ToplananYenile()
{
    const MonthPeriod period = monthPeriod(tarihDate.date());
    if (!FabrikaQuery.isOpen()) lists::deliveriesMonth(FabrikaQuery, period.first, period.last);
    const DayCollected collected = ledger_.collectedOn(period.day);
    STMiktariEdit.setText(amount(collected.sabah));
    ATMiktariEdit.setText(amount(collected.aksam));
    SabahTopTutarEdit.setText(amount(collected.sabahTutar));
    AksamTopTutarEdit.setText(amount(collected.aksamTutar));
    // Added before rounding, so it may differ by a cent from the two boxes above.
    ToplamTutarEdit.setText(amount(collected.sabahTutar + collected.aksamTutar));
    AyYenile(period);
    ToplamAl();
}

void TFabrikaF::AyYenile(const MonthPeriod& period)
{
    const auto column = [this](const QString& field) { return lists::shownSum(FabrikaQuery, field); };
    AyToplam.publish({
        {QStringLiteral("Toplanan_Miktar"), column(QStringLiteral("Toplam_Toplanan_LT"))},
        {QStringLiteral("Fabrika_Miktar"), column(QStringLiteral("Toplam_Fabrika_LT"))},
        {QStringLiteral("Miktar_Farki"), column(QStringLiteral("Toplam_Miktar_Farki")).value_or(Money())},
        {QStringLiteral("Toplanan_Tutar"), column(QStringLiteral("Toplam_Toplanan_Tutar"))},
        {QStringLiteral("Fabrika_Tutar"), column(QStringLiteral("Toplam_Fabrika_Tutar"))},
        {QStringLiteral("Tutar_Farki"), column(QStringLiteral("Toplam_Teslim_Kari")).value_or(Money())},
    });
    AyBul();
    GrafikYenile(period);
}

void TFabrikaF::GrafikYenile(const MonthPeriod& period)
{
    lists::dailyLitres(GunlukSutQuery, period.first, period.last);
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
    // Everything is read before the row is touched: a box that cannot be
    // read stops the save with nothing written.
    FactoryDelivery delivery;
    delivery.fib = parseInteger(kayitnoEdit.text());
    delivery.tarih = tarihDate.date();
    delivery.fiyat = boxValue(FabrikaSutFiyatiEdit);
    delivery.sabahToplanan = boxValue(STMiktariEdit);
    delivery.aksamToplanan = boxValue(ATMiktariEdit);
    delivery.sabahFabrika = boxValue(SFMiktariEdit);
    delivery.aksamFabrika = boxValue(AFMiktariEdit);
    delivery.sabahFark = boxValue(SFarkMiktariEdit);
    delivery.aksamFark = boxValue(AFarkMiktariEdit);
    delivery.sabahToplananTutar = boxValue(SabahTopTutarEdit);
    delivery.aksamToplananTutar = boxValue(AksamTopTutarEdit);
    delivery.farkTutar = boxValue(FarkTutarEdit);
    delivery.aciklama = AciklamaEdit.text();
    Acting acting(*this);
    ledger_.saveDelivery(delivery, [this](qint64 key) { kayitnoEdit.setText(QString::number(key)); });
}

void TFabrikaF::FiyatSaklaButClick()
{
    const double price = boxValue(FabrikaSutFiyatiEdit);
    ledger_.saveFactoryPrice(price);
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

void TFabrikaF::FabrikaXlsxClick()
{
    saveListAsXlsx(FabrikaQuery, kMonthColumns, QStringLiteral("Fabrika ") + monthName(tarihDate.date().month()) + QLatin1Char(' ') + QString::number(tarihDate.date().year()),
                   xlsxFileName({QStringLiteral("Fabrika"), fileNameMonth(tarihDate.date())}));
}

void TFabrikaF::FabrikaCsvClick()
{
    saveListAsCsv(FabrikaQuery, kMonthColumns, csvFileName({QStringLiteral("Fabrika"), fileNameMonth(tarihDate.date())}));
}

void TFabrikaF::AyBul()
{
    ayAdi = captionMonthPage(tarihDate.date(), kMonthCaptionSuffix, AylikSheet);
}
