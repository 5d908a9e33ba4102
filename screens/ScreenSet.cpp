#include "screens/ScreenSet.h"

#include "store/Connection.h"

#include "screens/Fabrika/Fabrika.h"
#include "screens/Gecmis/Gecmis.h"
#include "screens/Hakedis/Hakedis.h"
#include "screens/KaliteFiyati/KaliteFiyati.h"
#include "screens/Kesintiler/Kesintiler.h"
#include "screens/Rapor/Rapor.h"
#include "screens/SutAlim/SutAlim.h"
#include "screens/Verilenler/Verilenler.h"
#include "screens/Cari/Cari.h"

ScreenSet::ScreenSet(Connection& connection, Dialogs& dialogs)
    : ledger(connection),
      sutAlim_(std::make_unique<TSutAlimF>(ledger, dialogs)),
      cari_(std::make_unique<TcariF>(ledger, dialogs)),
      verilenler_(std::make_unique<TVerilenlerF>(ledger, dialogs)),
      rapor_(std::make_unique<TRaporF>(ledger, dialogs)),
      fabrika_(std::make_unique<TFabrikaF>(ledger, dialogs)),
      gecmis_(std::make_unique<TGecmisF>(ledger, dialogs)),
      kesintiler_(std::make_unique<TKesintilerF>(ledger, settlements, dialogs)),
      kaliteFiyati_(std::make_unique<TKaliteFiyatiF>(ledger, dialogs)),
      hakedis_(std::make_unique<THakedisF>(ledger, settlements, dialogs)),
      SutAlimF(sutAlim_.get()),
      cariF(cari_.get()),
      VerilenlerF(verilenler_.get()),
      RaporF(rapor_.get()),
      FabrikaF(fabrika_.get()),
      GecmisF(gecmis_.get()),
      KesintilerF(kesintiler_.get()),
      KaliteFiyatiF(kaliteFiyati_.get()),
      HakedisF(hakedis_.get())
{
    if (connection.isServer()) serverNotices = std::make_unique<ServerNotices>(connection, ledger.events());

    const auto pickOnAccountScreen = [this](std::function<void(const Account&)> caller) { cariF->openForPick(std::move(caller)); };
    SutAlimF->pickAccount = pickOnAccountScreen;
    VerilenlerF->pickAccount = pickOnAccountScreen;
}

ScreenSet::~ScreenSet() = default;
