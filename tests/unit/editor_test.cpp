// The level editor: brush cycle, painting, the prompts, save with its question, reload, clear, V; input a dialog takes never reaching the board.

#include "fixture.h"
#include "rules/level_check.h"
#include "storage/level.h"

namespace {

class Editor : public LevelFixture {
protected:
    void SetUp() override {
        start();
        press(KEY_L);
        ASSERT_NE(editor(), nullptr);
    }
    EditorScreen* editor() { return on<EditorScreen>(); }
    // A prompt opened by its key, the answer typed, then the key that ends it.
    void prompt(int opener, const std::string& answer, int end = KEY_ENTER) {
        press(opener);
        type(answer);
        press(end);
    }
};

TEST_F(Editor, ArrowsWalkTheBrushCycleBothWaysAndTheLeftButtonPaintsOnTheBoardOnly) {
    const int cycle[] = {0, 1, 2, 16, 17, 19, 21, 254, 255, 0, 255, 254, 21, 19, 17, 16, 2, 1, 0, 255};
    for (int i = 0; i < 20; ++i) {
        press(i < 10 ? KEY_RIGHT : KEY_LEFT, 400);  // held: one press, one brush
        ASSERT_EQ(editor()->brush(), cycle[i]) << i;
    }
    const struct { int brush, x, y, column, row; } clicks[] = {  // column -1: nothing changes
        {Tunnel, 3 * 32 + 31, 6 * 32, 3, 6}, {BlackRock, 639, 479, 19, 14}, {DogTile, 4 * 32 + 5, 7 * 32 + 5, 4, 7},
        {BoneTile, 12 * 32, 10 * 32, 12, 10}, {Tunnel, 100, 480, -1, 0}, {Tunnel, 640, 100, -1, 0},
        {Tunnel, -1, 100, -1, 0}, {Tunnel, -31, -31, -1, 0}, {DogTile, -5, 40, -1, 0}};
    for (const auto& c : clicks) {
        while (editor()->brush() != c.brush) press(KEY_RIGHT);
        RuleState want = session().rules;
        if (c.column >= 0 && c.brush == DogTile) want.dogColumn = c.column, want.dogRow = c.row;
        else if (c.column >= 0 && c.brush == BoneTile) want.boneColumn = c.column, want.boneRow = c.row;
        else if (c.column >= 0) want.board[c.row][c.column] = c.brush;
        session().boardEdited = false;
        clickAt(c.x, c.y);
        // A painted board is no longer its file's: it keeps no record.
        EXPECT_TRUE(session().rules == want && session().boardEdited == (c.column >= 0)) << c.x << "," << c.y;
    }
    press(KEY_ESC);
    EXPECT_NE(on<MenuScreen>(), nullptr);
}

TEST_F(Editor, NumberAndTitleFromThePromptsTheTitleContinuedAndWrongInputToldInTheWindow) {
    const char* const bad = "Invalid level # input";
    const struct { int scancode; const char* typed; int32_t number; const char* title; const char* message; } cases[] = {
        {KEY_N, "12abc", 12, "Old", nullptr}, {KEY_N, "-3", -3, "Old", nullptr}, {KEY_N, "  +7", 7, "Old", nullptr},
        {KEY_N, "-2147483648", INT32_MIN, "Old", nullptr}, {KEY_N, "abc", 5, "Old", bad}, {KEY_N, "0", 5, "Old", bad},
        {KEY_N, "2147483648", 5, "Old", bad}, {KEY_N, "- 4", 5, "Old", bad},
        {KEY_T, " and new", 5, "Old and new", nullptr}};
    for (const auto& c : cases) {
        session().number = 5, session().title = "Old";
        prompt(c.scancode, c.typed);
        EXPECT_EQ(std::make_pair(session().number, session().title), std::make_pair(c.number, std::string(c.title))) << c.typed;
        auto* message = on<MessageDialog>();
        EXPECT_EQ(message ? message->text() : "", c.message ? c.message : "") << c.typed;
        if (message) press(KEY_ENTER);
        // The caption follows at once; the editor's random board is from no file yet.
        const std::string caption = editorCaption(c.number, c.title, 0) + " - brush: dog";
        EXPECT_TRUE(message || lineShows(drawn(), 12, caption, makecol(255, 255, 255))) << caption;
    }
    session().title = "Old";  // every character taken back: the title stays, and it is said so
    press(KEY_T);
    for (int i = 0; i < 3; ++i) press(KEY_BACKSPACE);
    press(KEY_ESC);
    EXPECT_TRUE(session().title == "Old" && on<MessageDialog>() && on<MessageDialog>()->text() == "Previous level name used.");
    press(KEY_ENTER);
    // One limit for a title: the prompt takes no more than a file keeps, the writer writes no more, and a caption
    // cuts it to keep the level's number (and the brush) in view.
    session().number = 7, session().title = "";
    press(KEY_T);
    for (int i = 0; i < 42; ++i) type(std::string(100, 'x'));
    press(KEY_ENTER);
    const std::string longest(kLongestTitle, 'x');
    EXPECT_EQ(session().title, longest);
    Level level;
    level.title = longest + "yyy";
    EXPECT_EQ(levelTitleOf(formatLevel(level)), longest);
    const std::string caption = "New level #7: \"" + std::string(46, 'x') + "...\" - brush: dog";
    EXPECT_TRUE(lineShows(drawn(), 12, caption, makecol(255, 255, 255))) << "the caption as it is";
    const std::string played = captionText(7, longest);
    EXPECT_TRUE(played.rfind("Level #7: \"xx", 0) == 0 && text_length(font, played.c_str()) <= 640 - 16) << played;
}

TEST_F(Editor, TheOpeningKeyAndAClickDuringAPromptNeitherTypeNorPaintAndAHeldVLeavesTheEditorAwake) {
    while (editor()->brush() != Rock) press(KEY_RIGHT);
    const uint8_t before = session().rules.board[9][9];
    session().title = "";
    harness::holdKey(KEY_T, 0, 100);
    harness::at(harness::nowMs + 1, [] { int s = KEY_T; input::onTyped('t', &s); });  // the T's own character
    run(60);
    clickAt(9 * 32 + 5, 9 * 32 + 5);
    type("Hi");
    press(KEY_ENTER);
    EXPECT_EQ(std::make_pair(session().title, session().rules.board[9][9]), std::make_pair(std::string("Hi"), before));
    // V held: the answer in the window; after Enter the editor takes keys and clicks again.
    session().rules = pocket(false);
    press(KEY_V, 400, 500);
    ASSERT_TRUE(until([this] { return on<MessageDialog>() != nullptr; }));
    EXPECT_EQ(on<MessageDialog>()->text(), "Can be won in 1 moves: Down");
    press(KEY_ENTER);
    session().rules = pocket(true);
    press(KEY_V);
    ASSERT_TRUE(until([this] { return on<MessageDialog>() != nullptr; }));
    EXPECT_EQ(on<MessageDialog>()->text(), "Cannot be won: the bone is buried under a rock");
    const uint8_t under = session().rules.board[7][7];
    clickAt(7 * 32 + 5, 7 * 32 + 5);  // closes the message; the button still down paints nothing
    EXPECT_TRUE(on<EditorScreen>() && session().rules.board[7][7] == under);
    press(KEY_LEFT);
    clickAt(2 * 32 + 5, 5 * 32 + 5);
    EXPECT_EQ(std::make_pair(editor()->brush(), int(session().rules.board[5][2])), std::make_pair(int(Rock) - 1, int(BlackRock)));
}

TEST_F(Editor, SAsksBeforeReplacingAnotherBoardsFileAndReloadAndClearWork) {
    const std::string level = levelBytes("Mine", "4 1 10 9");
    // Each from the file loaded with L, then: what changed, the answer (0: no question expected), whether the file is replaced.
    const struct { const char* what; std::function<void()> change; int answer; bool replaced; } cases[] = {
        {"unchanged", [] {}, 0, true},
        {"E, a blank board", [this] { press(KEY_E); }, KEY_N, false},
        {"E, then Y", [this] { press(KEY_E); }, KEY_Y, true},
        {"a painted cell", [this] { clickAt(100, 200); }, KEY_N, false},
        {"another number", [this] { prompt(KEY_N, "2"), prompt(KEY_N, "1"); }, KEY_N, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("levels/1.lvl", level);
        session().number = 1;
        press(KEY_L);
        session().title = "Changed";
        c.change();
        press(KEY_S);
        EXPECT_EQ(on<QuestionDialog>() != nullptr, c.answer != 0);
        if (c.answer) { EXPECT_TRUE(lineShows(drawn(), 240, "Replace levels/1.lvl? (Y/N)", makecol(200, 10, 10))); }
        if (c.answer) press(c.answer);
        EXPECT_EQ(dir.read("levels/1.lvl") != level, c.replaced);
        if (c.replaced) { EXPECT_TRUE(lineShows(drawn(), 448, "Saved levels/1.lvl", makecol(255, 230, 140))); }
        EXPECT_NE(editor(), nullptr);
    }
    // L on what play refuses (no file, noise, a title of a megabyte, a folder) keeps the board, says so, and no record
    // comes of it; the note goes by itself after a while.
    std::string noise(4096, 0);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = char(i * 7919 % 251);
    for (const std::string& bad : {std::string(), noise, levelBytes(std::string(1 << 20, 't'), "4 1 10 9"), std::string("/")}) {
        std::system("rm -rf levels/9.lvl");
        bad == "/" ? (void)mkdir("levels/9.lvl", 0755) : bad.empty() ? (void)0 : dir.write("levels/9.lvl", bad);
        press(KEY_E);
        session().number = 9, session().rules.board[9][9] = Tunnel;
        press(KEY_L);
        EXPECT_TRUE(session().rules.board[9][9] == Tunnel && session().recordWin() == nullptr) << bad.size();
        EXPECT_TRUE(lineShows(drawn(), 448, "levels/9.lvl could not be read", makecol(255, 230, 140))) << bad.size();
    }
    EXPECT_TRUE(lineShows(drawn(), 12, "New level #9 - brush: dog", makecol(255, 255, 255))) << "no level it did not load";
    run(5000);  // a failure stays until the player acts; "Saved" goes by itself
    EXPECT_TRUE(lineShows(drawn(), 448, "levels/9.lvl could not be read", makecol(255, 230, 140)));
    press(KEY_RIGHT), press(KEY_LEFT);
    EXPECT_TRUE(lineShows(drawn(), 448, "", makecol(255, 230, 140)));
    chmod("levels/1.lvl", 0444);
    session().number = 1;
    press(KEY_L);
    press(KEY_S);
    EXPECT_TRUE(lineShows(drawn(), 448, "Could not save levels/1.lvl: Permission denied", makecol(255, 230, 140)));
    // In a pack, L and S take the pack's own file.
    mkdir("packs", 0755), mkdir("packs/p", 0755), dir.write("packs/p/1.lvl", levelBytes("Its own", "4 1 10 9"));
    session().pack = "p";
    press(KEY_L);
    session().title += ", saved";
    press(KEY_S);
    EXPECT_TRUE(dir.read("packs/p/1.lvl").compare(0, 14, "Its own, saved") == 0 &&
                lineShows(drawn(), 448, "Saved packs/p/1.lvl", makecol(255, 230, 140)));
}

TEST_F(Editor, TheCaptionNamesOnlyTheFileLoadedTheKeysShowAtTheFootAndThePointersCellIsOutlinedWithTheBrushBeside) {
    dir.write("levels/1.lvl", levelBytes("Mine", "4 1 10 9"));
    // One after the other, from the editor just opened over level 1 (unreadable then).
    const struct { const char* what; std::function<void()> act; const char* caption; } steps[] = {
        {"opened: untitled", [] {}, "New level #1"},
        {"L", [this] { press(KEY_L); }, "Editing level #1: \"Mine\""},
        {"N at once", [this] { prompt(KEY_N, "40"); }, "New level #40: \"Mine\""},
        {"L of a file that is not there", [this] { press(KEY_L); }, "New level #40: \"Mine\""},
        {"N back to the file's", [this] { prompt(KEY_N, "1"); }, "Editing level #1: \"Mine\""},
        {"T at once", [this] { prompt(KEY_T, "s"); }, "Editing level #1: \"Mines\""},
        {"E: a new level", [this] { press(KEY_E); }, "New level #1"},
    };
    const int white = makecol(255, 255, 255), keys = makecol(230, 220, 200);
    for (const auto& step : steps) {
        step.act();
        EXPECT_TRUE(lineShows(drawn(), 12, std::string(step.caption) + " - brush: dog", white)) << step.what;
    }
    EXPECT_TRUE(lineShows(drawn(), 468, kEditorKeysText, keys));
    press(KEY_F1);
    EXPECT_TRUE(lineShows(drawn(), 468, "", keys));
    press(KEY_F1);
    EXPECT_TRUE(lineShows(drawn(), 468, kEditorKeysText, keys));
    // The pointer over cell (5, 6): its edge lit, the cell's middle as it was, the brush (the dog) to the right.
    BITMAP* dog = solid(32, 32, 250, 200, 0);
    app->pictures.set(DogTile, dog);
    session().rules.dogColumn = 0, session().rules.dogRow = 14;
    const int middle = getpixel(drawn(), 5 * 32 + 16, 6 * 32 + 16);
    mouse_x = 5 * 32 + 10, mouse_y = 6 * 32 + 10, input::onMouse(MOUSE_FLAG_MOVE);
    run(20);
    drawn();
    EXPECT_TRUE(isColour(picture, 5 * 32 + 1, 6 * 32 + 9, 255, 240, 160) && isColour(picture, 5 * 32 + 30, 6 * 32 + 20, 255, 240, 160));
    EXPECT_EQ(getpixel(picture, 5 * 32 + 16, 6 * 32 + 16), middle);
    EXPECT_TRUE(isColour(picture, 6 * 32 + 14, 6 * 32 + 10, 250, 200, 0));
    app->pictures.set(DogTile, nullptr);
}

// Allegro tells of a key's press and of the character it types in two calls, and a loaded machine may run a frame
// between them: the N that opened the prompt is still not the number's first letter.
TEST_F(Editor, TheCharacterOfTheKeyThatOpensAPromptNeverReachesIt) {
    for (bool late : {false, true}) {
        int scancode = KEY_N;
        harness::holdKey(KEY_N, 0, 100);
        if (late) run(10);  // the prompt opens on the press alone
        input::onTyped('n', &scancode);
        run(100);
        type(late ? "42" : "43");
        press(KEY_ENTER);
        EXPECT_EQ(session().number, late ? 42 : 43);
    }
}

TEST(LevelCheck, VAnswersInThePlayersWordsNamingEveryMove) {
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
    // Types the script into the title prompt. L R I B D E H: Left Right Insert Backspace Delete Enter Home.
    std::string enter(const std::string& script) {
        start();
        press(KEY_L);
        session().title = "";
        press(KEY_T);
        const std::string commands = "LRIBDEH";
        const int scancodes[] = {KEY_LEFT, KEY_RIGHT, KEY_INSERT, KEY_BACKSPACE, KEY_DEL, KEY_ENTER, KEY_HOME};
        for (unsigned char ch : script) {
            const size_t i = commands.find(ch);
            if (i == std::string::npos) {
                int s = KEY_TAB;
                input::onTyped(ch, &s);
            } else {
                key[scancodes[i]] = -1, input::onKey(scancodes[i]), key[scancodes[i]] = 0, input::onKey(scancodes[i] | 0x80);
            }
            run(10);
        }
        if (on<PromptDialog>()) press(KEY_ESC);
        return session().title;
    }
};

TEST_F(Prompt, EditingKeysInTheMiddleAndAtTheEdgesAndOnlyPrintableCharacters) {
    const struct { const char* script; const char* text; } cases[] = {
        {"abcLLx", "axbc"}, {"abcLLIx", "axc"}, {"abcIdeLLLwxyz", "abwxyz"}, {"abcdLLLLIxIy", "xybcd"},
        {"abcLLLBx", "xabc"}, {"abcBx", "abx"}, {"abcDx", "abcx"}, {"abcLLLDx", "xbc"}, {"abRcLLLLLLLLLx", "xabc"},
        {"abcHx", "xabc"}, {"a\x7f\x80\xe9\xff\t ~b", "a ~b"},
        {"abEcd", "ab"}};  // Enter ends it; what follows is not part of the answer
    for (const auto& c : cases) EXPECT_EQ(enter(c.script), c.text) << c.script;
    enter("aI");
    press(KEY_T);
    EXPECT_TRUE(lineShows(drawn(), 240, "a", makecol(255, 255, 255)) &&
                lineShows(picture, 258, "Enter or Escape ends the prompt", makecol(200, 200, 200)) &&
                lineShows(picture, 270, "Inserting", makecol(255, 255, 255)));
}

}  // namespace
