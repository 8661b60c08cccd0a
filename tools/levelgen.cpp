// tunnelwick-levelgen: a level designer's helper built on the solver.
//
//   tunnelwick-levelgen analyse SOURCE.txt...
//       fewest moves, positions searched, and what each first move leads to
//   tunnelwick-levelgen play SOURCE.txt MOVE...
//       the board after the moves (Up, Down, Left, Right), and whether the
//       level can still be won from there
//   tunnelwick-levelgen search SEED TRIES ROCK% TUNNEL% MINMOVES MAXMOVES
//                              [MAXSTATES [GRASSROCKS [DEAD]]]
//       random boards; prints those whose fewest moves lie in MINMOVES to
//       MAXMOVES (and with at least DEAD first moves that lose the level),
//       with the same analysis, as level sources to paste into tools/levels.
//       GRASSROCKS rocks on the ground line shorten the walk along it.
//   tunnelwick-levelgen grow SOURCE.txt SEED TRIES TARGET [MOSTSTONES [TRAPS]]
//       loose stones added to and taken from the plain dirt of a drawn
//       picture, kept while the fewest moves climb towards TARGET within the
//       advisor's reach and a third of the way on the grass at most; prints
//       each better variant with TRAPS (3) positions offering a losing move.
//   tunnelwick-levelgen trace SOURCE.txt
//       a shortest way move by move: where the dog stops, which stones fall
//       and land, and when the bone lies under a stone.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "level_traps_game.h"
#include "rules/solver.h"
#include "rules/tiles.h"
#include "storage/board_text.h"

namespace {

RuleState start(const Level& level) {
    RuleState s;
    placeLevel(level, s);
    return s;
}

SolveResult solveWithin(const RuleState& s, size_t maxStates) {
    SolveLimits limits;
    limits.maxPositions = maxStates;
    return solve(s, limits);
}

std::string outcomeText(const SolveResult& r) {
    if (r.outcome == SolveResult::Solved) return std::to_string(r.moves.size());
    if (r.outcome == SolveResult::NotProved) return "?";
    return "dead";
}

// What every first move leads to: "Down:5" is a move after which 5 more
// are needed, "dead" one after which the level cannot be won.
struct Analysis {
    SolveResult best;
    std::string firstMoves;
    int wrongFirstMoves = 0;  // moves that do something but not the best
    int deadFirstMoves = 0;   // moves after which the level cannot be won
};

Analysis analyse(const Level& level, size_t maxStates) {
    Analysis a;
    a.best = solveWithin(start(level), maxStates);
    if (a.best.outcome != SolveResult::Solved) return a;
    for (int32_t d : {Down, Left, Right, Up}) {
        const RuleState before = start(level);
        RuleState g = before;
        std::string what;
        if (playMove(g, d)) {
            what = "win";
        } else if (boardRows(g) == boardRows(before) && g.dogColumn == before.dogColumn && g.dogRow == before.dogRow) {
            what = "-";
        } else {
            SolveResult rest = solveWithin(g, maxStates);
            what = outcomeText(rest);
            if (rest.outcome != SolveResult::Solved || rest.moves.size() + 1 > a.best.moves.size()) ++a.wrongFirstMoves;
            if (rest.outcome == SolveResult::Unwinnable) ++a.deadFirstMoves;
        }
        a.firstMoves += std::string(" ") + directionName(d) + ":" + what;
    }
    return a;
}

void report(const Analysis& a) {
    std::printf("fewest %s, %zu positions, first moves%s, %d wrong, %d dead\n", outcomeText(a.best).c_str(),
                a.best.positions, a.firstMoves.c_str(), a.wrongFirstMoves, a.deadFirstMoves);
    if (a.best.outcome == SolveResult::Solved) {
        std::printf("solution:");
        for (int32_t m : a.best.moves) std::printf(" %s", directionName(m));
        std::printf("\n");
    }
}

// A level source read whole and parsed; when it is not a level, says why.
bool readSource(const char* path, Level& level) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    if (parseLevelText(text.str(), level, error)) return true;
    std::printf("%s: %s\n", path, error.c_str());
    return false;
}

int analyseFiles(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        Level level;
        if (!readSource(argv[i], level)) continue;
        std::printf("%s \"%s\": ", argv[i], level.title.c_str());
        report(analyse(level, 3000000));
    }
    return 0;
}

