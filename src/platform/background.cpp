// Allegro's background threads, replaced by ones that sleep while the game
// waits (see background.h). Allegro looks both up through tables it exports
// for its ports: the X system driver starts whatever `_bg_man_pthreads` holds,
// and takes its timer driver from `_xwin_timer_driver_list`.
#include "platform/background.h"

#include <allegro.h>
#include <xalleg.h>

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace background {

namespace {

// Signals go to the main thread, where Allegro's handlers expect them.
void blockSignals() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
}

int millisecondsUntil(Clock::time_point when) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now()).count();
    return static_cast<int>(std::clamp<int64_t>(left, 0, 60000));
}

}  // namespace

// --- Calm ---------------------------------------------------------------------

Calm::Calm() : wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

Calm::~Calm() {
    if (wakeFd_ >= 0) close(wakeFd_);
}

void Calm::drainWakes() {
    uint64_t count;
    if (wakeFd_ >= 0) (void)!read(wakeFd_, &count, sizeof count);
}

bool Calm::calmLocked(Clock::time_point now) const { return quietDepth_ > 0 && now - lastActivity_ >= grace; }

bool Calm::calm(Clock::time_point now) {
    std::lock_guard<std::mutex> hold(mutex_);
    return calmLocked(now);
}

void Calm::enterQuiet() {
    std::lock_guard<std::mutex> hold(mutex_);
    ++quietDepth_;
    lastActivity_ = Clock::now();
}

void Calm::leaveQuiet() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        if (quietDepth_ > 0) --quietDepth_;
        lastActivity_ = Clock::now();
    }
    wakeAll();
}

void Calm::activity() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        lastActivity_ = Clock::now();
    }
    changed_.notify_all();
}

void Calm::sleep(Clock::duration limit, Clock::duration calmLimit, const bool& stop) {
    std::unique_lock<std::mutex> hold(mutex_);
    const auto start = Clock::now();
    while (!stop) {
        const auto now = Clock::now();
        const auto until = start + (calmLocked(now) ? std::max(limit, calmLimit) : limit);
        if (now >= until) return;
        changed_.wait_until(hold, until);
    }
}

void Calm::wakeAll() {
    { std::lock_guard<std::mutex> hold(mutex_); }
    changed_.notify_all();
    const uint64_t one = 1;
    if (wakeFd_ >= 0) (void)!write(wakeFd_, &one, sizeof one);
}

// --- Worker -------------------------------------------------------------------

bool Worker::start() {
    if (thread_.joinable()) return true;
    {
        std::lock_guard<std::mutex> hold(calm_.lock());
        stopping_ = false;
    }
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void Worker::stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(calm_.lock());
        stopping_ = true;
    }
    calm_.wakeAll();
    // A function run by the thread may end the program (Allegro's default
    // close button does), and its shutdown comes back here.
    if (onThisThread())
        thread_.detach();
    else
        thread_.join();
}

bool Worker::onThisThread() const { return std::this_thread::get_id() == thread_.get_id(); }

// --- EventThread --------------------------------------------------------------

EventThread::EventThread(Calm& calm, std::function<int()> inputFd) : Worker(calm), inputFd_(std::move(inputFd)) {}

EventThread::~EventThread() { stop(); }

int EventThread::add(void (*f)(int)) {
    std::lock_guard<std::mutex> hold(funcsMutex_);
    for (int i = 0; i < kMaxFuncs; ++i) {
        if (!funcs_[i]) {
            funcs_[i] = f;
            usedFuncs_ = std::max(usedFuncs_, i + 1);
            return 0;
        }
    }
    return -1;
}

int EventThread::remove(void (*f)(int)) {
    // Called from a running function the lock is already held by this thread.
    std::unique_lock<std::mutex> hold(funcsMutex_, std::defer_lock);
    if (!onThisThread()) hold.lock();
    for (int i = 0; i < usedFuncs_; ++i) {
        if (funcs_[i] == f) {
            funcs_[i] = nullptr;
            while (usedFuncs_ > 0 && !funcs_[usedFuncs_ - 1]) --usedFuncs_;
            return 0;
        }
    }
    return -1;
}

void EventThread::disable() {
    std::lock_guard<std::mutex> hold(funcsMutex_);
    ++disableCount_;
}

void EventThread::enable() {
    std::lock_guard<std::mutex> hold(funcsMutex_);
    if (disableCount_ > 0 && --disableCount_ == 0) enabled_.notify_all();
}

int EventThread::disabled() { return disableCount_; }

