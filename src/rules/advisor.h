// The advisor: asks the solver about a copy of the position on a worker
// thread, so that no frame waits for it. Two questions may stand at once:
// the position the player is at (after every move) and the level's start
// (for the fewest moves possible). Asking again, or dropping a question,
// cancels it if it is running, and its answer is never given out.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "rules/background_task.h"
#include "rules/solver.h"

class Advisor {
public:
    enum Slot { Position, LevelStart, kSlots };

    // `onAnswer` is called on the worker thread whenever an answer is ready
    // (the game wakes its main loop with it).
    explicit Advisor(std::function<void()> onAnswer = nullptr, SolveLimits limits = SolveLimits());
    ~Advisor();
    Advisor(const Advisor&) = delete;
    Advisor& operator=(const Advisor&) = delete;

    // Asks about `position`, replacing the slot's earlier question. The
    // player's position goes first: it pauses a level-start question, which
    // then starts again.
    void ask(Slot slot, const RuleState& position);
    void drop(Slot slot);
    // The answer to the slot's current question, once it is there.
    bool answer(Slot slot, SolveResult& out) const;
    // Counts the answers given so far: a change means news to show.
    uint64_t answersGiven() const { return answers_; }
    // Waits up to `ms` for the slot's answer (tests and tools).
    bool waitForAnswer(Slot slot, unsigned ms) const;

private:
    struct Question {
        bool open = false;  // asked and not yet answered
        bool answered = false;
        uint64_t serial = 0;
        RuleState position;
        SolveResult result;
    };
    void run();

    std::function<void()> onAnswer_;
    SolveLimits limits_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Question questions_[kSlots];
    std::atomic<bool> cancel_[kSlots];
    int running_ = -1;  // the slot being solved, or -1
    bool stopping_ = false;
    std::atomic<uint64_t> answers_{0};
    BackgroundTask worker_;
};
