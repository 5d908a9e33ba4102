#include "app/BackgroundWork.h"

#include <exception>

BackgroundWork::~BackgroundWork()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void BackgroundWork::start(std::function<void(const std::atomic<bool>& stop)> work, std::function<void(const QString& failure)> then)
{
    finish();
    stop_ = false;
    failure_.clear();
    then_ = std::move(then);
    // A call left queued by an earlier work must not wait for this one.
    const int generation = ++generation_;
    thread_ = std::thread([this, generation, work = std::move(work)] {
        try {
            work(stop_);
        } catch (...) {
            failure_ = currentFailure();
        }
        QMetaObject::invokeMethod(
            &context_, [this, generation] { if (generation == generation_) finish(); }, Qt::QueuedConnection);
    });
}

void BackgroundWork::finish()
{
    if (!thread_.joinable()) return;
    thread_.join();
    const std::function<void(const QString&)> then = std::move(then_);
    then_ = nullptr;
    if (then) then(failure_);
}

QString currentFailure()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Beklenmeyen bir hata oluştu.");
    }
}
