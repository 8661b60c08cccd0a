// The level editor's input step: the brush cycle, painting and placing with
// the mouse, and the command keys with their prompts and messages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <string>
#include <vector>

#include "harness.h"
#include "play/tiles.h"
#include "shell/game.h"

namespace {

// Down now (so the step sees it), released after ms.
void pressFor(int scancode, unsigned long ms) {
    key[scancode] = -1;
    harness::at(harness::nowMs + ms, [scancode] { key[scancode] = 0; });
}

void clickFor(int x, int y, unsigned long ms, int buttons = 1) {
    mouse_x = x;
    mouse_y = y;
    mouse_b = buttons;
    harness::at(harness::nowMs + ms, [] { mouse_b = 0; });
}

class Editor : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};

    Editor() {
        mkdir("levels", 0755);
        // Distinct pictures, so that the pointer's picture can be told apart.
        for (int i = 0; i < 256; ++i)
            if (!game.tileImages[i]) {
                game.tileImages[i] = create_bitmap(32, 32);
                owned.push_back(game.tileImages[i]);
            }
        game.resetBoard(1);
        game.screenMode = LevelEditor;
        game.selection = DogTile;
    }
    ~Editor() override {
        for (BITMAP* b : owned) {
            for (auto& slot : game.tileImages)
                if (slot == b) slot = nullptr;
            destroy_bitmap(b);
        }
    }
    std::vector<BITMAP*> owned;

    int step(int scancode) {
        pressFor(scancode, 60);
        game.handleEditorInput();
        return game.selection;
    }

    // S, L and E act on every step while held: one step, then let go.
    void command(int scancode) {
        key[scancode] = -1;
        game.handleEditorInput();
        key[scancode] = 0;
    }

    // A command key that opens a prompt: the answer is typed once the
    // prompt is open and Escape held after it.
    void answerPrompt(int scancode, const std::string& answer) {
        pressFor(scancode, 20);
        harness::at(harness::nowMs + 1, [answer] { harness::type(answer); });
        harness::holdKey(KEY_ESC, 150, 250);
        game.handleEditorInput();
    }
};

TEST_F(Editor, RightWalksTheBrushCycleAndWrapsToTheFirst) {
    const std::vector<int> forward = {0, 1, 2, 16, 17, 19, 21, 254, 255, 0};
    for (int want : forward) {
        game.redrawNeeded = false;
        ASSERT_EQ(step(KEY_RIGHT), want);
        EXPECT_TRUE(game.redrawNeeded);
        EXPECT_EQ(key[KEY_RIGHT], 0);  // one press, one brush
    }
}

TEST_F(Editor, LeftWalksTheBrushCycleBackwardsAndWraps) {
    const std::vector<int> backward = {254, 21, 19, 17, 16, 2, 1, 0, 255, 254};
    for (int want : backward) ASSERT_EQ(step(KEY_LEFT), want);
}

TEST_F(Editor, PointerShowsTheBrushWithTheMarkerForDirt) {
    game.selection = SkyTop;
    step(KEY_RIGHT);
    ASSERT_EQ(game.selection, Dirt);
    EXPECT_EQ(harness::mouseSprite, game.tileImages[DirtMarker]);
    step(KEY_RIGHT);
    EXPECT_EQ(harness::mouseSprite, game.tileImages[Tunnel]);
    game.selection = SkyBottomDestroyed;
    step(KEY_RIGHT);
    EXPECT_EQ(harness::mouseSprite, game.tileImages[BoneTile]);
    step(KEY_LEFT);
    EXPECT_EQ(harness::mouseSprite, game.tileImages[SkyBottomDestroyed]);

    // Leaving gives back the default arrow.
    pressFor(KEY_ESC, 30);
    game.handleEditorInput();
    EXPECT_EQ(harness::mouseSprite, nullptr);
}

TEST_F(Editor, SteppingIgnoresTheMouse) {
    game.selection = Rock;
    uint8_t before = game.board[5][5];
    clickFor(5 * 32, 5 * 32, 100);
    step(KEY_RIGHT);
    EXPECT_EQ(game.selection, SkyTop);
    EXPECT_EQ(game.board[5][5], before);
}

TEST_F(Editor, LeftButtonPaintsTheBrushIntoTheCell) {
    game.selection = Tunnel;
    game.redrawNeeded = false;
    clickFor(3 * 32 + 31, 6 * 32, 100);
    game.handleEditorInput();
    EXPECT_EQ(game.board[6][3], Tunnel);
    EXPECT_TRUE(game.redrawNeeded);
    EXPECT_EQ(mouse_b, 0);  // waited for the button's release

    // The far corner pixel is the last cell.
    game.selection = BlackRock;
    clickFor(639, 479, 50);
    game.handleEditorInput();
    EXPECT_EQ(game.board[14][19], BlackRock);
}

