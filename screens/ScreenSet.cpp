#include "screens/ScreenSet.h"

#include "screens/Fabrika/Fabrika.h"
#include "screens/Gecmis/Gecmis.h"
#include "screens/Rapor/Rapor.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "screens/cari/cari.h"

ScreenSet::ScreenSet(Connection& connection, Dialogs& dialogs)
    : forms{connection, dialogs}
{
    sutAlim_ = std::make_unique<TSutAlimF>(forms);
    forms.SutAlimF = sutAlim_.get();
    cari_ = std::make_unique<TcariF>(forms);
    forms.cariF = cari_.get();
    verilenler_ = std::make_unique<TVerilenlerF>(forms);
    forms.VerilenlerF = verilenler_.get();
    rapor_ = std::make_unique<TRaporF>(forms);
    forms.RaporF = rapor_.get();
    fabrika_ = std::make_unique<TFabrikaF>(forms);
    forms.FabrikaF = fabrika_.get();
    gecmis_ = std::make_unique<TGecmisF>(forms);
    forms.GecmisF = gecmis_.get();
}

ScreenSet::~ScreenSet() = default;
