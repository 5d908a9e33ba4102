#pragma once

#include "common/Field.h"
#include "screens/Forms.h"
#include "store/Query.h"
#include "store/TableCursor.h"

// The milk intake screen: the day's morning and evening litres per
// producer, with the day's entries and the month's totals.
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

    void Bosalt();
    // Code, name and price (in the general number form) from an account
    // list's current row: the menu's opening, the picks, the next producer.
    void fillFromAccount(const Query& accounts);
    void GuncelleGunluk();
    void AyBul();
};
