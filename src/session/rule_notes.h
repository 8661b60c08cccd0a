// The rules a new player meets by surprise, each told in one line at the
// foot of the board the first time it happens: a rock falls behind the dog,
// a landing sets the next rock up the column falling, a rock covers the
// bone, a covered bone is freed, a move loses the level. A note goes at the
// next move, and each is told once per player (the names of those told are
// kept with the player's preferences).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "rules/rules.h"

class RuleNotes {
public:
    enum Note { RockFalls, NextRockFollows, BoneCovered, BoneFreed, LevelLost, kNotes };

    // The note's line, and its name where the notes told are kept.
    static const char* text(Note note);
    static const char* name(Note note);

    // One tick of play, the position before it and after it.
    void tick(const RuleState& before, const RuleState& after);
    // The position after move `moveCount` can no longer reach the bone.
    void lost(int32_t moveCount);
    // Once a frame: a move made or taken back, or a level begun, since the
    // notes showing were told sends them away.
    void follow(int32_t moveCount);

    // The notes on show, oldest first.
    const std::vector<Note>& showing() const { return showing_; }
    // Whether a note was told for the first time since the last call.
    bool takeNewlyTold();

    // The names of the notes already told, and the same read back.
    std::set<std::string> told() const;
    void setTold(const std::set<std::string>& names);
    // Every note is told again the next time its rule happens.
    void forgetTold();

private:
    void tell(Note note, int32_t moveCount);
    bool told_[kNotes] = {};
    bool newlyTold_ = false;
    std::vector<Note> showing_;
    int32_t shownAt_ = 0;  // the move count the notes showing were told at
};
