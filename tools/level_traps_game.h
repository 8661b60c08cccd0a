// The two questions of level_traps.h answered by the solver on rule states.
#pragma once

#include <cstring>

#include "level_traps.h"
#include "rules/rules.h"
#include "rules/solver.h"
#include "rules/tiles.h"

namespace traps {

struct RuleQuestions {
    size_t maxPositions;

    Answer solve(const RuleState& s) const {
        SolveLimits limits;
        limits.maxPositions = maxPositions;
        SolveResult r = ::solve(s, limits);
        Answer a;
        a.positions = r.positions;
        a.outcome = r.outcome == SolveResult::Solved       ? Answer::Won
                    : r.outcome == SolveResult::Unwinnable ? Answer::Lost
                                                           : Answer::Unknown;
        a.fewest = r.fewestMoves();
        a.way.assign(r.moves.begin(), r.moves.end());
        a.firstMove = r.firstMove();
        return a;
    }
    // A refused move may still break the ground line or swap a rock for a
    // black one; neither changes what can happen next.
    static int play(const RuleState& s, int direction, RuleState& next) {
        next = s;
        if (playMove(next, direction)) return 2;
        if (next.dogColumn != s.dogColumn || next.dogRow != s.dogRow) return 1;
        for (int r = 0; r < RuleState::boardHeight; ++r)
            for (int c = 0; c < RuleState::boardWidth; ++c)
                if (same(next.board[r][c]) != same(s.board[r][c])) return 1;
        return 0;
    }
    static int same(uint8_t code) {
        if (code == SkyBottomDestroyed) return SkyBottom;
        return code == BlackRock ? int(Rock) : int(code);
    }
};

// The trap report from a position standing still. A move off the way whose
// search passes otherPositions positions counts as not losing.
inline Report analyseFrom(const RuleState& start, size_t maxPositions = 2000000, size_t otherPositions = 2000000,
                          int stopAt = 1 << 30) {
    RuleQuestions q{maxPositions};
    return analyse(
        start,
        [&](const RuleState& s) {
            Answer a = q.solve(s);
            q.maxPositions = otherPositions;
            return a;
        },
        [](const RuleState& s, int d, RuleState& n) { return RuleQuestions::play(s, d, n); }, stopAt);
}

}  // namespace traps
