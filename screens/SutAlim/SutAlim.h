#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "screens/Forms.h"
#include "store/Query.h"
#include "store/TableCursor.h"

// The milk intake screen: the day's morning and evening litres per
// producer, with the day's entries and the month's totals.
struct Account;

class TSutAlimF : public TForm {
public:
    explicit TSutAlimF(Forms& forms);

    static inline const QString kDayCaptionSuffix = QStringLiteral("-Günlük Süt Girişi");
    static inline const QString kMonthCaptionSuffix = QStringLiteral("-Aylık Süt Girişi");

    // Entry panel
    DateField tarihDate;
    TextField KoduEdit;
    TextField AdiEdit;
    TextField sabahEdit;
    TextField SBirimFiyatEdit;
    TextField aksamEdit;
    TextField AciklamaEdit;
    // SGID of the row a save corrects; empty for a new entry.
    TextField kayitnoEdit;
    CheckField SonrakiRadio{true};
    CheckField GecmeRadio{false};

    // Producer strip
    TextField SutcuAraEdit;

    // Captions of the day page and the month page.
    TextField GunlukSheet{QStringLiteral("Günlük Süt Girişi")};
    TextField AylikSheet{QStringLiteral("Aylık Süt Girişi")};

    // The screen's own account list, shown by its producer list.
    Query CariTanimQuery;
    Query SutGirisiQuery;
    Query SutGirisiTopQuery;
    Query AylikSutGirisiQuery;
    Query AylikSutGirisiTopQuery;
    TableCursor SutGirisiTable;

    // What the producer list, the day page and the month page show.
    static const std::vector<GridColumn> kAccountColumns;
    static const std::vector<GridColumn> kDayColumns;
    static const std::vector<TotalBox> kDayTotals;
    static const std::vector<GridColumn> kMonthColumns;
    static const std::vector<TotalBox> kMonthTotals;

    // Set by the menu's opening; until then a date change refreshes nothing.
    int intakeScreenOpened = 0;
    // The month name AyBul looked up last.
    QString ayAdi;

    void FormCreate();
    void tarihDateChange();
    void KoduEditExit();
    void GetirButClick() { KoduEditExit(); }
    void SaklaButClick();
    void yeniButClick() { Bosalt(); }
    void Dzelt1Click();
    void KaydSil1Click();
    void CariGridDblClick();
    void BulButClick();
    void YeniHesapButClick();

    // The menu's opening, in its steps: shown, flagged as opened, views
    // rebuilt, the list re-read and its first producer loaded.
    void openFromMenu();
    // An account picked on the account screen.
    void takePick(const Account& account);

    void Bosalt();
    // Code, name and price (in the general number form) of an account: the
    // menu's opening, the picks, the next producer.
    void fillFromAccount(const Account& account);
    void GuncelleGunluk();
    void AyBul();
};
