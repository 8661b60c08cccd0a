// Presses become moves: one per press, held arrows repeat every 250 ms unless refused, presses while the dog is busy dropped unless held.
#include "fixture.h"

// The clock the held keys repeat by: the simulated one.
unsigned long gameClockMs() { return harness::nowMs; }

namespace {

class PlayInput : public GameFixture {
protected:
    // The main loop: look, and when there is input handle it and rest 4 ms; otherwise wait 100 ms.
    void runFor(unsigned long ms) {
        const unsigned long end = harness::nowMs + ms;
        while (harness::nowMs < end && game.screenMode == Playing) {
            if (game.pollInput()) game.handleInput(), rest(4);
            else rest(100);
        }
    }
};

TEST_F(PlayInput, PressesAndHoldsCountAsThePlayerMeansThem) {
    struct Case {
        const char* what;
        std::vector<std::string> board;
        std::vector<Press> presses;
        int moves, column, row;
    };
    const Case cases[] = {
        {"a 20 ms tap slides once", {"", "", "d"}, {{KEY_RIGHT, 10, 30}}, 1, 19, 2},
        {"a tap between two looks is kept", {"", "D"}, {{KEY_RIGHT, 110, 150}}, 1, 1, 1},
        {"Up held 200 ms against the sky is one move", {"", "D"}, {{KEY_UP, 10, 210}}, 1, 0, 1},
        {"Right held against a rock, its press repeated, is one move", {"", "", "d#"}, {{KEY_RIGHT, 10, 160, true}}, 1, 0, 2},
        {"a 150 ms tap on the ground line walks one cell", {"", "D"}, {{KEY_RIGHT, 10, 160}}, 1, 1, 1},
        {"held 600 ms on the ground line: a move every 250 ms", {"", "D"}, {{KEY_RIGHT, 10, 610}}, 3, 3, 1},
        {"a refused move is not repeated, but pressed again it counts", {"", "", "d#"},
         {{KEY_RIGHT, 10, 700}, {KEY_RIGHT, 800, 830}}, 2, 0, 2},
        {"Up and Right together count two, the dog goes right", {"", "", "", "...d"}, {{KEY_UP, 10, 60}, {KEY_RIGHT, 10, 60}}, 2, 19, 3},
        {"Up and Down together: one move, up", {"", "", "", "...d"}, {{KEY_UP, 10, 60}, {KEY_DOWN, 10, 60}}, 1, 3, 1},
        {"Left and Right together: one move, right", {"", "", "", "...d"}, {{KEY_LEFT, 10, 60}, {KEY_RIGHT, 10, 60}}, 1, 19, 3},
        {"a press in the slide let go before its end is dropped", {"", "", "d"},
         {{KEY_RIGHT, 10, 30}, {KEY_DOWN, 200, 260}}, 1, 19, 2},
        {"a press in the slide still held at its end is played, and repeats until refused", {"", "", ".........d"},
         {{KEY_LEFT, 10, 30}, {KEY_DOWN, 200, 6000}}, 3, 0, 14},
        {"U in the slide is dropped too", {"", "", "d"}, {{KEY_RIGHT, 10, 30}, {KEY_U, 200, 230}}, 1, 19, 2},
        {"an arrow pressed in the restart question is no move", {"", "D"}, {{KEY_R, 10, 150}, {KEY_RIGHT, 200, 230}, {KEY_N, 300, 360}}, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setBoard(c.board);
        game.beginLevelPlay();
        for (const Press& p : c.presses) {
            for (unsigned long t = p.from; t < p.to; t += p.repeated ? 30 : p.to)
                harness::at(harness::nowMs + t, [k = p.key] { key[k] = -1, inputLatch::onKey(k); });
            harness::at(harness::nowMs + p.to, [k = p.key] { key[k] = 0, inputLatch::onKey(k | 0x80); });
        }
        runFor(7000);
        EXPECT_EQ(std::make_tuple(game.moveCount, game.dogColumn, game.dogRow, game.dogOffsetX, game.dogOffsetY),
                  std::make_tuple(c.moves, c.column, c.row, 0, 0));
    }
}

TEST_F(PlayInput, AQuickClickInTheEditorPaintsOnce) {
    setBoard({});
    game.screenMode = LevelEditor;
    game.selection = Rock;
    // Pressed and let go between two looks of the idle loop, the mouse moved away before the look.
    harness::at(30, [] {
        mouse_x = 5 * 32 + 3, mouse_y = 6 * 32 + 3, mouse_b = 1;
        inputLatch::onMouse(MOUSE_FLAG_LEFT_DOWN);
        mouse_x = 0, mouse_y = 0;
    });
    harness::at(50, [] { mouse_b = 0; });
    EXPECT_FALSE(game.pollInput());
    rest(100);
    ASSERT_TRUE(game.pollInput());
    game.handleInput();
    EXPECT_EQ(std::make_pair(game.board[6][5], game.board[0][0]), std::make_pair(uint8_t(Rock), uint8_t(SkyTop)));
    EXPECT_FALSE(game.pollInput()) << "the click was taken once";
}

}  // namespace
