// The level reader on any bytes: a level it plays is 20 by 15 with dog and bone on it, survives save and reread, and every move stays on the board.
#include <array>

#include "fuzz_support.h"
#include "rules/solver.h"
#include "storage/level.h"

// Title (a CR stored as a space, as the writer does), positions, cells.
static std::string snapshot(const Session& g) {
    const RuleState& b = g.rules;
    FUZZ_CHECK(b.onBoard(b.dogColumn, b.dogRow) && b.onBoard(b.boneColumn, b.boneRow), "dog %d,%d or bone %d,%d off the board",
               b.dogColumn, b.dogRow, b.boneColumn, b.boneRow);
    std::string s = g.title + '\n';
    for (char& c : s) c = c == '\r' ? ' ' : c;
    for (int32_t v : {b.dogColumn, b.dogRow, b.boneColumn, b.boneRow}) s += std::to_string(v) + ' ';
    return s.append(reinterpret_cast<const char*>(b.board), 300);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Session& game = fuzz::session();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile("levels/1.lvl", bytes);
    Level level;
    const bool placed = readLevel(bytes, level);
    const bool played = game.loadLevel(1);
    FUZZ_CHECK(played == (placed && size <= 64 * 1024) && played == game.playable(),
               "a level plays exactly when the dog and the bone are placed on the board");
    if (!played) return 0;
    const std::string read = snapshot(game);
    std::string why;
    FUZZ_CHECK(game.save(why), "saving failed: %s", why.c_str());
    FUZZ_CHECK(game.loadLevel(1) && snapshot(game) == read, "the level changed on a round trip");
    // Each arrow once to its end, in an order the size picks.
    for (int i = 0; i < 4; ++i) {
        if (playMove(game.rules, std::array<int32_t, 4>{Down, Right, Left, Up}[(i + size) % 4])) break;
        FUZZ_CHECK(game.rules.selection == None && !game.rules.rockFalling, "a move that never ends");
        snapshot(game);
    }
    return 0;
}