TEST_F(Editor, DogAndBoneBrushesOnlyMove) {
    game.board[7][4] = Rock;
    game.selection = DogTile;
    clickFor(4 * 32 + 5, 7 * 32 + 5, 50);
    game.handleEditorInput();
    EXPECT_EQ(game.dogColumn, 4);
    EXPECT_EQ(game.dogRow, 7);
    EXPECT_EQ(game.board[7][4], Rock);  // the dog stands on the rock's cell

    game.board[10][12] = Dirt;
    game.selection = BoneTile;
    clickFor(12 * 32, 10 * 32, 50);
    game.handleEditorInput();
    EXPECT_EQ(game.boneColumn, 12);
    EXPECT_EQ(game.boneRow, 10);
    EXPECT_EQ(game.board[10][12], Dirt);
    EXPECT_EQ(game.dogColumn, 4);
}

TEST_F(Editor, ClicksOffTheBoardOrWithOtherButtonsDoNothing) {
    game.selection = Tunnel;
    uint8_t cells[15][20];
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 20; ++c) cells[r][c] = game.board[r][c];
    int dogColumn = game.dogColumn;

    const int spots[][2] = {{100, 480}, {640, 100}, {-1, 100}, {100, -1}, {-31, -31}};
    for (auto& spot : spots) {
        game.redrawNeeded = false;
        clickFor(spot[0], spot[1], 50);
        game.handleEditorInput();
        EXPECT_FALSE(game.redrawNeeded) << spot[0] << "," << spot[1];
    }
    clickFor(100, 100, 50, 2);  // right button
    game.handleEditorInput();
    clickFor(100, 100, 50, 4);  // middle button
    game.handleEditorInput();

    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 20; ++c) ASSERT_EQ(game.board[r][c], cells[r][c]) << r << "," << c;
    game.selection = DogTile;
    clickFor(-5, 40, 50);
    game.handleEditorInput();
    EXPECT_EQ(game.dogColumn, dogColumn);
}

TEST_F(Editor, EscapeLeavesToTheMenuAfterALastStroke) {
    game.selection = Rock;
    game.board[4][4] = Dirt;
    clickFor(4 * 32, 4 * 32, 50);
    pressFor(KEY_ESC, 100);
    game.handleEditorInput();
    EXPECT_EQ(game.screenMode, MainMenu);
    EXPECT_EQ(game.selection, 0);
    EXPECT_EQ(game.board[4][4], Rock);
    EXPECT_TRUE(game.redrawNeeded);
    EXPECT_EQ(key[KEY_ESC], 0);  // the menu must not see it
}

TEST_F(Editor, NumberFromThePromptAsAtoiReadsIt) {
    struct Case {
        const char* typed;
        int32_t number;  // 0: refused
    };
    const Case cases[] = {
        {"12abc", 12},         {"-3", -3},
        {"  +7", 7},           {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"abc", 0},            {"0", 0},
        {"", 0},               {"2147483648", 0},
        {"-2147483649", 0},    {"99999999999999999999", 0},
        {"- 4", 0},
    };
    for (const Case& c : cases) {
        game.setLevelNumber(5);
        harness::messages.clear();
        answerPrompt(KEY_N, c.typed);
        if (c.number == 0) {
            EXPECT_EQ(game.levelNumber, 5) << c.typed;
            ASSERT_EQ(harness::messages.size(), 1u) << c.typed;
            EXPECT_EQ(harness::messages[0], "Invalid level # input");
        } else {
            EXPECT_EQ(game.levelNumber, c.number) << c.typed;
            EXPECT_TRUE(harness::messages.empty()) << c.typed;
        }
        EXPECT_EQ(key[KEY_ESC], 0);  // the prompt's Escape does not leave the editor
        EXPECT_EQ(game.screenMode, LevelEditor);
    }
}

TEST_F(Editor, TitleFromThePromptEmptyKeepsTheOld) {
    game.setLevelTitle("Old title");
    answerPrompt(KEY_T, "");
    EXPECT_EQ(game.levelTitle, "Old title");
    ASSERT_EQ(harness::messages.size(), 1u);
    EXPECT_EQ(harness::messages[0], "Previous level name used.");

    answerPrompt(KEY_T, "  Two  words ");
    EXPECT_EQ(game.levelTitle, "  Two  words ");
    EXPECT_EQ(harness::messages.size(), 1u);
}

TEST_F(Editor, SaveReloadAndClear) {
    game.setLevelNumber(8);
    game.setLevelTitle("Painted");
    game.board[9][9] = Tunnel;
    command(KEY_S);
    ASSERT_TRUE(dir.exists("levels/8.lvl"));

    game.board[9][9] = Rock;
    command(KEY_L);
    EXPECT_EQ(game.board[9][9], Tunnel);
    EXPECT_EQ(game.levelTitle, "Painted");

    // Reloading a number with no file leaves the board as it is.
    game.setLevelNumber(9);
    game.board[9][9] = Rock;
    command(KEY_L);
    EXPECT_EQ(game.board[9][9], Rock);
    EXPECT_EQ(game.levelNumber, 9);

    command(KEY_E);
    EXPECT_EQ(game.board[9][9], Dirt);
    EXPECT_EQ(game.board[1][0], SkyBottom);
    EXPECT_EQ(game.levelTitle, "Painted");
}

}  // namespace
