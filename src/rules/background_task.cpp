#include "rules/background_task.h"

#include <system_error>

BackgroundTask::~BackgroundTask() {
    cancel();
    join();
}

bool BackgroundTask::start(Work work) {
    if (thread_.joinable()) return false;
    cancelled_ = false;
    finished_ = false;
    try {
        thread_ = std::thread([this, work = std::move(work)] {
            work(cancelled_);
            finished_.store(true, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void BackgroundTask::cancel() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        cancelled_ = true;
    }
    wake_.notify_all();
}

void BackgroundTask::join() {
    if (thread_.joinable()) thread_.join();
}

bool BackgroundTask::pause(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> hold(mutex_);
    return wake_.wait_for(hold, wait, [this] { return cancelled_.load(); });
}
