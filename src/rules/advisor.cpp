#include "rules/advisor.h"

#include <chrono>

Advisor::Advisor(std::function<void()> onAnswer, SolveLimits limits) : onAnswer_(std::move(onAnswer)), limits_(limits) {
    for (auto& c : cancel_) c = false;
}

Advisor::~Advisor() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stopping_ = true;
        for (auto& c : cancel_) c = true;
    }
    changed_.notify_all();
    worker_.join();
}

void Advisor::ask(Slot slot, const RuleState& position) {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        Question& q = questions_[slot];
        q.open = true;
        q.answered = false;
        ++q.serial;
        q.position = position;
        if (running_ == slot) cancel_[slot] = true;
        // The player waits for this one; the level's start can wait.
        if (slot == Position && running_ == LevelStart) cancel_[LevelStart] = true;
        // The thread starts with the first question: a game that is never
        // played runs no solver.
        if (!worker_.started() && !worker_.start([this](const std::atomic<bool>&) { run(); }))
            q.open = false;  // no thread: no answers, the game plays on
    }
    changed_.notify_all();
}

void Advisor::drop(Slot slot) {
    std::lock_guard<std::mutex> hold(mutex_);
    Question& q = questions_[slot];
    q.open = q.answered = false;
    ++q.serial;
    if (running_ == slot) cancel_[slot] = true;
}

bool Advisor::answer(Slot slot, SolveResult& out) const {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!questions_[slot].answered) return false;
    out = questions_[slot].result;
    return true;
}

bool Advisor::waitForAnswer(Slot slot, unsigned ms) const {
    std::unique_lock<std::mutex> hold(mutex_);
    return changed_.wait_for(hold, std::chrono::milliseconds(ms), [&] {
        return questions_[slot].answered || !questions_[slot].open;
    }) && questions_[slot].answered;
}

void Advisor::run() {
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
        changed_.wait(hold, [this] { return stopping_ || questions_[Position].open || questions_[LevelStart].open; });
        if (stopping_) return;
        const Slot slot = questions_[Position].open ? Position : LevelStart;
        const uint64_t serial = questions_[slot].serial;
        const RuleState position = questions_[slot].position;
        cancel_[slot] = false;
        running_ = slot;
        hold.unlock();

        SolveLimits limits = limits_;
        limits.cancel = &cancel_[slot];
        SolveResult result = solve(position, limits);

        hold.lock();
        running_ = -1;
        Question& q = questions_[slot];
        // A question asked again or dropped meanwhile gets no stale answer;
        // a cancelled one that still stands (paused) is simply run again.
        if (stopping_) return;
        if (q.serial != serial || !q.open || result.reason == SolveResult::Cancelled) continue;
        q.result = result;
        q.answered = true;
        q.open = false;
        ++answers_;
        hold.unlock();
        changed_.notify_all();
        if (onAnswer_) onAnswer_();
        hold.lock();
    }
}
