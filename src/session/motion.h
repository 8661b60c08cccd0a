// The rules' ticks against the clock: a move, and the rocks it lets fall,
// run at one fixed pace however often frames come, every tick once, faster
// when hurried. Play and watching both move their rule state through one,
// and hear the same digs, steps and landings.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "rules/rules.h"
#include "session/cues.h"

class Motion {
public:
    // The pace players have always known: a tick was a pass of the loop (a
    // 4 ms rest and the frame's work), 4.8 ms as measured on the game's own
    // machine (level 10's heap, 920 ticks, came down in 4.4 s).
    static constexpr unsigned long kTickUs = 4800;
    // Space held: every motion this many times as fast.
    static constexpr int kHurry = 4;
    // A speed that runs whatever is left of the move at once.
    static constexpr int kAtOnce = 0;

    explicit Motion(RuleState& rules) : rules_(rules) {}

    // One arrow's move begins at nowMs: its first tick is due at once.
    // `follows`: it begins in the frame the move before it ended, and goes
    // on from that move's clock (no tick early, none lost).
    void start(int32_t direction, unsigned long nowMs, bool follows = false);
    // What run() did.
    struct Ran {
        bool won = false;    // a tick reached the bone (play stops there)
        bool ended = false;  // the move is over: the dog stands, no rock falls
    };
    // Every tick due by nowMs at `speed` times the pace (kAtOnce: to the end
    // of the move). With no move under way, one tick that settles the dog
    // in her cell and tests the goal, as the rules have it.
    Ran run(unsigned long nowMs, int speed);
    // A step or a fall runs.
    bool busy() const { return rules_.selection != None || rules_.rockFalling; }
    // Forgets the move's clock (a move taken back, a new level).
    void stop() { clockValid_ = false; }

    bool takeChanged();
    std::vector<CueEvent> takeCues();

    // Told of every tick: the position before it and after it.
    std::function<void(const RuleState& before, const RuleState& after)> onTick;

private:
    void tick();
    void tickRules();
    void cue(Cue c, int32_t strength = 1) { cues_.push_back({c, strength}); }

    RuleState& rules_;
    bool clockValid_ = false;
    unsigned long lastMs_ = 0;
    unsigned long creditUs_ = 0;  // clock time owed to ticks not yet run
    int32_t fallFrom_ = 0;
    bool changed_ = false;
    bool won_ = false;
    std::vector<CueEvent> cues_;
};
