#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "screens/Forms.h"
#include "store/Query.h"
#include "store/TableCursor.h"

struct Account;

// The payment and purchase screen: money paid and goods given to a
// producer, and amounts owed to him, as ledger rows of kind 'O', with the
// month's rows and totals.
class TVerilenlerF : public TForm {
public:
    explicit TVerilenlerF(Forms& forms);

    static inline const QString kMonthCaptionSuffix = QStringLiteral("-Aylık Yapılan Ödeme ve Diğer İşlemler");

    // Entry panel
    DateField tarihDate;
    TextField KoduEdit;
    TextField AdiEdit;
    TextField FisNoEdit;
    TextField MiktariEdit;
    // Labelled "Alacağımız": what was paid or given, stored in Gider_Tutari.
    TextField borcEdit;
    // Labelled "Borcumuz": what the collector now owes, stored in Gelir_Toplam_Tutar.
    TextField alacakEdit;
    TextField AciklamaEdit;
    // SGID of the row saved last, which the next save corrects; empty for a new entry.
    TextField kayitnoEdit;

    // Producer strip
    TextField SutcuAraEdit;

    // Caption of the month page.
    TextField AylikSheet{QStringLiteral("Aylık Yapılan Ödeme ve Diğer İşlemler")};

    // The screen's own account list, shown by its producer list.
    Query CariTanimQuery;
    Query SutGirisiQuery;
    Query SutGirisiTopQuery;
    TableCursor SutGirisiTable;

    // What the producer list, the month grid and its totals bar show.
    static const std::vector<GridColumn> kAccountColumns;
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
    void Bosalt();
    void yeniButClick() { Bosalt(); }
    void secButtonClick();
    void CariGridDblClick();
    // "AdSoyad'tan Bul"
    void BulButClick();
    void Guncelle();
    void AyBul();

    // The menu's opening: shown, views rebuilt, flagged as opened, list re-read.
    void openFromMenu();
    // An account picked on the account screen or in the own list.
    void takePick(const Account& account);
};
