// The level reader on any bytes: the board stays 20 by 15 with the dog and
// the bone on it, what was read survives a save and a second read unchanged,
// every move played on it ends on the board, and it draws.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "play/solver.h"

namespace {

// Title (a CR stored as a space, as the writer does), positions, cells.
std::string snapshot(const Game& g) {
    std::string s = g.levelTitle + '\n';
    for (char& c : s)
        if (c == '\r') c = ' ';
    FUZZ_CHECK(g.boardWidth == 20 && g.boardHeight == 15, "board %dx%d", g.boardWidth, g.boardHeight);
    FUZZ_CHECK(g.dogColumn >= 0 && g.dogColumn < 20 && g.dogRow >= 0 && g.dogRow < 15 && g.boneColumn >= 0 &&
                   g.boneColumn < 20 && g.boneRow >= 0 && g.boneRow < 15,
               "dog %d,%d or bone %d,%d off the board", g.dogColumn, g.dogRow, g.boneColumn, g.boneRow);
    for (int32_t v : {g.dogColumn, g.dogRow, g.boneColumn, g.boneRow}) s += std::to_string(v) + ' ';
    for (int r = 0; r < 15; ++r) s.append(reinterpret_cast<const char*>(g.board[r]), 20);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Game& game = fuzz::game();
    fuzz::writeFile("levels/fuzz.lvl", std::string(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(game.loadLevelFile("levels/fuzz.lvl"), "a regular file must read");
    const std::string read = snapshot(game);
    game.setLevelNumber(1);
    std::string why;
    FUZZ_CHECK(game.saveLevel(&why), "saving failed: %s", why.c_str());
    FUZZ_CHECK(game.loadLevel(1) && snapshot(game) == read, "the level changed on a round trip");

    // Each arrow once to its end; the input's size picks the order.
    static const int32_t arrows[4] = {Down, Right, Left, Up};
    game.screenMode = Playing;
    game.selection = None;
    for (int i = 0; i < 4 && game.screenMode == Playing; ++i) {
        playMove(game, arrows[(i + size) % 4]);
        FUZZ_CHECK(game.screenMode != Playing || (game.selection == None && !game.rockFalling), "a move that never ends");
        snapshot(game);
    }
    game.redrawNeeded = true;
    game.drawScreen(screen);
    return 0;
}
