// The level being played, beside its rule state: when arrows become moves,
// the positions to take back, what the advisor has found out (the fewest
// moves possible, a hint, a dead end) and the cues to be heard. Commands come
// in as calls; what the screen shows is read off the fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "rules/advisor.h"
#include "rules/fewest.h"
#include "rules/rules.h"
#include "session/cues.h"
#include "session/move_keys.h"

class Play {
public:
    enum Notice { NoNotice, HintNotice, DeadEndNotice, NoHintNotice };

    // Enough for every shipped level (the largest needs about 145 000); each
    // position costs about 160 bytes while a question runs.
    static constexpr size_t kMostPositions = 250000;

    // What one frame of play asks for: the arrows seen, U or Backspace, H.
    struct Input {
        MoveKeys::Keys arrows;
        bool undo = false;
        bool hint = false;
        unsigned long nowMs = 0;
    };

    // `rules` is the position played; `onAnswer` is called on the advisor's
    // thread when an answer is ready (the loop wakes on it).
    Play(RuleState& rules, std::function<void()> onAnswer);

    // A level (or board) begins: no history, no notices, fresh questions;
    // `best` is the record kept for it (fewest::kNotKnown: none).
    void begin(int32_t best);
    // One frame: the presses and held arrows, then one tick of the move in
    // progress. True on reaching the bone.
    bool frame(const Input& input);
    // Takes in answers the advisor has given since the last look; asks the
    // level's questions once the position can be played.
    void takeAdvice();
    // Forgets held keys and presses (back from another screen).
    void forgetKeys() { keys_.reset(); }

    // A step or a fall runs: every frame animates.
    bool busy() const { return rules_.selection != None || rules_.rockFalling; }
    bool adviceWaiting() const { return advisor_.answersGiven() != answersSeen_; }
    // Something visible changed since the last call.
    bool takeChanged();
    std::vector<CueEvent> takeCues();

    int32_t best = fewest::kNotKnown;    // from the high-score table
    int32_t fewest = fewest::kNotKnown;  // from the level's start
    Notice notice = NoNotice;
    int32_t hintDirection = 0, hintMoves = 0;
    size_t movesToTakeBack() const { return history_.size(); }

private:
    void beginMove();
    void settleMove();
    void undo();
    void tick();
    void cue(Cue c, int32_t strength = 1) { cues_.push_back({c, strength}); }

    RuleState& rules_;
    MoveKeys keys_;
    std::vector<RuleState> history_;  // the position before each move made, last move last
    Advisor advisor_;
    uint64_t answersSeen_ = 0;
    RuleState levelStart_;
    bool levelAsked_ = false;
    bool moving_ = false;
    int32_t fromColumn_ = 0, fromRow_ = 0, taken_ = 0, fallFrom_ = 0;
    bool hintWanted_ = false;
    bool changed_ = true;
    std::vector<CueEvent> cues_;
    bool won_ = false;
};
