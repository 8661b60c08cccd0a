#include "session/rule_notes.h"

#include "rules/tiles.h"

namespace {

struct Told {
    const char* name;
    const char* text;
};

const Told kTold[RuleNotes::kNotes] = {
    {"rock-falls", "A rock fell into the tunnel: the dog had dug out the cell beneath it."},
    {"next-rock-follows", "A rock landed, so the next loose rock up its column fell after it."},
    {"bone-covered", "A rock covers the bone: it lay in an open tunnel. Dig beneath to free it."},
    {"bone-freed", "The bone is free: the rock on it fell into the tunnel dug under it."},
    {"level-lost", "That move lost the level: no way to the bone is left. U takes it back."},
};

bool boneUnderRock(const RuleState& s) {
    return s.onBoard(s.boneColumn, s.boneRow) && isRock(s.board[s.boneRow][s.boneColumn]);
}

}  // namespace

const char* RuleNotes::text(Note note) { return kTold[note].text; }
const char* RuleNotes::name(Note note) { return kTold[note].name; }

void RuleNotes::tick(const RuleState& before, const RuleState& after) {
    // The rules start a fall from a step (the cell under a rock left) or
    // from a landing (the next rock up the column, higher than the last).
    if (after.rockFalling && !before.rockFalling) tell(RockFalls, after.moveCount);
    if (after.rockFalling && before.rockFalling && after.fallingRockY < before.fallingRockY)
        tell(NextRockFollows, after.moveCount);
    const bool wasUnder = boneUnderRock(before), isUnder = boneUnderRock(after);
    if (isUnder && !wasUnder) tell(BoneCovered, after.moveCount);
    if (wasUnder && !isUnder) tell(BoneFreed, after.moveCount);
}

void RuleNotes::lost(int32_t moveCount) { tell(LevelLost, moveCount); }

void RuleNotes::follow(int32_t moveCount) {
    if (moveCount != shownAt_) showing_.clear();
}

void RuleNotes::tell(Note note, int32_t moveCount) {
    if (told_[note]) return;
    // Notes of an earlier move have gone by now.
    if (moveCount != shownAt_) showing_.clear();
    shownAt_ = moveCount;
    told_[note] = newlyTold_ = true;
    showing_.push_back(note);
}

bool RuleNotes::takeNewlyTold() {
    const bool was = newlyTold_;
    newlyTold_ = false;
    return was;
}

std::set<std::string> RuleNotes::told() const {
    std::set<std::string> names;
    for (int n = 0; n < kNotes; ++n)
        if (told_[n]) names.insert(kTold[n].name);
    return names;
}

void RuleNotes::setTold(const std::set<std::string>& names) {
    for (int n = 0; n < kNotes; ++n) told_[n] = names.count(kTold[n].name) > 0;
}

void RuleNotes::forgetTold() {
    for (bool& t : told_) t = false;
    showing_.clear();
}
