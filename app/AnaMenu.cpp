#include "app/AnaMenu.h"

#include "screens/Fabrika/Fabrika.h"
#include "screens/Gecmis/Gecmis.h"
#include "screens/Rapor/Rapor.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "screens/cari/cari.h"

void TAnaMenuF::SutAlimButtonClick()
{
    forms().SutAlimF->openFromMenu();
}

void TAnaMenuF::AlisVerisButtonClick()
{
    forms().VerilenlerF->openFromMenu();
}

void TAnaMenuF::FabrikaButtonClick()
{
    forms().FabrikaF->openFromMenu();
}

void TAnaMenuF::RaporButtonClick()
{
    forms().RaporF->openFromMenu();
}

void TAnaMenuF::CariTanimButtonClick()
{
    forms().cariF->openForMaintenance();
}

void TAnaMenuF::GecmisButtonClick()
{
    forms().GecmisF->openFromMenu();
}
