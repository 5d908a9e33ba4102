#pragma once

#include "common/Chart.h"
#include "common/Field.h"
#include "common/GridColumns.h"
#include "common/Totals.h"
#include "ledger/Draft.h"
#include "screens/Form.h"
#include "store/Query.h"

// The factory delivery screen: what went to the dairy factory on a day,
// set against the milk collected that day, one stored row per day, with
// the month's deliveries and totals and a default factory price.
//
// The day's figures are worked out by the ledger from the day's stored
// intake rows and the typed delivery, in exact money, and shown as stored.
class TFabrikaF : public TForm {
public:
    TFabrikaF(Ledger& ledger, Dialogs& dialogs);

    static inline const QString kMonthCaptionSuffix = QStringLiteral("-Aylık Fabrika Teslim Bilgileri");

    // Entry panel
    DateField tarihDate;
    FigureField FabrikaSutFiyatiEdit;
    // Collected from the producers (read-only).
    TextField STMiktariEdit;
    TextField ATMiktariEdit;
    TextField ToplamTutarEdit;
    // Delivered to the factory; the money box is worked out.
    FigureField SFMiktariEdit;
    FigureField AFMiktariEdit;
    TextField FabrikaTutarEdit;
    // Collected minus delivered; factory value minus purchase value.
    TextField SFarkMiktariEdit;
    TextField AFarkMiktariEdit;
    TextField FarkTutarEdit;
    TextField AciklamaEdit;
    // The day's stored row, which a save corrects; none while the day has none.
    RowKeyField correcting;

    // Caption of the month page.
    TextField AylikSheet{QStringLiteral("Aylık Fabrika Teslim Bilgileri")};

    Query FabrikaQuery;
    // The month list's figures added up as it shows them.
    Totals AyToplam;
    // The litres collected on each day of the month, for the chart.
    Query GunlukSutQuery;

    // What the month list and the month totals bar show.
    static const std::vector<GridColumn> kMonthColumns;
    static const std::vector<TotalBox> kMonthTotals;

    // The month as a picture: a day's litres collected and delivered as a
    // pair of bars, its margin ("Fark Tutarı") as a line; the picker's day chosen.
    Field<ChartData> AylikGrafik;

    // Set by the first refresh that found the price box at 0: the stored
    // default price is loaded at most once per run.
    bool FiyatYuklendi = false;

    void FormCreate();
    void tarihDateChange() { Guncelle(); }
    void SaklaButClick();
    void FiyatSaklaButClick();
    // The month list's double-click and its "Değiştir": the current row's day.
    void FabrikaGridDblClick();
    void Degistir1Click() { FabrikaGridDblClick(); }
    // Delete on the month list: its current day's row, after the question naming it.
    void KaydSil1Click();
    // "CSV Olarak Kaydet…" of the month list.
    void FabrikaCsvClick();
    void FabrikaXlsxClick();

    // The menu's opening: shown, then rebuilt.
    void openFromMenu();

    void Bosalt();
    void Guncelle();
    void ToplamAl();
    void AyBul();

private:
    // The day's collected milk, the month's list, totals and picture, while
    // what the collector typed in the panel stays.
    void ToplananYenile();
    void AyYenile(const MonthPeriod& period);
    void GrafikYenile(const MonthPeriod& period);

    // The day's intake as last read, which the panel's figures are worked out from.
    DayCollected collected_;

protected:
    void saveEntry() override { SaklaButClick(); }
    void dropEntry() override { Guncelle(); }
};
