#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

// One piece of work on a thread of its own; what follows it runs back on
// the thread that started it, from its event loop. Whatever the work throws
// is caught on its thread and handed to what follows as a text, so nothing
// ends the program. Destroyed, it asks the work to stop and waits for it,
// and what would have followed does not run.
class BackgroundWork {
public:
    BackgroundWork() = default;
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // The work is handed the flag it should stop at; what follows is handed
    // the text of what the work threw, empty when it ended well.
    void start(std::function<void(const std::atomic<bool>& stop)> work, std::function<void(const QString& failure)> then);
    bool running() const { return thread_.joinable(); }
    // Waits for the work, then runs what follows it here and now.
    void finish();

private:
    QObject context_;
    std::thread thread_;
    std::atomic<bool> stop_ = false;
    QString failure_;
    std::function<void(const QString& failure)> then_;
    int generation_ = 0;
};

// Inside a catch block: the text of the exception being handled, its own
// for the program's and the engine's errors, a Turkish line for anything else.
QString currentFailure();
