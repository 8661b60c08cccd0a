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
//   tunnelwick-levelgen tune SOURCE.txt SEED TRIES MINMOVES MAXMOVES TRAPS
//       a drawn picture with '?' where a stone may go: prints the choices of
//       stones that give the wanted fewest moves and traps
//   tunnelwick-levelgen trapify SOURCE.txt MINMOVES MAXMOVES TRAPS
//       adds nesting boxes beside the shortest way until TRAPS positions on
//       it offer a move that shuts the dog in
//   tunnelwick-levelgen dogs SOURCE.txt [MAXSTATES [COLUMN]]
//       the fewest moves for every start of the dog on the ground line
#include <allegro.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "level_traps_game.h"
#include "play/board_text.h"
#include "play/solver.h"
#include "play/tiles.h"
#include "shell/game.h"

namespace {

void apply(Game& g, const LevelText& level) {
    g.resetBoard(0);
    for (int r = 0; r < LevelText::kRows; ++r)
        for (int c = 0; c < LevelText::kColumns; ++c) g.board[r][c] = level.cells[r][c];
    g.dogColumn = level.dogColumn;
    g.dogRow = level.dogRow;
    g.boneColumn = level.boneColumn;
    g.boneRow = level.boneRow;
    g.screenMode = Playing;
    g.selection = None;
    g.recordWins = false;
}

std::string outcomeText(const SolveResult& r) {
    if (r.outcome == SolveResult::Solved) return std::to_string(r.moves.size());
    if (r.outcome == SolveResult::GaveUp) return "?";
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

Analysis analyse(Game& g, const LevelText& level, size_t maxStates) {
    Analysis a;
    apply(g, level);
    a.best = solveLevel(g, maxStates);
    if (a.best.outcome != SolveResult::Solved) return a;
    for (int32_t d : {Down, Left, Right, Up}) {
        apply(g, level);
        std::vector<std::string> before = boardRows(g);
        int32_t column = g.dogColumn, row = g.dogRow;
        std::string what;
        if (playMove(g, d)) {
            what = "win";
        } else if (boardRows(g) == before && g.dogColumn == column && g.dogRow == row) {
            what = "-";
        } else {
            g.moveCount = 0;
            SolveResult rest = solveLevel(g, maxStates);
            what = outcomeText(rest);
            if (rest.outcome != SolveResult::Solved || rest.moves.size() + 1 > a.best.moves.size())
                ++a.wrongFirstMoves;
            if (rest.outcome == SolveResult::Unwinnable) ++a.deadFirstMoves;
        }
        a.firstMoves += std::string(" ") + directionName(d) + ":" + what;
    }
    return a;
}

void report(const Analysis& a) {
    std::printf("fewest %s, %zu positions, first moves%s, %d wrong, %d dead\n",
                outcomeText(a.best).c_str(), a.best.statesExplored, a.firstMoves.c_str(),
                a.wrongFirstMoves, a.deadFirstMoves);
    if (a.best.outcome == SolveResult::Solved) {
        std::printf("solution:");
        for (int32_t m : a.best.moves) std::printf(" %s", directionName(m));
        std::printf("\n");
    }
}

int analyseFiles(Game& g, int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        LevelText level;
        std::string error;
        if (!parseLevelText(s.str(), level, error)) {
            std::printf("%s: %s\n", argv[i], error.c_str());
            continue;
        }
        std::printf("%s \"%s\": ", argv[i], level.title.c_str());
        report(analyse(g, level, 3000000));
        apply(g, level);
        traps::Report t = traps::analyseLoaded(g, 3000000, 30000);
        std::printf("traps: %d positions, %d moves, at:", t.trapPositions, t.losingMoves);
        for (int at : t.trapsAt) std::printf(" %d", at);
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}

int playFile(Game& g, int argc, char** argv) {
    std::ifstream in(argv[2], std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    LevelText level;
    std::string error;
    if (!parseLevelText(s.str(), level, error)) {
        std::printf("%s: %s\n", argv[2], error.c_str());
        return 2;
    }
    apply(g, level);
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
    SolveResult rest = solveLevel(g, 3000000);
    std::printf("from here: %s%s\n", outcomeText(rest).c_str(),
                rest.reason.empty() ? "" : (" (" + rest.reason + ")").c_str());
    return 0;
}

int search(Game& g, int argc, char** argv) {
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
        LevelText level;
        level.title = "candidate " + std::to_string(t);
        for (int r = 0; r < LevelText::kRows; ++r)
            for (int c = 0; c < LevelText::kColumns; ++c) {
                int roll = static_cast<int>(rng() % 100);
                uint8_t code = Dirt;
                if (roll < rockPercent) code = Rock;
                else if (roll < rockPercent + tunnelPercent) code = Tunnel;
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
        apply(g, level);
        SolveResult quick = solveLevel(g, maxStates);
        if (quick.outcome != SolveResult::Solved || quick.moves.size() < minMoves ||
            quick.moves.size() > maxMoves)
            continue;
        Analysis a = analyse(g, level, maxStates);
        if (a.deadFirstMoves < minDead) continue;
        std::printf("== try %ld: ", t);
        report(a);
        std::printf("%s", levelToText(level).c_str());
        std::fflush(stdout);
    }
    return 0;
}

// A drawn picture with '?' where a stone may go: tries random choices of
// those stones (and of the dog's column on the ground line when the source
// marks it with a trailing '*' on the title line) and prints those whose
// fewest moves lie in MIN to MAX with at least TRAPS positions with a
// losing move on the way.
int tune(Game& g, int argc, char** argv) {
    if (argc < 8) return 2;
    std::ifstream in(argv[2], std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    bool moveDog = false;
    size_t eol = text.find('\n');
    if (eol != std::string::npos && eol > 0 && text[eol - 1] == '*') {
        moveDog = true;
        text.erase(eol - 1, 1);
    }
    std::vector<std::pair<int, int>> maybe;
    {
        std::istringstream lines(text);
        std::string line;
        int row = -2;
        while (std::getline(lines, line)) {
            ++row;
            size_t bar = line.find('|');
            for (size_t i = bar == std::string::npos ? 0 : bar + 1; i < line.size(); ++i)
                if (line[i] == '?') maybe.push_back({row, static_cast<int>(i - (bar == std::string::npos ? 0 : bar + 1))});
        }
    }
    for (char& ch : text)
        if (ch == '?') ch = '.';
    LevelText base;
    std::string error;
    if (!parseLevelText(text, base, error)) {
        std::printf("%s\n", error.c_str());
        return 2;
    }
    std::mt19937 rng(std::strtoul(argv[3], nullptr, 10));
    long tries = std::atol(argv[4]);
    size_t minMoves = std::strtoul(argv[5], nullptr, 10), maxMoves = std::strtoul(argv[6], nullptr, 10);
    int minTraps = std::atoi(argv[7]);
    for (long t = 0; t < tries; ++t) {
        LevelText level = base;
        int percent = 10 + static_cast<int>(rng() % 60);
        for (auto& m : maybe)
            if (static_cast<int>(rng() % 100) < percent) level.cells[m.first][m.second] = Rock;
        if (moveDog && rng() % 2) {
            level.dogColumn = static_cast<int32_t>(rng() % 20);
            level.dogRow = 1;
        }
        apply(g, level);
        SolveResult quick = solveLevel(g, 120000);
        if (quick.outcome != SolveResult::Solved || quick.moves.size() < minMoves ||
            quick.moves.size() > maxMoves)
            continue;
        traps::Report tr = traps::analyseLoaded(g, 120000, 15000);
        if (tr.trapPositions < minTraps) continue;
        std::printf("== try %ld: fewest %zu, %zu positions, traps %d (%d moves) at", t, quick.moves.size(),
                    quick.statesExplored, tr.trapPositions, tr.losingMoves);
        for (int at : tr.trapsAt) std::printf(" %d", at);
        std::printf("\nsolution:");
        for (int32_t m : quick.moves) std::printf(" %s", directionName(m));
        std::printf("\n%s", levelToText(level).c_str());
        std::fflush(stdout);
    }
    return 0;
}

// Cells a way digs or passes through, from the level's start.
std::vector<std::pair<int, int>> wayCells(Game& g, const LevelText& level, const std::vector<int32_t>& way) {
    apply(g, level);
    std::vector<std::pair<int, int>> cells{{g.dogColumn, g.dogRow}};
    for (int32_t d : way) {
        int c = g.dogColumn, r = g.dogRow;
        bool won = playMove(g, d);
        int dc = d == Right ? 1 : d == Left ? -1 : 0, dr = d == Down ? 1 : d == Up ? -1 : 0;
        int ec = won ? level.boneColumn : g.dogColumn, er = won ? level.boneRow : g.dogRow;
        while (c != ec || r != er) {
            c += dc;
            r += dr;
            cells.push_back({c, r});
            if (c < 0 || c > 19 || r < 0 || r > 14) break;
        }
        if (won) break;
    }
    return cells;
}

// Adds nesting boxes: at the end of a sideways slide the way does not take,
// a roof, a floor and a loose stone over the way in, so that the slide
// shuts the dog in. Keeps a box only when the fewest moves stay in range and
// the trap count grows. Prints the result as a source.
int trapify(Game& g, int argc, char** argv) {
    if (argc < 6) return 2;
    std::ifstream in(argv[2], std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    LevelText level;
    std::string error;
    if (!parseLevelText(s.str(), level, error)) {
        std::printf("%s\n", error.c_str());
        return 2;
    }
    size_t minMoves = std::strtoul(argv[3], nullptr, 10), maxMoves = std::strtoul(argv[4], nullptr, 10);
    int needed = std::atoi(argv[5]);
    auto measure = [&](const LevelText& l, SolveResult& best) {
        apply(g, l);
        best = solveLevel(g, 600000);
        if (best.outcome != SolveResult::Solved || best.moves.size() < minMoves || best.moves.size() > maxMoves)
            return -1;
        return traps::analyseLoaded(g, 600000, 20000).trapPositions;
    };
    SolveResult best;
    int have = measure(level, best);
    std::printf("start: fewest %zu, traps %d\n", best.moves.size(), have);
    for (int round = 0; round < 8 && best.outcome == SolveResult::Solved && have < needed; ++round) {
        std::vector<std::pair<int, int>> used = wayCells(g, level, best.moves);
        auto isUsed = [&](int c, int r) {
            for (auto& u : used)
                if (u.first == c && u.second == r) return true;
            return c == level.boneColumn && r == level.boneRow;
        };
        bool improved = false;
        apply(g, level);
        for (size_t i = 0; i < best.moves.size() && !improved; ++i) {
            traps::GameQuestions q{g, 0};
            traps::Snapshot here = q.take();
            for (int32_t d : {Left, Right, Down}) {
                if (d == best.moves[i] || here.dogRow < 2) continue;
                q.put(here);
                if (playMove(g, d)) continue;
                if (d == Down) {
                    // A stone over the dog follows it down into a narrow hole.
                    const int x = here.dogColumn, end = g.dogRow;
                    for (int sr = end; sr > here.dogRow && !improved; --sr) {
                        std::vector<std::pair<int, int>> add;
                        if (!isRock(here.cells[here.dogRow - 1][x])) add.push_back({x, here.dogRow - 1});
                        if (x > 0) add.push_back({x - 1, sr});
                        if (x < 19) add.push_back({x + 1, sr});
                        if (sr < 14) add.push_back({x, sr + 1});
                        bool ok = true;
                        for (auto& a : add) ok = ok && !isUsed(a.first, a.second);
                        if (!ok) continue;
                        LevelText tried = level;
                        for (auto& a : add) tried.cells[a.second][a.first] = BlackRock;
                        SolveResult b;
                        int t = measure(tried, b);
                        std::printf("  hole at %d,%d after move %zu: fewest %zu traps %d\n", x, sr, i, b.moves.size(), t);
                        std::fflush(stdout);
                        if (t > have) {
                            level = tried;
                            best = b;
                            have = t;
                            improved = true;
                        }
                    }
                    if (improved) break;
                    continue;
                }
                const int endColumn = g.dogColumn, pr = g.dogRow;
                if (endColumn == here.dogColumn) continue;
                const int step = d == Left ? -1 : 1;
                // The box may stand anywhere along the slide: a stone beyond
                // it ends the slide there.
                for (int pc = endColumn; pc != here.dogColumn && !improved; pc -= step) {
                    int ec = pc - step;
                    std::vector<std::pair<int, int>> add{{pc, pr - 1}, {ec, pr - 1}};
                    if (pr < 14) add.push_back({pc, pr + 1});
                    if (pc != endColumn) add.push_back({pc + step, pr});
                    bool ok = pr - 1 >= 1;  // a stone may stand on the ground line
                    for (auto& a : add) ok = ok && !isUsed(a.first, a.second);
                    if (!ok) continue;
                    LevelText tried = level;
                    for (auto& a : add)
                        tried.cells[a.second][a.first] = a.second == pr - 1 && a.first == ec ? Rock : BlackRock;
                    SolveResult b;
                    int t = measure(tried, b);
                    std::printf("  box at %d,%d after move %zu: fewest %zu traps %d\n", pc, pr, i, b.moves.size(), t);
                    std::fflush(stdout);
                    if (t > have) {
                        level = tried;
                        best = b;
                        have = t;
                        improved = true;
                    }
                }
                if (improved) break;
            }
            q.put(here);
            playMove(g, best.moves[i]);
        }
        if (!improved) break;
    }
    std::printf("result: fewest %zu, traps %d\nsolution:", best.moves.size(), have);
    for (int32_t m : best.moves) std::printf(" %s", directionName(m));
    std::printf("\n%s", levelToText(level).c_str());
    return 0;
}

// The fewest moves with the dog starting in each column of the ground line.
int dogs(Game& g, int argc, char** argv) {
    std::ifstream in(argv[2], std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    LevelText level;
    std::string error;
    if (!parseLevelText(s.str(), level, error)) return 2;
    size_t bound = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 300000;
    const int only = argc > 4 ? std::atoi(argv[4]) : -1;  // -1: every column
    for (int c = 0; c < 20; ++c) {
        if (only >= 0 && c != only) continue;
        if (level.cells[1][c] != SkyBottom && level.cells[1][c] != SkyBottomDestroyed) continue;
        level.dogColumn = c;
        level.dogRow = 1;
        apply(g, level);
        SolveResult r = solveLevel(g, bound);
        std::printf("dog %d: %s (%zu)", c, outcomeText(r).c_str(), r.statesExplored);
        for (int32_t m : r.moves) std::printf(" %s", directionName(m));
        std::printf("\n");
        std::fflush(stdout);
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
                     "                              [MAXSTATES [GRASSROCKS [DEAD]]]\n");
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return 2;
    set_color_depth(32);
    std::atomic<bool> quit{false};
    Game game(&quit);
    if (std::strcmp(argv[1], "analyse") == 0) return analyseFiles(game, argc, argv);
    if (std::strcmp(argv[1], "search") == 0) return search(game, argc, argv);
    if (std::strcmp(argv[1], "play") == 0) return playFile(game, argc, argv);
    if (std::strcmp(argv[1], "tune") == 0) return tune(game, argc, argv);
    if (std::strcmp(argv[1], "trapify") == 0) return trapify(game, argc, argv);
    if (std::strcmp(argv[1], "dogs") == 0) return dogs(game, argc, argv);
    return 2;
}
