#pragma once

#include "common/Platform.h"
#include "ledger/Ledger.h"
#include "ledger/ServerNotices.h"
#include "ledger/Settlement.h"

#include <memory>

class TSutAlimF;
class TcariF;
class TVerilenlerF;
class TRaporF;
class TFabrikaF;
class TGecmisF;
class TKesintilerF;
class TKaliteFiyatiF;
class THakedisF;

// The ledger and the working screens over it, created once in start-up
// order and kept until exit. The screens do not know each other: they learn
// of changes from the ledger, and a pick comes back through a handler.
class ScreenSet {
public:
    ScreenSet(Connection& connection, Dialogs& dialogs);
    ~ScreenSet();

    Ledger ledger;
    Settlements settlements{ledger};
    // On a server ledger, the other desks' saves; none on a file.
    std::unique_ptr<ServerNotices> serverNotices;

private:
    std::unique_ptr<TSutAlimF> sutAlim_;
    std::unique_ptr<TcariF> cari_;
    std::unique_ptr<TVerilenlerF> verilenler_;
    std::unique_ptr<TRaporF> rapor_;
    std::unique_ptr<TFabrikaF> fabrika_;
    std::unique_ptr<TGecmisF> gecmis_;
    std::unique_ptr<TKesintilerF> kesintiler_;
    std::unique_ptr<TKaliteFiyatiF> kaliteFiyati_;
    std::unique_ptr<THakedisF> hakedis_;

public:
    TSutAlimF* const SutAlimF;
    TcariF* const cariF;
    TVerilenlerF* const VerilenlerF;
    TRaporF* const RaporF;
    TFabrikaF* const FabrikaF;
    TGecmisF* const GecmisF;
    TKesintilerF* const KesintilerF;
    TKaliteFiyatiF* const KaliteFiyatiF;
    THakedisF* const HakedisF;
};
