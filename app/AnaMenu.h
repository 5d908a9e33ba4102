#pragma once

#include "common/Platform.h"
#include "store/Connection.h"

#include <QString>

class ScreenSet;

// The main menu: owner of the one connection, and the openings of the
// working screens.
class TAnaMenuF {
public:
    static inline const QString kTitle = kProgramTitle;
    static inline const QString kCaption = QStringLiteral("Orvalin Kovanta - Ana Menü");
    static inline const QString kWebAddress = QStringLiteral("https://www.orvalin.example/");
    static inline const QString kSecondWebAddress = QStringLiteral("https://kovanta.orvalin.example/");
    static inline const QString kMailAddress = QStringLiteral("mailto:destek@orvalin.example");

    TAnaMenuF(Shell& shell) : shell_(shell) {}

    Connection sutConnection;

    // The screens exist only once the connection is open.
    void attach(ScreenSet& screens) { screens_ = &screens; }

    void SutAlimButtonClick();
    void AlisVerisButtonClick();
    void FabrikaButtonClick();
    void RaporButtonClick();
    void CariTanimButtonClick();
    void GecmisButtonClick();
    void KesintilerClick();
    void KaliteFiyatiClick();
    void HakedisClick();

    void openWebSite() { shell_.openAddress(kWebAddress); }
    void openProgramSite() { shell_.openAddress(kSecondWebAddress); }
    void writeMail() { shell_.openAddress(kMailAddress); }

private:
    ScreenSet& screens() const { return *screens_; }

    Shell& shell_;
    ScreenSet* screens_ = nullptr;
};
