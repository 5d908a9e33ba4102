#include "screens/Fabrika/Fabrika.h"

#include <QDate>

TFabrikaF::TFabrikaF(Forms& forms) : TForm(forms)
{
    FormCreate();
}

void TFabrikaF::FormCreate()
{
    tarihDate.setDate(QDate::currentDate());
}

void TFabrikaF::Guncelle()
{
    // The factory panel and month list are not built yet: nothing to rebuild.
}

void TFabrikaF::openFromMenu()
{
    bringUp();
    Guncelle();
}
