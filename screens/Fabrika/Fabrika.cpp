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


}  // namespace

const std::vector<GridColumn> TFabrikaF::kMonthColumns = {
    {kTarih, QStringLiteral("Tarih"), 0, kAsShortDate},
    {QStringLiteral("Toplam_Toplanan_LT"), QStringLiteral("Toplanan Mik."), 0, kAsAmount},
    {QStringLiteral("Toplam_Fabrika_LT"), QStringLiteral("Toplam Fab.Mik."), 0, kAsAmount},
    {QStringLiteral("Toplam_Miktar_Farki"), QStringLiteral("Toplam Fark Mik."), 0, kAsAmount},
    {QStringLiteral("Toplam_Toplanan_Tutar"), QStringLiteral("Toplanan Tutar"), 108, kAsAmount},
    {QStringLiteral("Toplam_Fabrika_Tutar"), QStringLiteral("Toplam Fab.Tutar"), 0, kAsAmount},
    {QStringLiteral("Toplam_Teslim_Kari"), QStringLiteral("Toplam Tut.Farkı"), 0, kAsAmount},
    {QStringLiteral("Sabah_Toplanan_LT"), QStringLiteral("Sabah Top.Mik."), 0, kAsAmount},
    {QStringLiteral("Sabah_Fabrika_LT"), QStringLiteral("Sabah Fab.Mik."), 0, kAsAmount},
    {QStringLiteral("Sabah_Miktar_Farki"), QStringLiteral("Sabah Mik.Farkı"), 0, kAsAmount},
    {QStringLiteral("Sabah_Toplanan_Tutar"), QStringLiteral("Sabah Top.Tutar"), 0, kAsAmount},
    {QStringLiteral("Aksam_Toplanan_LT"), QStringLiteral("Akşam Top.Mik."), 0, kAsAmount},
    {QStringLiteral("Aksam_Fabrika_LT"), QStringLiteral("Akşam Fab.Mik."), 0, kAsAmount},
    {QStringLiteral("Aksam_Miktar_Farki"), QStringLiteral("Akşam Mik.Farkı"), 0, kAsAmount},
    {QStringLiteral("Aksam_Toplanan_Tutar"), QStringLiteral("Akşam Top.Tutar"), 0, kAsAmount},
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
            if (day == tarihDate.date() && correcting.isNew() && FabrikaQuery.locate(kTarih, day))
                correcting.set(FabrikaQuery.value(QStringLiteral("FIB")).toLongLong());
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
    correcting.clear();
    SFMiktariEdit.clear();
    AFMiktariEdit.clear();
    FabrikaTutarEdit.clear();
    STMiktariEdit.clear();
    ATMiktariEdit.clear();
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
        correcting.set(FabrikaQuery.value(QStringLiteral("FIB")).toLongLong());
        SFMiktariEdit.show(FabrikaQuery.asFloat(QStringLiteral("Sabah_Fabrika_LT")));
        AFMiktariEdit.show(FabrikaQuery.asFloat(QStringLiteral("Aksam_Fabrika_LT")));
        FabrikaSutFiyatiEdit.show(FabrikaQuery.asFloat(kBirimFiyat));
        AciklamaEdit.setText(FabrikaQuery.asString(QStringLiteral("Aciklama")));
    }
    ToplananYenile();

    if (!FiyatYuklendi && FabrikaSutFiyatiEdit.value() == 0) {
        FiyatYuklendi = true;
        if (const std::optional<double> price = ledger_.factoryPrice()) FabrikaSutFiyatiEdit.show(*price);
    }
}

void TFabrikaF::ToplananYenile()
{
    const MonthPeriod period = monthPeriod(tarihDate.date());
    if (!FabrikaQuery.isOpen()) lists::deliveriesMonth(FabrikaQuery, period.first, period.last);
    collected_ = ledger_.collectedOn(period.day);
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
    const FactoryDay day = factoryDay(collected_, FabrikaSutFiyatiEdit.value(), SFMiktariEdit.value(), AFMiktariEdit.value());
    STMiktariEdit.setText(amount(day.sabahToplanan));
    ATMiktariEdit.setText(amount(day.aksamToplanan));
    ToplamTutarEdit.setText(day.toplananTutar.text());
    SFarkMiktariEdit.setText(amount(day.sabahFark));
    AFarkMiktariEdit.setText(amount(day.aksamFark));
    FabrikaTutarEdit.setText(day.fabrikaTutar.text());
    FarkTutarEdit.setText(day.kar.text());
}

void TFabrikaF::SaklaButClick()
{
    ToplamAl();
    // Everything is read before the row is touched: a box that cannot be
    // read stops the save with nothing written.
    const FactoryDelivery delivery{correcting.get(), tarihDate.date(), FabrikaSutFiyatiEdit.value(), SFMiktariEdit.value(),
                                   AFMiktariEdit.value(), AciklamaEdit.text()};
    // Deliveries are typed day after day: the next one starts on the next
    // day, which the save's own refresh then shows. A refused save leaves
    // the day and the boxes as they were.
    tarihDate.setDate(delivery.tarih.addDays(1));
    try {
        Acting acting(*this);
        ledger_.saveDelivery(delivery);
    } catch (...) {
        tarihDate.setDate(delivery.tarih);
        throw;
    }
    focusOn(QStringLiteral("SFMiktariEdit"));
}

void TFabrikaF::FiyatSaklaButClick()
{
    ledger_.saveFactoryPrice(FabrikaSutFiyatiEdit.value());
    focusOn(QStringLiteral("SFMiktariEdit"));
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
    focusOn(QStringLiteral("SFMiktariEdit"));
}

void TFabrikaF::KaydSil1Click()
{
    if (!FabrikaQuery.isOpen() || FabrikaQuery.recordCount() == 0) return;
    const QString question = cellText(kAsShortDate, FabrikaQuery.value(kTarih)) +
                             QStringLiteral(" fabrika teslimi · ") + amount(FabrikaQuery.asFloat(QStringLiteral("Toplam_Fabrika_LT"))) +
                             QStringLiteral(" L, ") + amount(FabrikaQuery.asFloat(QStringLiteral("Toplam_Fabrika_Tutar"))) +
                             QStringLiteral(" TL\nBu kaydı silmek istediğinize eminmisiniz?");
    if (!dialogs_.confirmDefaultNo(question)) return;
    Acting acting(*this);
    ledger_.deleteDelivery(FabrikaQuery.value(QStringLiteral("FIB")).toLongLong(), [this](qint64 change) { sonSilme = change; });
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
    captionMonthPage(tarihDate.date(), kMonthCaptionSuffix, AylikSheet);
}
