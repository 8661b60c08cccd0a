// The level editor: brush cycle, painting, command keys with prompts, caption, note and V; the text prompt's keys, queue and ending.

#include "fixture.h"
#include "rules/level_check.h"

namespace {

class Editor : public LevelFixture {
protected:
    Editor() {
        for (auto& slot : game.tileImages) clear_bitmap(slot = slot ? slot : create_bitmap(32, 32));  // distinct, black
        game.resetBoard(1), game.screenMode = LevelEditor, game.selection = DogTile;
    }
    // A key for one step; a prompt's answer is typed once it is open, then Escape held, which stays in the editor.
    void command(int scancode, const char* answer = nullptr) {
        hold(scancode, 20);
        if (answer) harness::at(harness::nowMs + 1, [answer] { harness::type(answer); }), harness::holdKey(KEY_ESC, 150, 250);
        game.handleEditorInput();
        EXPECT_EQ(std::make_pair(int(key[KEY_ESC]), int(game.screenMode)), std::make_pair(0, int(LevelEditor)));
        key[scancode] = 0;
    }
};

TEST_F(Editor, ArrowsWalkTheBrushCycleBothWaysTheLeftButtonPaintsOnTheBoardOnlyAndEscapeLeaves) {
    const RuleState before = game.rules;
    click(5 * 32, 5 * 32);  // a click held while stepping paints nothing
    const int cycle[] = {0, 1, 2, 16, 17, 19, 21, 254, 255, 0, 255, 254, 21, 19, 17, 16, 2, 1, 0, 255};
    for (int i = 0; i < 20; ++i) {
        hold(i < 10 ? KEY_RIGHT : KEY_LEFT, 60);
        game.handleEditorInput();  // one press, one brush; the dirt's marker stands in for the dirt
        ASSERT_EQ(std::make_tuple(game.selection, int(key[KEY_RIGHT] | key[KEY_LEFT]), harness::mouseSprite),
                  std::make_tuple(cycle[i], 0, game.tileImages[cycle[i] == Dirt ? DirtMarker : cycle[i]])) << i;
    }
    game.selection = before.selection;
    EXPECT_EQ(game.rules, before);

    game.board[7][4] = Rock;
    const struct { int brush, x, y, buttons, column, row; } clicks[] = {  // column -1: nothing changes
        {Tunnel, 3 * 32 + 31, 6 * 32, 1, 3, 6}, {BlackRock, 639, 479, 1, 19, 14}, {DogTile, 4 * 32 + 5, 7 * 32 + 5, 1, 4, 7},
        {BoneTile, 12 * 32, 10 * 32, 1, 12, 10}, {Tunnel, 100, 480, 1, -1, 0}, {Tunnel, 640, 100, 1, -1, 0},
        {Tunnel, -1, 100, 1, -1, 0}, {Tunnel, -31, -31, 1, -1, 0}, {Tunnel, 100, 100, 2, -1, 0}, {DogTile, -5, 40, 1, -1, 0}};
    for (const auto& c : clicks) {
        RuleState want = game.rules;
        if (c.column >= 0 && c.brush == DogTile) want.dogColumn = c.column, want.dogRow = c.row;
        else if (c.column >= 0 && c.brush == BoneTile) want.boneColumn = c.column, want.boneRow = c.row;
        else if (c.column >= 0) want.board[c.row][c.column] = c.brush;
        game.selection = want.selection = c.brush, game.redrawNeeded = game.boardEdited = false;
        click(c.x, c.y, c.buttons);
        game.handleEditorInput();  // a painted board is no longer its file's: it keeps no record
        EXPECT_TRUE(game.rules == want && game.redrawNeeded == (c.column >= 0) && game.boardEdited == (c.column >= 0)) << c.x << "," << c.y;
        EXPECT_EQ(mouse_b, c.buttons & ~1);  // waited for the left button's release
        mouse_b = 0;
    }
    game.selection = Rock;
    click(4 * 32, 4 * 32);
    hold(KEY_ESC, 100);
    game.handleEditorInput();  // the last stroke paints; the default pointer again; the menu must not see Escape
    EXPECT_EQ(std::make_tuple(game.screenMode, game.selection, int(game.board[4][4]), harness::mouseSprite, int(key[KEY_ESC])),
              std::make_tuple(int(MainMenu), 0, int(Rock), static_cast<BITMAP*>(nullptr), 0));
}

TEST_F(Editor, NumberAndTitleFromThePrompts) {
    const char* const bad = "Invalid level # input";
    const struct { int scancode; const char* typed; int32_t number; const char* title; const char* message; } cases[] = {
        {KEY_N, "12abc", 12, "Old", nullptr}, {KEY_N, "-3", -3, "Old", nullptr}, {KEY_N, "  +7", 7, "Old", nullptr},
        {KEY_N, "-2147483648", INT32_MIN, "Old", nullptr}, {KEY_N, "abc", 5, "Old", bad}, {KEY_N, "0", 5, "Old", bad},
        {KEY_N, "2147483648", 5, "Old", bad}, {KEY_N, "- 4", 5, "Old", bad},
        {KEY_T, "", 5, "Old", "Previous level name used."}, {KEY_T, "  Two  words ", 5, "  Two  words ", nullptr}};
    for (const auto& c : cases) {
        game.setLevelNumber(5), game.setLevelTitle("Old"), harness::messages.clear();
        command(c.scancode, c.typed);
        EXPECT_EQ(std::make_tuple(game.levelNumber, game.levelTitle, harness::messages),
                  std::make_tuple(c.number, std::string(c.title), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{}));
    }
}

TEST_F(Editor, SaveReloadAndClearWithTheCaptionAndABriefNote) {
    game.setLevelNumber(8), game.setLevelTitle("Painted"), game.boardFile = 8, game.board[9][9] = Tunnel;
    command(KEY_S);
    game.board[9][9] = Rock, game.boardEdited = true;  // painted
    command(KEY_L);
    game.drawScreen(screen);
    EXPECT_EQ(std::make_pair(game.board[9][9], game.boardEdited), std::make_pair(uint8_t(Tunnel), false)) << "the file's board keeps records";
    EXPECT_TRUE(lineShows(screen, 12, "Editing level #8: \"Painted\" - brush: dog", makecol(255, 255, 255)));
    EXPECT_TRUE(lineShows(screen, 468, "Saved levels/8.lvl", makecol(255, 230, 140)));
    game.setLevelNumber(9);  // no file: the board stays
    command(KEY_L);
    command(KEY_E);
    EXPECT_EQ(std::make_pair(int(game.board[9][9]), game.pollInput()), std::make_pair(int(Dirt), false));
    rest(3000);  // the note stays a while, then goes by itself
    EXPECT_TRUE(game.pollInput());
    game.handleInput();
    EXPECT_TRUE(game.saveNote.empty() && game.redrawNeeded);
}

TEST_F(Editor, VAnswersFromTheSolverAboutTheBoardAsEditedNamingEveryMove) {
    for (bool buried : {false, true}) game.rules = pocket(buried), game.selection = Rock, command(KEY_V);
    EXPECT_EQ(harness::messages, (std::vector<std::string>{"Can be won in 1 moves: Down", "Cannot be won: the bone is buried under a rock"}));
    EXPECT_EQ(key[KEY_V], 0);
    SolveResult won, none, unwinnable, big;
    won.outcome = none.outcome = SolveResult::Solved, won.moves = {Right, Down, Left, Up, Right, Right, Right, Right, Right, Right, Right, Right, Left};
    unwinnable.outcome = SolveResult::Unwinnable, unwinnable.reason = SolveResult::NoWay, big.reason = SolveResult::TooMuchWork;
    const struct { SolveResult r; const char* text; } cases[] = {
        {won, "Can be won in 13 moves: Right Down Left Up Right Right Right Right Right Right Right Right\nLeft"},
        {none, "Can be won in 0 moves: the dog is on the bone"}, {unwinnable, "Cannot be won: no sequence of moves reaches the bone"},
        {big, "The search gave up: too many positions to try"}};
    for (const auto& c : cases) EXPECT_EQ(levelCheckText(c.r), c.text);
}

class Prompt : public LevelFixture {
protected:
    // Types the script once the prompt is open, Escape held after. L R I B D E X: Left Right Insert Backspace Delete Enter queued-Escape; H, U do nothing.
    std::string run(const std::string& script) {
        harness::type("typed before");
        harness::at(harness::nowMs + 1, [script] {
            const std::string commands = "LRIBDEHUX";
            const int scancodes[] = {KEY_LEFT, KEY_RIGHT, KEY_INSERT, KEY_BACKSPACE, KEY_DEL, KEY_ENTER, KEY_HOME, KEY_UP, KEY_ESC};
            const int asciis[] = {0, 0, 0, 8, 127, 13, 0, 0, 27};
            for (unsigned char ch : script) {
                const size_t i = commands.find(ch);
                i == std::string::npos ? harness::queueKey(KEY_TAB, ch) : harness::queueKey(scancodes[i], asciis[i]);
            }
        });
        harness::holdKey(KEY_ESC, 200, 300);
        const unsigned long pictures = harness::vsyncCount;
        std::string text = game.promptLine("Enter the new level title:");
        EXPECT_LE(harness::vsyncCount - pictures, 5u);  // all queued keys are applied before the next picture
        while (key[KEY_ESC]) rest(10);
        return text;
    }
};

TEST_F(Prompt, EditingKeysInTheMiddleAndAtTheEdgesOnlyPrintableCharactersAndTheLinesShown) {
    const struct { const char* script; const char* text; } cases[] = {
        {"abcLLx", "axbc"}, {"abcLLIx", "axc"}, {"abcIdeLLLwxyz", "abwxyz"}, {"abcdLLLLIxIy", "xybcd"},
        {"abcLLLBx", "xabc"}, {"abcBx", "abx"}, {"abcDx", "abcx"}, {"abcLLLDx", "xbc"}, {"abRcLLLLLLLLLx", "xabc"},
        {"a\x7f\x80\xe9\xff\tXHU ~b", "a ~b"},  // a queued Escape is no key at all
        {"abEcd", "ab"}};                        // Enter ends it; what follows is not part of the answer
    for (const auto& c : cases) EXPECT_EQ(run(c.script), c.text) << c.script;
    EXPECT_TRUE(harness::keyQueue.empty());
    EXPECT_TRUE(run("aI") == "a" && lineShows(screen, 240, "a", makecol(255, 255, 255)) &&
                lineShows(screen, 256, "Enter or Escape ends the prompt", makecol(200, 200, 200)) &&
                lineShows(screen, 360, "Replacing", makecol(255, 255, 255)));
}
}  // namespace
