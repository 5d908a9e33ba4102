#pragma once

#include "app/AnaMenu.h"
#include "app/BackgroundWork.h"
#include "screens/ScreenSet.h"

#include <QDate>

#include <functional>
#include <memory>

struct CopyRun;

// What the daily copies take, said when the disk has less than twice the
// ledger's size free (the next copy may not fit); empty otherwise.
QString copiesRoomNote(qint64 freeBytes, qint64 ledgerBytes, qint64 copiesBytes);

// Everything that lives from start-up to exit, in creation order: the menu
// with its connection first, then the working screens, and last the day's
// copy under way, stopped before the connection closes.
class Program {
public:
    Program(Dialogs& dialogs, Shell& shell) : AnaMenuF(shell), dialogs_(dialogs) {}

    // Opens the database file, offering to create it when it is missing, and
    // creates the screens. False when the user declined to create it.
    // A file that cannot be used throws, and nothing is created; a damaged
    // one names the newest backup. A clock that went back is said here. The
    // old Windows program's file found in its place is offered to be taken
    // over first.
    bool start(const QString& databasePath, const QDate& today = QDate::currentDate());
    // The same for a ledger on a server: a server that cannot be reached is
    // said, with the offer to try again; an empty database is offered to be
    // made a ledger. False when the user gave up or declined.
    bool startOnServer(const QString& conninfo);

    // Makes the day's checked copy, and its twin in the second folder while
    // that is reachable, in the background when they are due: the first time
    // this is called on a day without a copy (also a day that began while the
    // program was open). Saves go on meanwhile.
    void copyIfDue(const QDate& today = QDate::currentDate());
    // Waits for a copy under way and tells how it went.
    void finishCopy() { copying_.finish(); }

    // Where each day's copy also goes (a USB stick); empty for nowhere.
    QString secondCopyFolder;
    // Why a folder is a poor second place for the copies; empty when it is not.
    QString secondFolderDoubt(const QString& folder) const;

    // The copies' line for the status bar.
    std::function<void(const QString& text)> onCopyStatus;

    TAnaMenuF AnaMenuF;
    std::unique_ptr<ScreenSet> screens;

private:
    // The copy's work started in the background, said on the status line;
    // how it went is told when it ends.
    void startCopy(const std::shared_ptr<CopyRun>& run, const QString& saying, std::function<void(const std::atomic<bool>& stop)> work);
    void tellCopy(const CopyRun& run);
    // False when the user would not have it taken over.
    bool takeOverOldFile(const QString& path, const QDate& today);
    void status(const QString& text);

    Dialogs& dialogs_;
    QDate triedDay_;
    QDate secondTriedDay_;
    BackgroundWork copying_;
};
