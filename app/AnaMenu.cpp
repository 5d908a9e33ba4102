#include "app/AnaMenu.h"

#include "screens/Fabrika/Fabrika.h"
#include "screens/Rapor/Rapor.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "screens/cari/cari.h"

void TAnaMenuF::SutAlimButtonClick()
{
    TSutAlimF& screen = *forms().SutAlimF;
    bringUp(screen.window());
    screen.intakeScreenOpened = 1;
    screen.GuncelleGunluk();
    reread(screen.CariTanimQuery);
    if (screen.CariTanimQuery.recordCount() > 0) {
        screen.Bosalt();
        screen.fillFromAccount(screen.CariTanimQuery);
    }
}

void TAnaMenuF::AlisVerisButtonClick()
{
    TVerilenlerF& screen = *forms().VerilenlerF;
    bringUp(screen.window());
    screen.Guncelle();
    screen.paymentScreenOpened = 1;
    reread(screen.CariTanimQuery);
}

void TAnaMenuF::FabrikaButtonClick()
{
    TFabrikaF& screen = *forms().FabrikaF;
    bringUp(screen.window());
    screen.Guncelle();
}

void TAnaMenuF::RaporButtonClick()
{
    TRaporF& screen = *forms().RaporF;
    bringUp(screen.window());
    screen.Yenile();
}

void TAnaMenuF::CariTanimButtonClick()
{
    forms().cariF->openForMaintenance();
}
