#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "common/Totals.h"
#include "screens/EntryForm.h"
#include "store/Query.h"

// The payment and purchase screen: money paid and goods given to a
// producer, and amounts owed to him, as ledger rows of kind 'O', with the
// month's rows and totals.
class TVerilenlerF : public TEntryForm {
public:
    TVerilenlerF(Ledger& ledger, Dialogs& dialogs);

    static inline const QString kMonthCaptionSuffix = QStringLiteral("-Aylık Yapılan Ödeme ve Diğer İşlemler");

    // Entry panel, besides the shared boxes
    TextField FisNoEdit;
    FigureField MiktariEdit;
    // "Alacağımız": what was paid or given, stored in Gider_Tutari.
    FigureField AlacagimizEdit;
    // "Borcumuz": what the collector now owes, stored in Gelir_Toplam_Tutar.
    FigureField BorcumuzEdit;

    // Caption of the month page.
    TextField AylikSheet{QStringLiteral("Aylık Yapılan Ödeme ve Diğer İşlemler")};

    // Under the list, its figures added up as the list shows them.
    Totals SutGirisiToplam;

    // What the month grid and its totals bar show.
    static const std::vector<GridColumn> kMonthColumns;
    static const std::vector<TotalBox> kMonthTotals;


    void FormCreate();
    void tarihDateChange();
    void SaklaButClick();
    void Dzelt1Click() override;
    QString deleteQuestion() const override;
    void KoduEditExit();
    void Bosalt() override;
    void refreshList() override { Guncelle(); }
    void yeniButClick() { Bosalt(); }
    void secButtonClick();
    void Guncelle();
    // "CSV Olarak Kaydet…" of the month list.
    void AylikCsvClick();
    void AylikXlsxClick();
    void AyBul();

    // The menu's opening: shown, views rebuilt, flagged as opened, list re-read.
    void openFromMenu();
    void takePick(const Account& account) override;

protected:
    void saveEntry() override { SaklaButClick(); }
    void dropEntry() override
    {
        Bosalt();
        focusOn(QStringLiteral("KoduEdit"));
    }
};
