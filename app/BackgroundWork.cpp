#include "app/BackgroundWork.h"

BackgroundWork::~BackgroundWork()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void BackgroundWork::start(std::function<void(const std::atomic<bool>& stop)> work, std::function<void()> then)
{
    finish();
    stop_ = false;
    then_ = std::move(then);
    // A call left queued by an earlier work must not wait for this one.
    const int generation = ++generation_;
    thread_ = std::thread([this, generation, work = std::move(work)] {
        work(stop_);
        QMetaObject::invokeMethod(
            &context_, [this, generation] { if (generation == generation_) finish(); }, Qt::QueuedConnection);
    });
}

void BackgroundWork::finish()
{
    if (!thread_.joinable()) return;
    thread_.join();
    const std::function<void()> then = std::move(then_);
    then_ = nullptr;
    if (then) then();
}
