// A level's moves as data: one arrow each, written as the letters U, D, L
// and R. A position is the level's start with its moves played through the
// rules, so a log kept on disk brings back the very position, and its undo
// history with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rules/rules.h"

namespace moveLog {

// "DRRUL" for Down, Right, Right, Up, Left.
std::string text(const std::vector<int32_t>& moves);
// The reverse; false for anything but those four letters (an empty text is
// no moves).
bool fromText(const std::string& letters, std::vector<int32_t>& moves);

// The tick the game runs while the dog stands between moves: it settles her
// cell (dirt under her is dug) and tests the goal. True at the bone.
bool settle(RuleState& state);

// Plays `moves` from `state` (a level's start), each through the rules as
// the game plays it, settling before each and after the last. `before`
// gets the position before each move. False (state then undefined) when a
// move changes nothing (the game never keeps such a move), when the bone
// is reached before the last move, or when the start is not a position
// between moves; `won` says whether the last move reached the bone.
bool play(RuleState& state, const std::vector<int32_t>& moves, std::vector<RuleState>* before = nullptr,
          bool* won = nullptr);

}  // namespace moveLog
