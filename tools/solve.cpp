// tunnelwick-solve: proves levels winnable and finds their fewest moves.
//
//   tunnelwick-solve [--traps] LEVELFILE...
//
// For each file: the fewest moves and one winning sequence of arrow keys, or
// why the level cannot be won. With --traps, also how many positions on one
// shortest way offer a move that loses the level (level_traps.h).
// A move whose search from there is cut off counts as not losing. Exit status 0 when every level can be won, 1
// when one cannot (or the search gave up), 2 when a file cannot be read as a
// level.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "level_traps_game.h"
#include "rules/solver.h"
#include "storage/files.h"
#include "storage/level.h"

namespace {

// A search from a move off the shortest way that passes this many positions
// stops, and that move counts as not losing: a wrong move early in a long
// level can leave a much longer way whose search would take minutes.
const size_t kOtherStates = 100000;

bool isBlank(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }

// The game reads any file it can open, keeping the blank layout for whatever
// is missing; a level under proof must instead be complete. Empty when it is.
std::string checkComplete(const std::string& path, std::string& bytes) {
    // A level is under a kilobyte; a device or pipe named like one is no level.
    files::Outcome read = files::readRegular(path, 1 << 20, bytes);
    if (!read) return "cannot be read: " + read.reason;
    size_t at = bytes.find('\n');
    if (at == std::string::npos) return "has no title line";
    ++at;
    const char* names[] = {"dog column", "dog row", "bone column", "bone row"};
    const long limits[] = {20, 15, 20, 15};
    for (int i = 0; i < 4; ++i) {
        while (at < bytes.size() && isBlank(bytes[at])) ++at;
        size_t first = at;
        if (at < bytes.size() && (bytes[at] == '-' || bytes[at] == '+')) ++at;
        size_t digits = at;
        while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9') ++at;
        if (at == digits || at - digits > 9) return std::string("has no readable ") + names[i];
        long value = std::atol(bytes.substr(first, at - first).c_str());
        if (value < 0 || value >= limits[i]) return std::string("has its ") + names[i] + " outside the board";
    }
    int cells = 0;
    for (; at < bytes.size(); ++at) {
        if (isBlank(bytes[at])) continue;
        if (cells == 300) return "has bytes after its 300 cells";
        ++cells;
    }
    if (cells < 300) return "ends after " + std::to_string(cells) + " of its 300 cells";
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    const bool withTraps = argc > 1 && std::string(argv[1]) == "--traps";
    if (argc < 2 + withTraps) {
        std::fprintf(stderr, "usage: tunnelwick-solve [--traps] LEVELFILE...\n");
        return 2;
    }
    bool unreadable = false, unwinnable = false;
    size_t totalStates = 0;
    auto started = std::chrono::steady_clock::now();
    for (int i = 1 + withTraps; i < argc; ++i) {
        const std::string path = argv[i];
        std::string bytes;
        std::string problem = checkComplete(path, bytes);
        if (!problem.empty()) {
            std::printf("%s: unreadable: the file %s\n", path.c_str(), problem.c_str());
            unreadable = true;
            continue;
        }
        Level level;
        readLevel(bytes, level);
        RuleState start;
        placeLevel(level, start);
        SolveResult result = solve(start);
        totalStates += result.positions;
        std::printf("%s \"%s\": ", path.c_str(), level.title.c_str());
        if (result.outcome == SolveResult::Solved) {
            std::printf("fewest moves %zu:", result.moves.size());
            for (int32_t move : result.moves) std::printf(" %s", directionName(move));
            std::printf("\n");
            if (withTraps) {
                traps::Report t = traps::analyseFrom(start, 2000000, kOtherStates);
                std::printf("    traps: %d of the %zu positions on this way have a losing move (%d such moves)\n",
                            t.trapPositions, t.way.size(), t.losingMoves);
            }
        } else if (result.outcome == SolveResult::Unwinnable) {
            std::printf("cannot be won: %s\n", reasonText(result.reason));
            unwinnable = true;
        } else {
            std::printf("not proved: %s\n", reasonText(result.reason));
            unwinnable = true;
        }
        std::printf("    %zu positions in %.3f s\n", result.positions, result.seconds);
        std::fflush(stdout);
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d level file(s), %zu positions in %.2f s (%.0f positions/s)\n", argc - 1 - withTraps, totalStates,
                seconds, seconds > 0 ? totalStates / seconds : 0.0);
    if (unreadable) return 2;
    return unwinnable ? 1 : 0;
}
