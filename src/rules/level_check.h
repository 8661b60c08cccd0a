// The editor's answer to V, "can this board be won?", in the player's words.
#pragma once

#include <string>

#include "rules/solver.h"

// "Can be won in N moves: Right Down ...", "Cannot be won: " with the
// reason, or that the search gave up; long move lists are broken into lines
// that fit a message box.
std::string levelCheckText(const SolveResult& result);
