#pragma once

#include "screens/Forms.h"

#include <memory>

// Owns the working screens, created once in start-up order and kept
// until exit.
class ScreenSet {
public:
    ScreenSet(Connection& connection, Dialogs& dialogs);
    ~ScreenSet();

    Forms forms;

private:
    std::unique_ptr<TSutAlimF> sutAlim_;
    std::unique_ptr<TcariF> cari_;
    std::unique_ptr<TVerilenlerF> verilenler_;
    std::unique_ptr<TRaporF> rapor_;
    std::unique_ptr<TFabrikaF> fabrika_;
    std::unique_ptr<TGecmisF> gecmis_;
};
