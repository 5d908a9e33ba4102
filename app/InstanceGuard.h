#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

// One program per ledger: a second start on the same file does not open it
// (its own lists would overwrite the first one's corrections); it asks the
// running program to come to the front.
//
// The lock is a file beside the ledger, in its data folder, named after the
// ledger's real name (links resolved, so a data folder reached through a
// link meets the same lock), private and never created through a link, and
// held with the system's lock on the open file: it goes with the program,
// however the program ends. Nothing another user can write in a shared
// folder decides whether the program starts. The socket that brings the
// window to the front lives in the user's private runtime folder.
class InstanceGuard : public QObject {
    Q_OBJECT
public:
    explicit InstanceGuard(const QString& databasePath);
    ~InstanceGuard() override;

    // True when this start holds the ledger.
    bool holdsFolder() const { return lock_ >= 0; }
    // Why the lock could not be taken when another program does not hold it
    // (Turkish, naming the lock file); empty otherwise.
    const QString& failure() const { return failure_; }
    // A later start asks to be shown instead; true when the running one answered.
    bool askRunningToShow();
    // What the holder does when a later start asks.
    void onShowAsked(std::function<void()> show) { show_ = std::move(show); }

private:
    int lock_ = -1;
    QString failure_;
    QString socket_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> show_;
};

// The user's own runtime folder: XDG_RUNTIME_DIR, or a folder of the user's
// under the temporary folder; only a folder owned by the user and closed to
// everyone else counts. Empty when there is none.
QString privateRuntimeFolder();
