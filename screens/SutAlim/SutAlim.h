#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "common/Totals.h"
#include "ledger/Counter.h"
#include "ledger/Draft.h"
#include "ledger/Quality.h"
#include "screens/EntryForm.h"
#include "store/Query.h"

// The milk intake screen: the day's morning and evening litres per
// producer, with the day's entries and the month's totals.
class TSutAlimF : public TEntryForm {
public:
    TSutAlimF(Ledger& ledger, Dialogs& dialogs);

    static inline const QString kDayCaptionSuffix = QStringLiteral("-Günlük Süt Girişi");
    static inline const QString kMonthCaptionSuffix = QStringLiteral("-Aylık Süt Girişi");
    static inline const QString kAbsentCaption = QStringLiteral("Gelmeyenler");

    // Entry panel, besides the shared boxes
    FigureField sabahEdit;
    FigureField SBirimFiyatEdit;
    FigureField aksamEdit;
    // Each pour's fat and protein in percent and its hygiene grade: a pour
    // with them is priced from the quality table.
    FigureField SYagEdit;
    FigureField SProteinEdit;
    TextField SHijyenEdit;
    FigureField AYagEdit;
    FigureField AProteinEdit;
    TextField AHijyenEdit;
    // The quality boxes are shown while the quality table has a line or the
    // analyser has given a reading; otherwise Enter goes as it always went.
    CheckField KaliteGoster{false};
    // The price a save stores for each measured pour.
    TextField KaliteFiyatLabel;
    // What of the counter is connected.
    TextField CihazDurumu;
    // "Sonrakine Geç"; off is "Sonrakine Geçme".
    CheckField SonrakiRadio{true};

    // Captions of the day page and the month page.
    TextField GunlukSheet{QStringLiteral("Günlük Süt Girişi")};
    TextField AylikSheet{QStringLiteral("Aylık Süt Girişi")};
    // The page of those who have not poured yet, with their count: "Gelmeyenler (12)".
    TextField GelmeyenSheet{kAbsentCaption};

    Query AylikSutGirisiQuery;
    // Under each list, its figures added up as the list shows them.
    Totals SutGirisiToplam;
    Totals AylikSutGirisiToplam;
    // The account list's producers with no intake row on the picker's day.
    Query GelmeyenQuery;

    // What the day page and the month page show.
    static const std::vector<GridColumn> kDayColumns;
    static const std::vector<TotalBox> kDayTotals;
    static const std::vector<GridColumn> kMonthColumns;
    static const std::vector<TotalBox> kMonthTotals;
    static const std::vector<GridColumn> kAbsentColumns;


    // The counter's devices and slip printer of this computer; none where
    // there are none.
    void attachCounter(CounterDesk* counter);
    enum class Pour { Sabah, Aksam };
    // F7: the analyser's last reading into the pour's fat and protein.
    void AnalizClick(Pour pour);
    // F8: the scale's steady weight into the pour's litres.
    void TeraziClick(Pour pour);
    // A quality box left: the prices shown again.
    void KaliteExit();
    // Where Enter goes from a pour's litres: past its quality boxes when
    // nothing was poured and none of them is typed in; empty to go on as usual.
    QString afterLitres(Pour pour) const;

    void FormCreate();
    void tarihDateChange();
    void KoduEditExit();
    void GetirButClick() { KoduEditExit(); }
    void SaklaButClick();
    void yeniButClick() { Bosalt(); }
    void Dzelt1Click() override;
    void YeniHesapButClick();
    // Enter or a double-click on a producer who has not poured: loaded as
    // a pick from the producer list.
    void GelmeyenGridDblClick();
    // "CSV Olarak Kaydet…" of the day and the month lists.
    void GunlukCsvClick();
    void AylikCsvClick();
    void GelmeyenCsvClick();
    // "Excel Olarak Kaydet…" of the same lists.
    void GunlukXlsxClick();
    void AylikXlsxClick();
    void GelmeyenXlsxClick();

    // The menu's opening, in its steps: shown, flagged as opened, views
    // rebuilt, the list re-read and its first producer loaded.
    void openFromMenu();
    void takePick(const Account& account) override;

    void Bosalt() override;
    void refreshList() override { GuncelleGunluk(); }
    // Code, name and price (in the general number form) of an account: the
    // menu's opening, the picks, the next producer.
    void fillFromAccount(const Account& account);
    void GuncelleGunluk();
    // The page of who has not poured, with its count.
    void GelmeyenYenile();
    void AyBul();

    QString deleteQuestion() const override;

private:
    // One row a producer and day: his row of the panel's day, when he has
    // one, is the one his next litres go onto; the focus goes to its first
    // box still empty, or to the morning box of a new entry.
    void loadDayRow(bool moveFocus);
    // "Sonrakine Geç": the next producer of the list whose row of the day
    // does not hold both litres yet; the code box when there is none.
    void loadNextProducer();
    // The entry as its boxes hold it; throws the decimal parse's error for a
    // box that reads as no number.
    IntakeEntry entryFromBoxes();
    void showQuality(const PourQuality& sabah, const PourQuality& aksam);
    void KaliteGosterYenile();
    // The slips of the pours this save stored.
    void printSlips(const IntakeEntry& entry, const Ledger::IntakePrices& prices, bool sabahTyped, bool aksamTyped);

    template <typename T>
    std::optional<T> fromCounter(Take<T> (CounterDesk::*take)());
    CounterDesk* counter_ = nullptr;

protected:
    void saveEntry() override { SaklaButClick(); }
    void dropEntry() override
    {
        Bosalt();
        focusOn(QStringLiteral("KoduEdit"));
    }
};
