// The level being played, beside its rule state: when arrows become moves,
// the log of the moves made (and the positions before them, to take back),
// what the advisor has found out (the fewest moves possible, a hint, a dead
// end) and the cues to be heard. Its ticks run through a Motion. Commands
// come in as calls; what the screen shows is read off the fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "rules/advisor.h"
#include "rules/fewest.h"
#include "rules/rules.h"
#include "session/cues.h"
#include "session/motion.h"
#include "session/move_keys.h"

class Play {
public:
    enum Notice { NoNotice, HintNotice, DeadEndNotice, NoHintNotice };

    // Enough for every shipped level (the largest needs about 145 000); each
    // position costs about 160 bytes while a question runs.
    static constexpr size_t kMostPositions = 250000;
    // A press made during a move waits no longer than this for it to end.
    static constexpr unsigned long kLongestWaitMs = 100;
    // How much faster a move runs while a press waits, at first (it doubles
    // as the wait grows).
    static constexpr int kHurriedTicks = 4;
    // A refused move's nudge of the dog lasts this long.
    static constexpr unsigned long kNudgeMs = 120;

    // What one frame of play asks for: the arrows seen, U or Backspace, H,
    // Space held (hurry).
    struct Input {
        MoveKeys::Keys arrows;
        bool undo = false;
        bool hint = false;
        bool hurry = false;
        unsigned long nowMs = 0;
    };

    // `rules` is the position played; `onAnswer` is called on the advisor's
    // thread when an answer is ready (the loop wakes on it).
    Play(RuleState& rules, std::function<void()> onAnswer);

    // A level (or board) begins: no history, no notices, fresh questions;
    // `best` is the record kept for it (fewest::kNotKnown: none).
    void begin(int32_t best);
    // Plays a kept log from the level's start (just begun), with its
    // positions to take back; false, with the level at its start again,
    // when the log cannot be played exactly (see moveLog::play) or would
    // reach the bone.
    bool resume(const std::vector<int32_t>& moves);
    // One frame: the ticks due of the move in progress (faster while a
    // press waits or Space is held), then the presses waiting, in order.
    // U or Backspace takes back the move in progress at once and forgets
    // the presses waiting. True on reaching the bone.
    bool frame(const Input& input);
    // Takes in answers the advisor has given since the last look; asks the
    // level's questions once the position can be played.
    void takeAdvice();
    // Forgets held keys and presses (back from another screen, Escape).
    void forgetKeys() { keys_.reset(); }

    // A step or a fall runs: every frame animates.
    bool busy() const { return motion_.busy(); }
    // The moves made since the level began, taken-back ones not among them,
    // as Directions; the move in progress is the last.
    const std::vector<int32_t>& moves() const { return log_; }
    // Counts up with every change of the log (for whoever keeps it on disk).
    uint64_t logChanges() const { return logChanges_; }
    // A press waits for the move in progress.
    bool pressWaiting() const { return keys_.waiting(); }
    // The refused move's nudge at nowMs: the dog drawn (dx, dy) pixels off her
    // cell; false once it is over.
    bool nudge(unsigned long nowMs, int32_t& dx, int32_t& dy) const;
    bool adviceWaiting() const { return advisor_.answersGiven() != answersSeen_; }
    // Waits up to `ms` for the answer about the position in play (tests, tools).
    void waitForAdvice(unsigned ms) const { advisor_.waitForAnswer(Advisor::Position, ms); }
    // Something visible changed since the last call.
    bool takeChanged();
    std::vector<CueEvent> takeCues();

    // `watch` is told of every tick of play: the position before it and after it.
    void watchTicks(std::function<void(const RuleState& before, const RuleState& after)> watch) {
        motion_.onTick = std::move(watch);
    }

    int32_t best = fewest::kNotKnown;    // from the high-score table
    int32_t fewest = fewest::kNotKnown;  // from the level's start
    Notice notice = NoNotice;
    int32_t hintDirection = 0, hintMoves = 0;
    size_t movesToTakeBack() const { return history_.size(); }

private:
    void beginMove(int32_t direction);
    // The move's speed now: Space, or a press waiting (faster as it waits).
    int speed(const Input& in) const;
    // Whether the arrow's move from here would change the board (between moves).
    bool changesBoard(int32_t direction) const;
    void settleMove(unsigned long nowMs);
    void undo();
    bool won();
    void takeMotion();
    void cue(Cue c, int32_t strength = 1) { cues_.push_back({c, strength}); }

    RuleState& rules_;
    Motion motion_;
    MoveKeys keys_;
    std::vector<int32_t> log_;        // the moves made, last move last
    std::vector<RuleState> history_;  // the position before each of them
    uint64_t logChanges_ = 0;
    Advisor advisor_;
    uint64_t answersSeen_ = 0;
    RuleState levelStart_;
    bool levelAsked_ = false;
    bool moving_ = false;
    int32_t taken_ = None;
    Notice noticeBefore_ = NoNotice;
    int32_t nudgeDirection_ = None;
    unsigned long nudgeAt_ = 0;
    bool hintWanted_ = false;
    bool changed_ = true;
    std::vector<CueEvent> cues_;
};
