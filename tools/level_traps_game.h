// The two questions of level_traps.h answered by today's breadth-first
// solver over a Game: a position is the board and the dog's cell, the bone
// staying where the loaded level put it.
#pragma once

#include <cstring>

#include "level_traps.h"
#include "play/solver.h"
#include "play/tiles.h"
#include "shell/game.h"

namespace traps {

struct Snapshot {
    uint8_t cells[15][20];
    int32_t dogColumn, dogRow;
};

struct GameQuestions {
    Game& game;
    size_t maxStates;

    Snapshot take() const {
        Snapshot s;
        for (int r = 0; r < 15; ++r) std::memcpy(s.cells[r], game.board[r], 20);
        s.dogColumn = game.dogColumn;
        s.dogRow = game.dogRow;
        return s;
    }
    void put(const Snapshot& s) {
        for (int r = 0; r < 15; ++r) std::memcpy(game.board[r], s.cells[r], 20);
        game.dogColumn = s.dogColumn;
        game.dogRow = s.dogRow;
        game.dogOffsetX = game.dogOffsetY = 0;
        game.selection = None;
        game.rockFalling = false;
        game.screenMode = Playing;
        game.recordWins = false;
        game.moveCount = 0;
    }
    Answer solve(const Snapshot& s) {
        put(s);
        SolveResult r = solveLevel(game, maxStates);
        Answer a;
        a.positions = r.statesExplored;
        a.outcome = r.outcome == SolveResult::Solved ? Answer::Won : Answer::Unknown;
        if (r.outcome == SolveResult::Unwinnable) a.outcome = Answer::Lost;
        a.fewest = static_cast<int>(r.moves.size());
        a.way.assign(r.moves.begin(), r.moves.end());
        a.firstMove = r.moves.empty() ? 0 : r.moves[0];
        return a;
    }
    // A refused move may still break the ground line or swap a rock for a
    // black one; neither changes what can happen next.
    int play(const Snapshot& s, int direction, Snapshot& next) {
        put(s);
        if (playMove(game, direction)) return 2;
        next = take();
        if (next.dogColumn != s.dogColumn || next.dogRow != s.dogRow) return 1;
        for (int r = 0; r < 15; ++r)
            for (int c = 0; c < 20; ++c)
                if (same(next.cells[r][c]) != same(s.cells[r][c])) return 1;
        return 0;
    }
    static int same(uint8_t code) {
        if (code == SkyBottomDestroyed) return SkyBottom;
        return code == BlackRock ? int(Rock) : int(code);
    }
};

// The trap report of the level loaded in the game. A move off the way whose
// search passes otherStates positions counts as not losing.
inline Report analyseLoaded(Game& game, size_t maxStates = 2000000, size_t otherStates = 2000000,
                            int stopAt = 1 << 30) {
    GameQuestions q{game, maxStates};
    Snapshot start = q.take();
    const bool recordWins = game.recordWins;
    Report report = analyse(
        start,
        [&](const Snapshot& s) {
            Answer a = q.solve(s);
            q.maxStates = otherStates;
            return a;
        },
        [&](const Snapshot& s, int d, Snapshot& n) { return q.play(s, d, n); }, stopAt);
    q.put(start);  // the level as loaded, standing still
    game.recordWins = recordWins;
    return report;
}

}  // namespace traps
