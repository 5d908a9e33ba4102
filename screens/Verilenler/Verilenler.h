#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "screens/EntryForm.h"
#include "store/Query.h"

// The payment and purchase screen: money paid and goods given to a
// producer, and amounts owed to him, as ledger rows of kind 'O', with the
// month's rows and totals.
class TVerilenlerF : public TEntryForm {
public:
    explicit TVerilenlerF(Forms& forms);

    static inline const QString kMonthCaptionSuffix = QStringLiteral("-Aylık Yapılan Ödeme ve Diğer İşlemler");

    // Entry panel, besides the shared boxes
    TextField FisNoEdit;
    TextField MiktariEdit;
    // Labelled "Alacağımız": what was paid or given, stored in Gider_Tutari.
    TextField borcEdit;
    // Labelled "Borcumuz": what the collector now owes, stored in Gelir_Toplam_Tutar.
    TextField alacakEdit;
    // kayitnoEdit holds the row saved last, which the next save corrects.

    // Caption of the month page.
    TextField AylikSheet{QStringLiteral("Aylık Yapılan Ödeme ve Diğer İşlemler")};

    Query SutGirisiQuery;
    Query SutGirisiTopQuery;

    // What the month grid and its totals bar show.
    static const std::vector<GridColumn> kMonthColumns;
    static const std::vector<TotalBox> kMonthTotals;

    // Set by the menu's first opening; until then a date change refreshes nothing.
    int paymentScreenOpened = 0;
    // The month name AyBul looked up last.
    QString ayAdi;

    void FormCreate();
    void tarihDateChange();
    void SaklaButClick();
    void KoduEditExit();
    void Bosalt() override;
    void yeniButClick() { Bosalt(); }
    void secButtonClick();
    void Guncelle();
    // "CSV Olarak Kaydet…" of the month list.
    void AylikCsvClick();
    void AyBul();

    // The menu's opening: shown, views rebuilt, flagged as opened, list re-read.
    void openFromMenu();
    void takePick(const Account& account) override;
};
