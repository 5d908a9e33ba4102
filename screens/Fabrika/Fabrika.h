#pragma once

#include "common/Field.h"
#include "screens/Forms.h"

// The factory delivery screen. Its panel and lists come later; the menu
// already opens it and asks it to rebuild.
class TFabrikaF : public TForm {
public:
    explicit TFabrikaF(Forms& forms);

    DateField tarihDate;

    void FormCreate();
    void Guncelle();

    // The menu's opening: shown, then rebuilt.
    void openFromMenu();
};
