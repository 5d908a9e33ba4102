#include "screens/Rapor/Rapor.h"

#include <QDate>

TRaporF::TRaporF(Forms& forms) : TForm(forms)
{
    FormCreate();
}

void TRaporF::FormCreate()
{
    const QDate today = QDate::currentDate();
    tarih1Date.setDate(QDate(today.year(), 1, 1));
    tarih2Date.setDate(today);
}

void TRaporF::Yenile()
{
    // The report's lists are not built yet: nothing to rebuild.
}

void TRaporF::openFromMenu()
{
    bringUp();
    Yenile();
}
