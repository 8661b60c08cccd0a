// The level reader on any bytes: 20 by 15 with dog and bone, survives save and reread, every move stays on the board, and it draws.
#include <array>

#include "fuzz_support.h"
#include "rules/solver.h"

// Title (a CR stored as a space, as the writer does), positions, cells.
static std::string snapshot(const Game& g) {
    FUZZ_CHECK(g.boardWidth == 20 && g.boardHeight == 15 && g.dogColumn >= 0 && g.dogColumn < 20 && g.dogRow >= 0 &&
                   g.dogRow < 15 && g.boneColumn >= 0 && g.boneColumn < 20 && g.boneRow >= 0 && g.boneRow < 15,
               "board %dx%d, dog %d,%d or bone %d,%d off it", g.boardWidth, g.boardHeight, g.dogColumn, g.dogRow,
               g.boneColumn, g.boneRow);
    std::string s = g.levelTitle + '\n';
    for (char& c : s) c = c == '\r' ? ' ' : c;
    for (int32_t v : {g.dogColumn, g.dogRow, g.boneColumn, g.boneRow}) s += std::to_string(v) + ' ';
    return s.append(reinterpret_cast<const char*>(g.board), 300);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Game& game = fuzz::game();
    fuzz::writeFile("levels/fuzz.lvl", std::string(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(game.loadLevelFile("levels/fuzz.lvl"), "a regular file must read");
    const std::string read = snapshot(game);
    game.setLevelNumber(1);
    std::string why;
    FUZZ_CHECK(game.saveLevel(&why), "saving failed: %s", why.c_str());
    FUZZ_CHECK(game.loadLevel(1) && snapshot(game) == read, "the level changed on a round trip");
    game.screenMode = Playing;  // each arrow once to its end, in an order the size picks
    game.selection = None;
    for (int i = 0; i < 4 && game.screenMode == Playing; ++i) {
        playMove(game, std::array<int32_t, 4>{Down, Right, Left, Up}[(i + size) % 4]);
        FUZZ_CHECK(game.screenMode != Playing || (game.selection == None && !game.rockFalling), "a move that never ends");
        snapshot(game);
    }
    game.redrawNeeded = true;
    game.drawScreen(screen);
    return 0;
}
