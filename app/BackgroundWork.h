#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

// One piece of work on a thread of its own; what follows it runs back on
// the thread that started it, from its event loop. Destroyed, it asks the
// work to stop and waits for it, and what would have followed does not run.
class BackgroundWork {
public:
    BackgroundWork() = default;
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // The work is handed the flag it should stop at.
    void start(std::function<void(const std::atomic<bool>& stop)> work, std::function<void()> then);
    bool running() const { return thread_.joinable(); }
    // Waits for the work, then runs what follows it here and now.
    void finish();

private:
    QObject context_;
    std::thread thread_;
    std::atomic<bool> stop_ = false;
    std::function<void()> then_;
    int generation_ = 0;
};
