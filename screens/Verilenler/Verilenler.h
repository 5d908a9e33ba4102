#pragma once

#include "common/Field.h"
#include "screens/Forms.h"
#include "store/Query.h"

// The payment and purchase screen. Its entry and views come later; what is
// here is what the menu and the account pick rely on.
struct Account;

class TVerilenlerF : public TForm {
public:
    explicit TVerilenlerF(Forms& forms);

    DateField tarihDate;
    TextField KoduEdit;
    TextField AdiEdit;
    TextField FisNoEdit;
    TextField MiktariEdit;
    TextField borcEdit;
    TextField alacakEdit;
    TextField AciklamaEdit;
    TextField kayitnoEdit;
    TextField SutcuAraEdit;

    // The screen's own account list.
    Query CariTanimQuery;

    // Set by the menu's first opening; until then a date change refreshes nothing.
    int paymentScreenOpened = 0;

    void FormCreate();
    void Bosalt();
    void yeniButClick() { Bosalt(); }
    void secButtonClick();
    void Guncelle();

    // The menu's opening: shown, views rebuilt, flagged as opened, list re-read.
    void openFromMenu();
    // An account picked on the account screen.
    void takePick(const Account& account);
};