int playFile(int argc, char** argv) {
    Level level;
    if (!readSource(argv[2], level)) return 2;
    RuleState g = start(level);
    for (int i = 3; i < argc; ++i) {
        int32_t d = None;
        for (int32_t candidate : {Up, Down, Left, Right})
            if (std::strcmp(argv[i], directionName(candidate)) == 0) d = candidate;
        if (d == None) {
            std::printf("%s: not a move\n", argv[i]);
            return 2;
        }
        if (playMove(g, d)) {
            std::printf("won after %d moves\n", i - 2);
            return 0;
        }
    }
    for (const std::string& row : boardRows(g)) std::printf("|%s|\n", row.c_str());
    SolveResult rest = solveWithin(g, 3000000);
    std::printf(
        "from here: %s%s\n", outcomeText(rest).c_str(),
        rest.reason == SolveResult::NoReason ? "" : (std::string(" (") + reasonText(rest.reason) + ")").c_str());
    return 0;
}

int search(int argc, char** argv) {
    if (argc < 8) return 2;
    std::mt19937 rng(std::strtoul(argv[2], nullptr, 10));
    long tries = std::atol(argv[3]);
    int rockPercent = std::atoi(argv[4]);
    int tunnelPercent = std::atoi(argv[5]);
    size_t minMoves = std::strtoul(argv[6], nullptr, 10);
    size_t maxMoves = std::strtoul(argv[7], nullptr, 10);
    size_t maxStates = argc > 8 ? std::strtoul(argv[8], nullptr, 10) : 200000;
    int grassRocks = argc > 9 ? std::atoi(argv[9]) : 0;
    int minDead = argc > 10 ? std::atoi(argv[10]) : 0;
    for (long t = 0; t < tries; ++t) {
        Level level;
        level.title = "candidate " + std::to_string(t);
        for (int r = 0; r < Level::kRows; ++r)
            for (int c = 0; c < Level::kColumns; ++c) {
                int roll = static_cast<int>(rng() % 100);
                uint8_t code = Dirt;
                if (roll < rockPercent)
                    code = Rock;
                else if (roll < rockPercent + tunnelPercent)
                    code = Tunnel;
                level.cells[r][c] = r == 0 ? uint8_t(SkyTop) : r == 1 ? uint8_t(SkyBottom) : code;
            }
        level.dogColumn = static_cast<int32_t>(rng() % 20);
        level.dogRow = 1;
        level.boneColumn = static_cast<int32_t>(rng() % 20);
        level.boneRow = static_cast<int32_t>(4 + rng() % 11);
        level.cells[level.boneRow][level.boneColumn] = Dirt;
        // Half the time a rock waits two cells above a dug bone: passing
        // carelessly under it buries the bone.
        if (rng() % 2 == 0) {
            level.cells[level.boneRow][level.boneColumn] = Tunnel;
            level.cells[level.boneRow - 1][level.boneColumn] = Dirt;
            level.cells[level.boneRow - 2][level.boneColumn] = Rock;
        }
        for (int i = 0; i < grassRocks; ++i) {
            int32_t column = static_cast<int32_t>(rng() % 20);
            if (column != level.dogColumn) level.cells[1][column] = Rock;
        }
        SolveResult quick = solveWithin(start(level), maxStates);
        if (quick.outcome != SolveResult::Solved || quick.moves.size() < minMoves || quick.moves.size() > maxMoves)
            continue;
        Analysis a = analyse(level, maxStates);
        if (a.deadFirstMoves < minDead) continue;
        std::printf("== try %ld: ", t);
        report(a);
        std::printf("%s", levelToText(level).c_str());
        std::fflush(stdout);
    }
    return 0;
}

// Moves of a way that walk the grass: sideways along the ground line row,
// starting and ending on it.
int grassMoves(const Level& level, const std::vector<int32_t>& way) {
    RuleState g = start(level);
    int grass = 0;
    for (int32_t d : way) {
        const int32_t row = g.dogRow;
        if (playMove(g, d)) break;
        if (row == 1 && g.dogRow == 1 && (d == Left || d == Right)) ++grass;
    }
    return grass;
}

// Positions on the way offering a move the solver proves lost (at most stopAt).
int trapCount(const Level& level, int stopAt) {
    return traps::analyseFrom(start(level), 250000, 100000, stopAt).trapPositions;
}

