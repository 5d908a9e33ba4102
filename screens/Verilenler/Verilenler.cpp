#include "screens/Verilenler/Verilenler.h"

#include "screens/cari/cari.h"
#include "store/SqlText.h"

#include <QDate>

TVerilenlerF::TVerilenlerF(Forms& forms)
    : TForm(forms), CariTanimQuery(forms.sutConnection, {kAccountListSql})
{
    FormCreate();
}

void TVerilenlerF::FormCreate()
{
    tarihDate.setDate(QDate::currentDate());
}

void TVerilenlerF::Bosalt()
{
    KoduEdit.clear();
    AdiEdit.clear();
    borcEdit.clear();
    alacakEdit.clear();
    AciklamaEdit.clear();
    kayitnoEdit.clear();
    MiktariEdit.clear();
    FisNoEdit.clear();
}

void TVerilenlerF::secButtonClick()
{
    forms_.cariF->openForPick(TcariF::kPickForPayment);
}

void TVerilenlerF::Guncelle()
{
    // The month view of payments is not built yet: nothing to rebuild.
}

void TVerilenlerF::openFromMenu()
{
    bringUp();
    Guncelle();
    paymentScreenOpened = 1;
    reread(CariTanimQuery);
}

void TVerilenlerF::takePick(const Account& account)
{
    Bosalt();
    KoduEdit.setText(account.kodu);
    AdiEdit.setText(account.adi);
}
