#pragma once

#include "common/Field.h"
#include "screens/Forms.h"

// The account balance report. Its lists come later; the menu already
// opens it and asks it to rebuild.
class TRaporF : public TForm {
public:
    explicit TRaporF(Forms& forms);

    DateField tarih1Date;
    DateField tarih2Date;

    void FormCreate();
    void Yenile();

    // The menu's opening: shown, then rebuilt.
    void openFromMenu();
};
