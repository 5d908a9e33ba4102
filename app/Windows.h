#pragma once

#include "app/AnaMenuWindow.h"
#include "screens/Fabrika/FabrikaWindow.h"
#include "screens/Gecmis/GecmisWindow.h"
#include "screens/Hakedis/HakedisWindow.h"
#include "screens/KaliteFiyati/KaliteFiyatiWindow.h"
#include "screens/Kesintiler/KesintilerWindow.h"
#include "screens/Rapor/RaporWindow.h"
#include "screens/SutAlim/SutAlimWindow.h"
#include "screens/Verilenler/VerilenlerWindow.h"
#include "screens/Cari/CariWindow.h"

#include "devices/CounterDevices.h"

#include <QTimer>

class Dialogs;
class Program;
class QApplication;

// The application's look and language: Turkish standard buttons, the
// Fusion style, the base font.
void configureApplication(QApplication& app);

// The settings key of the second folder for the daily copies.
inline const QString kSecondCopyFolderKey = QStringLiteral("Yedek/IkinciKlasor");

// Every window over its screen, the menu first; they live as long as the
// program. The menu's status bar follows the daily copies, which are looked
// at every minute so that a day begun while the program is open gets its own.
struct ProgramWindows {
    ProgramWindows(Program& program, Dialogs& dialogs);
    ~ProgramWindows();

    // This computer's counter, before the intake window that uses it.
    CounterDevices counter;

    AnaMenuWindow menu;
    SutAlimWindow sutAlim;
    CariWindow cari;
    VerilenlerWindow verilenler;
    RaporWindow rapor;
    FabrikaWindow fabrika;
    GecmisWindow gecmis;
    KesintilerWindow kesintiler;
    KaliteFiyatiWindow kaliteFiyati;
    HakedisWindow hakedis;

private:
    void chooseSecondCopyFolder();
    // The server this folder's ledger is on, kept for the next starts.
    void chooseServer();
    // This folder's file ledger onto the chosen server's empty database.
    void moveToServer();

    Program& program_;
    Dialogs& dialogs_;
    QTimer copyClock_;
};
