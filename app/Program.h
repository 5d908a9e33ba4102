#pragma once

#include "app/AnaMenu.h"
#include "screens/ScreenSet.h"

#include <QDate>

#include <functional>
#include <memory>

// Everything that lives from start-up to exit, in creation order: the menu
// with its connection first, then the working screens.
class Program {
public:
    Program(Dialogs& dialogs, Shell& shell) : AnaMenuF(shell), dialogs_(dialogs) {}

    // Opens the database file, offering to create it when it is missing, and
    // creates the screens. False when the user declined to create it.
    // A file that cannot be used throws, and nothing is created; a damaged
    // one names the newest backup. On the first start of a day the database
    // is copied and checked first.
    bool start(const QString& databasePath, const QDate& today = QDate::currentDate());

    // Told a text before the day's copy and its check begin (they take
    // seconds on a large ledger), and an empty text when they are done.
    std::function<void(const QString& text)> onLongWork;

    TAnaMenuF AnaMenuF;
    std::unique_ptr<ScreenSet> screens;

private:
    void backUp(const QString& databasePath, const QDate& today);

    Dialogs& dialogs_;
};
