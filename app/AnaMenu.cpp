#include "app/AnaMenu.h"

#include "screens/ScreenSet.h"
#include "screens/Fabrika/Fabrika.h"
#include "screens/Gecmis/Gecmis.h"
#include "screens/Hakedis/Hakedis.h"
#include "screens/KaliteFiyati/KaliteFiyati.h"
#include "screens/Kesintiler/Kesintiler.h"
#include "screens/Rapor/Rapor.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "screens/Cari/Cari.h"

void TAnaMenuF::SutAlimButtonClick()
{
    screens().SutAlimF->openFromMenu();
}

void TAnaMenuF::AlisVerisButtonClick()
{
    screens().VerilenlerF->openFromMenu();
}

void TAnaMenuF::FabrikaButtonClick()
{
    screens().FabrikaF->openFromMenu();
}

void TAnaMenuF::RaporButtonClick()
{
    screens().RaporF->openFromMenu();
}

void TAnaMenuF::CariTanimButtonClick()
{
    screens().cariF->openForMaintenance();
}

void TAnaMenuF::GecmisButtonClick()
{
    screens().GecmisF->openFromMenu();
}

void TAnaMenuF::KesintilerClick()
{
    screens().KesintilerF->openFromMenu();
}

void TAnaMenuF::KaliteFiyatiClick()
{
    screens().KaliteFiyatiF->openFromMenu();
}

void TAnaMenuF::HakedisClick()
{
    screens().HakedisF->openFromMenu();
}