void EventThread::runFunctions() {
    std::unique_lock<std::mutex> hold(funcsMutex_);
    enabled_.wait(hold, [this] { return disableCount_ == 0; });
    for (int i = 0; i < usedFuncs_; ++i)
        if (funcs_[i]) funcs_[i](1);
}

void EventThread::run() {
    blockSignals();
    auto lastRun = Clock::now();
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(calm_.lock());
            if (stopping_) return;
        }
        const auto now = Clock::now();
        const bool calm = calm_.calm(now);
        int fd = -1;
        {
            std::lock_guard<std::mutex> hold(funcsMutex_);
            if (usedFuncs_ > 0) fd = inputFd_();
        }
        const auto next = lastRun + (calm ? Clock::duration(backstop) : Clock::duration(period));
        pollfd watched[2] = {{calm_.wakeFd(), POLLIN, 0}, {fd, POLLIN, 0}};
        const int ready = poll(watched, fd >= 0 ? 2 : 1, millisecondsUntil(next));
        if (ready < 0 && errno != EINTR) usleep(1000);
        if (watched[0].revents) calm_.drainWakes();
        const bool input = fd >= 0 && ready > 0 && watched[1].revents != 0;
        if (input) {
            calm_.activity();
            // Input is handled no more than once a millisecond, as Allegro
            // does, so a descriptor that stays readable cannot spin the thread.
            std::this_thread::sleep_until(lastRun + std::chrono::milliseconds(1));
        }
        const auto after = Clock::now();
        if (input || after >= next) {
            runFunctions();
            lastRun = after;
        }
    }
}

// --- TimerThread --------------------------------------------------------------

TimerThread::TimerThread(Calm& calm, std::function<long(long)> tick) : Worker(calm), tick_(std::move(tick)) {}

TimerThread::~TimerThread() { stop(); }

void TimerThread::run() {
    blockSignals();
    // Allegro's own first wait when no timer is due yet.
    long interval = 0x8000;
    auto last = Clock::now();
    for (;;) {
        const auto wait = std::chrono::microseconds(interval * 1000000L / TIMERS_PER_SECOND);
        calm_.sleep(wait, backstop, stopping_);
        {
            std::lock_guard<std::mutex> hold(calm_.lock());
            if (stopping_) return;
        }
        const auto now = Clock::now();
        // After a long stop (the process suspended) the timers catch up by at
        // most ten seconds instead of running without end.
        const long elapsed = static_cast<long>(
            std::min<int64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now - last).count(), 10000000));
        last = now;
        interval = tick_(elapsed * TIMERS_PER_SECOND / 1000000L);
        if (interval <= 0) interval = 1;
    }
}

// --- Allegro's side -----------------------------------------------------------

namespace {

// Created once and never destroyed: Allegro may still call in from its exit
// handlers after static destructors have run.
Calm& sharedCalm() {
    static Calm* calm = new Calm;
    return *calm;
}

EventThread& events() {
    static EventThread* thread = new EventThread(sharedCalm(), [] {
        Display* display = _xwin.display;
        return display ? ConnectionNumber(display) : -1;
    });
    return *thread;
}

TimerThread& timers() {
    static TimerThread* thread =
        new TimerThread(sharedCalm(), [](long elapsed) { return _handle_timer_tick(static_cast<int>(elapsed)); });
    return *thread;
}

int eventsInit() { return events().start() ? 0 : -1; }
void eventsExit() { events().stop(); }
int eventsRegister(bg_func f) { return events().add(f); }
int eventsUnregister(bg_func f) { return events().remove(f); }
void eventsEnable() { events().enable(); }
void eventsDisable() { events().disable(); }
int eventsDisabled() { return events().disabled(); }

int timersInit() { return timers().start() ? 0 : -1; }
void timersExit() { timers().stop(); }

TIMER_DRIVER quietTimers = {
    TIMERDRV_UNIX_PTHREADS,
    empty_string,
    empty_string,
    "Unix pthreads timers",
    timersInit,
    timersExit,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    _unix_rest,
};

}  // namespace

void install() {
    _bg_man_pthreads = bg_manager{
        1, eventsInit, eventsExit, eventsRegister, eventsUnregister, eventsEnable, eventsDisable, eventsDisabled};
    for (_DRIVER_INFO* entry = _xwin_timer_driver_list; entry->driver; ++entry)
        if (entry->id == TIMERDRV_UNIX_PTHREADS) entry->driver = &quietTimers;
}

QuietWait::QuietWait() { sharedCalm().enterQuiet(); }
QuietWait::~QuietWait() { sharedCalm().leaveQuiet(); }

}  // namespace background
