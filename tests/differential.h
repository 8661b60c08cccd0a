// The solver's shortcuts held to the tick rules on boards from arbitrary bytes (unit tests: random; fuzz: libFuzzer). Each returns what differs, or "".
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "rules/rules.h"
#include "rules/solver.h"
#include "rules/tiles.h"

namespace differential {

inline uint8_t byteAt(const uint8_t* data, size_t size, size_t i) { return i < size ? data[i] : 0; }

// 300 cells (each byte picks a code, odd ones included), then the dog's and the bone's cells. With a pocket, only a 6 by 5 window is open, the rest sky.
inline RuleState boardFrom(const uint8_t* data, size_t size, bool pocket) {
    static const uint8_t kCodes[] = {Dirt,   Dirt,      Dirt,      Tunnel,             Tunnel,         Rock,
                                     BlackRock, SkyTop, SkyBottom, SkyBottomDestroyed, DirtBackground, 64};
    RuleState s;
    for (int i = 0; i < 300; ++i) {
        const bool open = !pocket || (i / 20 >= 2 && i / 20 < 7 && i % 20 >= 3 && i % 20 < 9);
        s.board[i / 20][i % 20] = open ? kCodes[byteAt(data, size, i) % sizeof kCodes] : uint8_t(SkyTop);
    }
    const int columns = pocket ? 6 : 20, rows = pocket ? 5 : 15, left = pocket ? 3 : 0, top = pocket ? 2 : 0;
    s.dogColumn = left + byteAt(data, size, 300) % columns, s.dogRow = top + byteAt(data, size, 301) % rows;
    s.boneColumn = left + byteAt(data, size, 302) % columns, s.boneRow = top + byteAt(data, size, 303) % rows;
    s.beginTick();
    return s;
}

// The arrows after the board (0 to 4, None included), each played by the ticks and by the cell steps from the same position.
inline std::string checkMoves(const uint8_t* data, size_t size) {
    RuleState ticks = boardFrom(data, size, false), cells = ticks;
    for (size_t i = 304; i < size && i < 340; ++i) {
        const int32_t direction = data[i] % 5;
        const bool won = playMove(ticks, direction);
        std::string fault = won != slideMove(cells, direction) ? "won" : "";
        if (std::memcmp(ticks.board, cells.board, sizeof ticks.board) != 0) fault += " cells";
        if (ticks.dogColumn != cells.dogColumn || ticks.dogRow != cells.dogRow) fault += " dog";
        if (ticks.moveCount != cells.moveCount) fault += " move count";
        if (!won && (!ticks.betweenMoves() || !ticks.valid())) fault += " rest";
        if (!fault.empty()) return "move " + std::to_string(i - 304) + " (" + directionName(direction) + "): " + fault;
        if (won) break;
    }
    return "";
}

// The solver on a pocket against a plain BFS over the ticks on exact cells; its way played by the ticks wins in exactly its count.
inline std::string checkSolver(const uint8_t* data, size_t size) {
    const RuleState start = boardFrom(data, size, true);
    const SolveResult answer = solve(start);
    auto key = [](const RuleState& s) {
        return std::string(reinterpret_cast<const char*>(s.board), sizeof s.board) + char(s.dogColumn) + char(s.dogRow);
    };
    int fewest = start.dogColumn == start.boneColumn && start.dogRow == start.boneRow ? 0 : -1;
    std::set<std::string> seen{key(start)};
    std::vector<RuleState> layer{start};
    for (int depth = 1; fewest < 0 && !layer.empty(); ++depth) {
        std::vector<RuleState> next;
        for (const RuleState& s : layer)
            for (int32_t d = Right; d <= Up && fewest < 0; ++d) {
                RuleState t = s;
                if (playMove(t, d)) fewest = depth;
                else if (seen.insert(key(t)).second) next.push_back(t);
            }
        if (seen.size() > 50000) return "";  // too big to check this way
        layer.swap(next);
    }
    if (fewest < 0) return answer.outcome == SolveResult::Unwinnable ? "" : "the solver wins what cannot be won";
    if (answer.outcome != SolveResult::Solved || answer.fewestMoves() != fewest)
        return "fewest " + std::to_string(answer.fewestMoves()) + " by the solver, " + std::to_string(fewest);
    RuleState replay = start;
    for (size_t i = 0; i < answer.moves.size(); ++i)
        if (playMove(replay, answer.moves[i]) != (i + 1 == answer.moves.size())) return "its way does not win";
    return "";
}

}  // namespace differential
