// The level editor's input step: the brush cycle, painting and placing with
// the mouse, and the command keys with their prompts and messages.
#include <string>
#include <vector>

#include "level_fixture.h"
#include "play/tiles.h"

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

std::vector<uint8_t> cells(const Game& g) {
    std::vector<uint8_t> all;
    for (int n = 0; n < 300; ++n) all.push_back(g.board[n / 20][n % 20]);
    return all;
}

class Editor : public level_test::LevelFixture {
protected:
    Editor() {
        // Distinct pictures (the game destroys them), so that the pointer's
        // picture can be told apart.
        for (auto& slot : game.tileImages)
            if (!slot) slot = create_bitmap(32, 32);
        game.resetBoard(1);
        game.screenMode = LevelEditor;
        game.selection = DogTile;
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

TEST_F(Editor, ArrowsWalkTheBrushCycleBothWaysWithThePointerFollowing) {
    // A click held while stepping paints nothing.
    std::vector<uint8_t> before = cells(game);
    clickFor(5 * 32, 5 * 32, 100);
    const struct {
        int scancode;
        std::vector<int> brushes;
    } walks[] = {
        {KEY_RIGHT, {0, 1, 2, 16, 17, 19, 21, 254, 255, 0}},
        {KEY_LEFT, {255, 254, 21, 19, 17, 16, 2, 1, 0, 255}},
    };
    for (const auto& walk : walks) {
        for (int want : walk.brushes) {
            SCOPED_TRACE(want);
            game.redrawNeeded = false;
            pressFor(walk.scancode, 60);
            game.handleEditorInput();
            ASSERT_EQ(game.selection, want);
            EXPECT_TRUE(game.redrawNeeded);
            EXPECT_EQ(key[walk.scancode], 0);  // one press, one brush
            // The dirt picture is all mask colour: its marker stands in.
            EXPECT_EQ(harness::mouseSprite, game.tileImages[want == Dirt ? DirtMarker : want]);
        }
    }
    EXPECT_EQ(cells(game), before);
}

TEST_F(Editor, LeftButtonPaintsTheBrushButTheDogAndBoneOnlyMove) {
    game.selection = Tunnel;
    game.redrawNeeded = false;
    clickFor(3 * 32 + 31, 6 * 32, 100);
    game.handleEditorInput();
    EXPECT_EQ(game.board[6][3], Tunnel);
    EXPECT_TRUE(game.redrawNeeded);
    EXPECT_EQ(mouse_b, 0);  // waited for the button's release

    game.selection = BlackRock;
    clickFor(639, 479, 50);  // the far corner pixel is the last cell
    game.handleEditorInput();
    EXPECT_EQ(game.board[14][19], BlackRock);

    game.board[7][4] = Rock;
    game.selection = DogTile;
    clickFor(4 * 32 + 5, 7 * 32 + 5, 50);
    game.handleEditorInput();
    game.board[10][12] = Dirt;
    game.selection = BoneTile;
    clickFor(12 * 32, 10 * 32, 50);
    game.handleEditorInput();
    EXPECT_EQ(game.dogColumn, 4);
    EXPECT_EQ(game.dogRow, 7);
    EXPECT_EQ(game.boneColumn, 12);
    EXPECT_EQ(game.boneRow, 10);
    EXPECT_EQ(game.board[7][4], Rock);
    EXPECT_EQ(game.board[10][12], Dirt);
}

TEST_F(Editor, ClicksOffTheBoardOrWithOtherButtonsDoNothing) {
    std::vector<uint8_t> before = cells(game);
    int dogColumn = game.dogColumn;
    const struct {
        int x, y, buttons, brush;
    } clicks[] = {
        {100, 480, 1, Tunnel}, {640, 100, 1, Tunnel}, {-1, 100, 1, Tunnel}, {100, -1, 1, Tunnel},
        {-31, -31, 1, Tunnel}, {100, 100, 2, Tunnel}, {100, 100, 4, Tunnel}, {-5, 40, 1, DogTile},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(testing::Message() << click.x << "," << click.y << " buttons " << click.buttons);
        game.selection = click.brush;
        game.redrawNeeded = false;
        clickFor(click.x, click.y, 50, click.buttons);
        game.handleEditorInput();
        EXPECT_FALSE(game.redrawNeeded);
    }
    EXPECT_EQ(cells(game), before);
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
    EXPECT_EQ(harness::mouseSprite, nullptr);  // the default arrow again
    EXPECT_EQ(key[KEY_ESC], 0);                // the menu must not see it
}

TEST_F(Editor, NumberFromThePromptAsAtoiReadsIt) {
    const struct {
        const char* typed;
        int32_t number;  // 0: refused
    } cases[] = {
        {"12abc", 12}, {"-3", -3}, {"  +7", 7}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"abc", 0},    {"0", 0},   {"", 0},     {"2147483648", 0},          {"-2147483649", 0},
        {"99999999999999999999", 0}, {"- 4", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        game.setLevelNumber(5);
        harness::messages.clear();
        answerPrompt(KEY_N, c.typed);
        EXPECT_EQ(game.levelNumber, c.number == 0 ? 5 : c.number);
        EXPECT_EQ(harness::messages,
                  c.number == 0 ? std::vector<std::string>{"Invalid level # input"} : std::vector<std::string>{});
        EXPECT_EQ(key[KEY_ESC], 0);  // the prompt's Escape does not leave the editor
        EXPECT_EQ(game.screenMode, LevelEditor);
    }
}

TEST_F(Editor, TitleFromThePromptEmptyKeepsTheOld) {
    game.setLevelTitle("Old title");
    answerPrompt(KEY_T, "");
    EXPECT_EQ(game.levelTitle, "Old title");
    EXPECT_EQ(harness::messages, std::vector<std::string>{"Previous level name used."});

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

    command(KEY_E);
    EXPECT_EQ(game.board[9][9], Dirt);
    EXPECT_EQ(game.board[1][0], SkyBottom);
    EXPECT_EQ(game.levelTitle, "Painted");
}

}  // namespace
