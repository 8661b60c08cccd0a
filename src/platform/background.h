// Allegro's X11 port runs two threads of its own: one looks for window events
// every millisecond and handles them every 10 ms, the other runs the timers,
// among them the software mouse pointer's every 10 ms. While the game only
// waits for the player, that keeps the processor awake for nothing. The
// threads here take their place: they keep Allegro's 10 ms rhythm while
// anything happens, and while the game waits and the window is still they
// sleep until X input arrives.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace background {

using Clock = std::chrono::steady_clock;

// Decides when the threads may sleep: only inside a quiet wait, and only once
// nothing has happened for a short grace time, so that input just handled
// (a pointer drawn, a picture copied) still reaches the X server promptly.
class Calm {
public:
    static constexpr std::chrono::milliseconds grace{250};

    Calm();
    ~Calm();
    Calm(const Calm&) = delete;
    Calm& operator=(const Calm&) = delete;

    bool calm(Clock::time_point now);
    void enterQuiet();
    void leaveQuiet();
    // Something happened (X input): back to the full rhythm for a while.
    void activity();
    // Sleeps `limit`; while calm, until activity, the end of the quiet wait
    // or `calmLimit`, whichever comes first. Returns early once `stop` is
    // true; `stop` is read under lock().
    void sleep(Clock::duration limit, Clock::duration calmLimit, const bool& stop);
    // Wakes every sleeper to look again: the timer thread through a condition,
    // the event thread through wakeFd(), which it polls and drains.
    void wakeAll();
    int wakeFd() const { return wakeFd_; }
    void drainWakes();
    std::mutex& lock() { return mutex_; }

private:
    bool calmLocked(Clock::time_point now) const;

    std::mutex mutex_;
    std::condition_variable changed_;
    int wakeFd_;
    int quietDepth_ = 0;
    Clock::time_point lastActivity_{};
};

// A thread that sleeps on a Calm and may be stopped from anywhere, itself
// included. Subclasses stop it in their own destructors, before their
// members go.
class Worker {
public:
    explicit Worker(Calm& calm) : calm_(calm) {}
    virtual ~Worker() = default;
    bool start();
    void stop();

protected:
    virtual void run() = 0;
    bool onThisThread() const;

    Calm& calm_;
    bool stopping_ = false;  // under calm_.lock()

private:
    std::thread thread_;
};

// The event thread: calls its registered functions every 10 ms, or at once
// when the input descriptor becomes readable; while calm it sleeps until then
// (with a long backstop). Functions are called with the same guarantees as
// Allegro's own manager: never while interrupts are disabled, and a function
// may unregister functions while it runs.
class EventThread : public Worker {
public:
    static constexpr int kMaxFuncs = 16;
    static constexpr std::chrono::milliseconds period{10};
    static constexpr std::chrono::milliseconds backstop{500};

    // `inputFd` gives the descriptor to watch, or -1; asked on every round,
    // since the window may open after the thread starts.
    EventThread(Calm& calm, std::function<int()> inputFd);
    ~EventThread() override;

    int add(void (*f)(int));
    int remove(void (*f)(int));
    void disable();
    void enable();
    int disabled();

private:
    void run() override;
    void runFunctions();

    std::function<int()> inputFd_;

    std::mutex funcsMutex_;  // held while the functions run
    std::condition_variable enabled_;
    std::atomic<int> disableCount_{0};
    void (*funcs_[kMaxFuncs])(int) = {};
    int usedFuncs_ = 0;  // one past the highest entry in use
};

// The timer thread: hands the elapsed time to `tick`, which runs the due
// timers and returns the time until the next one, in Allegro timer ticks.
// While calm it sleeps until activity (or a long backstop), then catches up.
class TimerThread : public Worker {
public:
    static constexpr std::chrono::milliseconds backstop{1000};

    TimerThread(Calm& calm, std::function<long(long)> tick);
    ~TimerThread() override;

private:
    void run() override;

    std::function<long(long)> tick_;
};

// Puts both threads in place of Allegro's; call before allegro_init.
void install();

// A span in which the game only waits for the player: nothing is drawn or
// animated until input arrives. Spans may nest.
class QuietWait {
public:
    QuietWait();
    ~QuietWait();
    QuietWait(const QuietWait&) = delete;
    QuietWait& operator=(const QuietWait&) = delete;
};

}  // namespace background
