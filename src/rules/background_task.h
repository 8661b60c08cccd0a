// One piece of work on a thread of its own, and the one way to end it: a
// cancel flag the work looks at while it runs, then a join. Destroying the
// owner cancels and joins, so no work outlives what it reads; declare the
// owner after the members its work uses.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class BackgroundTask {
public:
    using Work = std::function<void(const std::atomic<bool>& cancelled)>;

    BackgroundTask() = default;
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Starts `work` with a fresh flag. False when a thread is already started
    // or none can be had: then nothing runs and the caller does without.
    bool start(Work work);
    // Asks the work to stop soon: sets its flag and ends its pause().
    void cancel();
    // Waits for the work to return; at once when none was started.
    void join();
    // A thread was started and not yet joined.
    bool started() const { return thread_.joinable(); }
    // The work has returned: what it wrote may now be read.
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    // For the work itself: waits up to `wait`; true (at once) when cancelled.
    bool pause(std::chrono::milliseconds wait);

private:
    std::atomic<bool> cancelled_{false}, finished_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
};
