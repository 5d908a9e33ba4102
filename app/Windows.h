#pragma once

#include "app/AnaMenuWindow.h"
#include "screens/Fabrika/FabrikaWindow.h"
#include "screens/Gecmis/GecmisWindow.h"
#include "screens/Rapor/RaporWindow.h"
#include "screens/SutAlim/SutAlimWindow.h"
#include "screens/Verilenler/VerilenlerWindow.h"
#include "screens/cari/CariWindow.h"

class Program;
class QApplication;

// The application's look and language: Turkish standard buttons, the
// Fusion style, the base font.
void configureApplication(QApplication& app);

// Every window over its screen, the menu first; they live as long as the program.
struct ProgramWindows {
    explicit ProgramWindows(Program& program);

    AnaMenuWindow menu;
    SutAlimWindow sutAlim;
    CariWindow cari;
    VerilenlerWindow verilenler;
    RaporWindow rapor;
    FabrikaWindow fabrika;
    GecmisWindow gecmis;
};
