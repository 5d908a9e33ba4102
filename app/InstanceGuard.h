#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

// One program per data folder: a second start on the same folder does not
// open the ledger (its own lists would overwrite the first one's
// corrections); it asks the running program to come to the front. A lock
// left by a program that crashed is taken over.
class InstanceGuard : public QObject {
    Q_OBJECT
public:
    explicit InstanceGuard(const QString& dataFolder);
    ~InstanceGuard() override;

    // True when this start holds the folder.
    bool holdsFolder() const { return holds_; }
    // A later start asks to be shown instead; true when the running one answered.
    bool askRunningToShow();
    // What the holder does when a later start asks.
    void onShowAsked(std::function<void()> show) { show_ = std::move(show); }

private:
    QString name_;
    QLockFile lock_;
    bool holds_ = false;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> show_;
};