// Hill-climbs from a drawn picture towards a fewest-moves target by adding
// and taking away loose stones in its plain dirt only, so the picture stays;
// a variant is kept only while the advisor could still answer it and the
// grass stays under a third of the way.
int grow(int argc, char** argv) {
    if (argc < 6) return 2;
    Level level;
    if (!readSource(argv[2], level)) return 2;
    std::mt19937 rng(std::strtoul(argv[3], nullptr, 10));
    const long tries = std::atol(argv[4]);
    const int target = std::atoi(argv[5]);
    const int mostStones = argc > 6 ? std::atoi(argv[6]) : 10;
    const int minTraps = argc > 7 ? std::atoi(argv[7]) : 3;
    const size_t mostPositions = 200000;
    std::vector<std::pair<int, int>> open;  // plain dirt cells of the picture
    for (int r = 3; r < Level::kRows; ++r)
        for (int c = 0; c < Level::kColumns; ++c)
            if (level.cells[r][c] == Dirt && !(c == level.boneColumn && r == level.boneRow) &&
                !(c == level.dogColumn && r == level.dogRow))
                open.push_back({c, r});
    auto score = [&](const Level& l, SolveResult& r) {
        r = solveWithin(start(l), mostPositions);
        if (r.outcome != SolveResult::Solved) return -1000;
        const int fewest = r.fewestMoves();
        if (grassMoves(l, r.moves) * 3 > fewest) return -500 + fewest;
        return fewest > target ? 2 * target - fewest : fewest;
    };
    SolveResult now;
    int current = score(level, now), added = 0, bestShown = -1;
    std::printf("start: score %d, fewest %d, %zu positions\n", current, now.fewestMoves(), now.positions);
    for (long t = 0; t < tries && !open.empty(); ++t) {
        Level next = level;
        int nextAdded = added;
        const int flips = 1 + int(rng() % 2);
        for (int f = 0; f < flips; ++f) {
            auto cell = open[rng() % open.size()];
            uint8_t& code = next.cells[cell.second][cell.first];
            nextAdded += code == Dirt ? 1 : -1;
            code = code == Dirt ? uint8_t(Rock) : uint8_t(Dirt);
        }
        if (nextAdded > mostStones) continue;
        SolveResult r;
        const int s = score(next, r);
        if (s < current) continue;
        level = next, added = nextAdded, current = s;
        if (s > bestShown && s >= std::min(20, target)) {
            const int found = trapCount(level, minTraps);
            if (found < minTraps) continue;
            bestShown = s;
            std::printf("== try %ld: fewest %d, %zu positions, %d stones added, traps %d+, grass %d\n", t,
                        r.fewestMoves(), r.positions, added, found, grassMoves(level, r.moves));
            std::printf("solution:");
            for (int32_t m : r.moves) std::printf(" %s", directionName(m));
            std::printf("\n%s", levelToText(level).c_str());
            std::fflush(stdout);
            if (s == target) break;
        }
    }
    return 0;
}

// A shortest way told move by move: where the dog stops, which stones fall
// and where they land, and whether the bone lies under a stone.
int traceFile(int, char** argv) {
    Level level;
    if (!readSource(argv[2], level)) return 2;
    RuleState g = start(level);
    const SolveResult best = solveWithin(g, 3000000);
    if (best.outcome != SolveResult::Solved) return 1;
    int n = 0;
    for (int32_t d : best.moves) {
        RuleState before = g;
        const bool won = playMove(g, d);
        std::printf("%2d %-5s -> (%d,%d)", ++n, directionName(d), g.dogColumn, g.dogRow);
        for (int c = 0; c < Level::kColumns; ++c)
            for (int r = 0; r < Level::kRows; ++r) {
                const bool was = before.board[r][c] <= Rock, is = g.board[r][c] <= Rock;
                if (was && !is) std::printf(" stone (%d,%d) falls", c, r);
                if (!was && is) std::printf(" lands (%d,%d)", c, r);
            }
        if (g.board[g.boneRow][g.boneColumn] <= Rock) std::printf(" BONE COVERED");
        std::printf("%s\n", won ? " wins" : "");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: tunnelwick-levelgen analyse SOURCE.txt...\n"
                     "       tunnelwick-levelgen play SOURCE.txt MOVE...\n"
                     "       tunnelwick-levelgen search SEED TRIES ROCK%% TUNNEL%% MINMOVES MAXMOVES\n"
                     "                              [MAXSTATES [GRASSROCKS [DEAD]]]\n"
                     "       tunnelwick-levelgen grow SOURCE.txt SEED TRIES TARGET [MOSTSTONES [TRAPS]]\n"
                     "       tunnelwick-levelgen trace SOURCE.txt\n");
        return 2;
    }
    if (std::strcmp(argv[1], "analyse") == 0) return analyseFiles(argc, argv);
    if (std::strcmp(argv[1], "search") == 0) return search(argc, argv);
    if (std::strcmp(argv[1], "play") == 0) return playFile(argc, argv);
    if (std::strcmp(argv[1], "grow") == 0) return grow(argc, argv);
    if (std::strcmp(argv[1], "trace") == 0) return traceFile(argc, argv);
    return 2;
}
