// The keys of the main menu, the help and level-won screens and the
// non-arrow keys of play: what each does, which item ends up highlighted,
// and that every key is let go before the step returns.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <tuple>
#include <vector>

#include "harness.h"
#include "shell/game.h"

namespace {

// Sky, ground line, dirt everywhere below; the dog starts on the ground line.
std::string plainLevel(const std::string& title, int dogColumn, int boneColumn, int boneRow) {
    std::string s = title + "\r\n" + std::to_string(dogColumn) + " 1 " +
                    std::to_string(boneColumn) + " " + std::to_string(boneRow) + "\r\n";
    for (int row = 0; row < 15; ++row) {
        for (int column = 0; column < 20; ++column) s += {char(row == 0 ? 2 : row == 1 ? 19 : 16), ' '};
        s += "\r\n";
    }
    return s;
}

// The start and the end of a message box, and no web address in it.
void expectMessage(const std::string& text, const std::string& start, const std::string& end) {
    EXPECT_EQ(text.rfind(start, 0), 0u) << text;
    EXPECT_TRUE(text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0)
        << text;
    EXPECT_EQ(text.find("http"), std::string::npos) << text;
    EXPECT_EQ(text.find("www"), std::string::npos) << text;
    // xmessage draws about 7 pixels a character: 100 fit a 1024-pixel screen.
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find('\n', at), text.size());
        EXPECT_LE(end - at, 100u) << text.substr(at, end - at);
    }
}

struct Hold {
    int scancode;
    unsigned long from, to;
};

class Commands : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    std::unique_ptr<Game> game;

    void SetUp() override {
        mkdir("levels", 0755);
        dir.write("levels/1.lvl", plainLevel("First Dig", 2, 10, 8));
        dir.write("levels/2.lvl", plainLevel("Second Dig", 5, 15, 12));
        dir.write("highscores.dat", "");
        game = std::make_unique<Game>(&quit);
        ASSERT_EQ(game->levelTitle, "First Dig");
    }

    // Holds the keys, then applies what is due now without recording a rest.
    void hold(const std::vector<Hold>& holds) {
        for (const Hold& h : holds) harness::holdKey(h.scancode, h.from, h.to);
        rest(0);
        harness::rests.pop_back();
    }
    // As the main loop does: one input step once a poll has seen input.
    void step(const std::vector<Hold>& holds) {
        hold(holds);
        ASSERT_TRUE(game->pollInput());
        game->handleInput();
    }

    // The dog somewhere else and a few moves made, as after some play.
    void playABit() {
        game->screenMode = Playing, game->selection = None;
        game->dogColumn = 9, game->dogRow = 6, game->moveCount = 5;
    }
    void expectPlayKept() {
        EXPECT_EQ(std::make_tuple(game->screenMode, game->moveCount, game->dogColumn, game->dogRow),
                  std::make_tuple(int(Playing), 5, 9, 6));
    }
};

}  // namespace

// Each step returns only once its keys are let go, so the next poll sees
// nothing: an arrow moves once however long it is held, and an Escape that
// leaves a screen never also quits from the menu.
TEST_F(Commands, MenuAndHelpKeysLeadWhereTheyShouldAndAreLetGoFirst) {
    struct Case {
        const char* what;
        int mode, selection;
        std::vector<Hold> holds;
        int modeAfter, selectionAfter;  // -1: any
        bool quits;
        int fades;  // -1: either way
    };
    const Case cases[] = {
        {"Up wraps", MainMenu, 0, {{KEY_UP, 0, 700}}, MainMenu, 3, false, 0},
        {"Down wraps", MainMenu, 3, {{KEY_DOWN, 0, 100}}, MainMenu, 0, false, 0},
        {"Up wins", MainMenu, 2, {{KEY_UP, 0, 100}, {KEY_DOWN, 0, 100}}, MainMenu, 1, false, 0},
        {"Play", MainMenu, 0, {{KEY_ENTER, 0, 100}, {KEY_SPACE, 50, 400}}, Playing, None, false, 0},
        {"Options and back", MainMenu, 1, {{KEY_ENTER, 0, 100}, {KEY_ESC, 2000, 2200}}, MainMenu, 0,
         false, 1},
        {"Help", MainMenu, 2, {{KEY_SPACE, 0, 100}}, HelpScreen, -1, false, 1},
        {"back from Help", HelpScreen, 2, {{KEY_ESC, 0, 1500}}, MainMenu, 1, false, 1},
        // Escape's quit does not stop L from opening the editor, on the dog brush.
        {"Escape and L", MainMenu, 2, {{KEY_ESC, 0, 60}, {KEY_L, 0, 200}}, LevelEditor, 255, true, -1},
        {"Quit", MainMenu, 3, {{KEY_ENTER, 0, 150}}, MainMenu, 3, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(game->loadLevel(1));
        harness::reset();
        quit = false;
        game->screenMode = c.mode;
        game->selection = c.selection;
        game->moveCount = 3;  // Play goes on with the level as it stands
        step(c.holds);
        EXPECT_EQ(game->screenMode, c.modeAfter);
        EXPECT_TRUE(c.selectionAfter < 0 || game->selection == c.selectionAfter) << game->selection;
        EXPECT_EQ(quit, c.quits);
        EXPECT_TRUE(c.fades < 0 || (harness::vsyncCount > 0) == (c.fades == 1));
        EXPECT_TRUE(game->redrawNeeded || c.quits);
        EXPECT_TRUE(c.modeAfter != Playing || game->moveCount == 3) << "Play keeps the level";
        EXPECT_EQ(game->levelTitle, "First Dig");
        unsigned long released = 0;
        for (const Hold& h : c.holds) released = std::max(released, h.to);
        EXPECT_GE(harness::nowMs, released);
        // Nothing left to do, unless the advisor has just answered about the level.
        EXPECT_FALSE(game->pollInput() && !(c.modeAfter == Playing && game->adviceWaiting()));
    }
    EXPECT_EQ(getpixel(screen, 320, 240), makecol(0, 0, 0)) << "Quit, the last case, fades out";
}

TEST_F(Commands, MenuAboutBoxNamesTheLibrariesAndWaitsForA) {
    game->selection = 1;
    step({{KEY_A, 0, 300}});
    ASSERT_EQ(harness::messages.size(), 1u);
    expectMessage(harness::messages[0], "W00f! Thanks for playing Tunnelwick", "");
    EXPECT_NE(harness::messages[0].find(std::string("\n\nMade using SDL2_mixer (for the mp3 playing) and "
                                                    "Allegro (for graphics, v ") +
                                        allegro_id + ")"),
              std::string::npos);
    EXPECT_EQ(game->selection, 1);
    EXPECT_GE(harness::nowMs, 300u);
}

// --- keys of play other than the arrows -----------------------------------------

TEST_F(Commands, RestartQuestionNoOrCloseKeepsTheLevelYesReadsItAgain) {
    playABit();
    clear_to_color(screen, makecol(255, 255, 255));
    bool cleared = false, red = false;  // looked at while the question waits
    harness::at(200, [&] {
        cleared = getpixel(screen, 5, 5) != makecol(255, 255, 255);
        for (int y = 240; y < 248; ++y)
            for (int x = 180; x < 460; ++x) red = red || getpixel(screen, x, y) == makecol(200, 10, 10);
    });
    hold({{KEY_R, 0, 100}, {KEY_N, 300, 500}});
    EXPECT_TRUE(game->handlePlayCommandKeys());
    EXPECT_TRUE(cleared && red) << "the question is drawn before the wait";
    expectPlayKept();
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_GE(harness::nowMs, 300u);
    EXPECT_LT(harness::nowMs, 500u) << "no wait for N to be let go";

    // The close button ends the question as No.
    harness::reset();
    harness::at(400, [this] { quit = true; });
    hold({{KEY_R, 0, 100}});
    EXPECT_TRUE(game->handlePlayCommandKeys());
    EXPECT_LT(harness::nowMs, 500u);
    expectPlayKept();

    // Yes reads the level again.
    harness::reset();
    quit = false;
    game->board[5][9] = 17;  // a tunnel dug on the way
    hold({{KEY_R, 0, 100}, {KEY_Y, 150, 300}});
    EXPECT_TRUE(game->handlePlayCommandKeys());
    EXPECT_EQ(std::make_tuple(game->screenMode, game->moveCount, game->dogColumn, game->dogRow, game->board[5][9]),
              std::make_tuple(int(Playing), 0, 2, 1, uint8_t(16)));
}

TEST_F(Commands, EscapeInPlayWaitsForTheSlideThenRestartsTheLevelOnTheMenu) {
    playABit();
    game->selection = Right;  // a step in progress
    game->dogOffsetX = 6;
    key[KEY_ESC] = key[KEY_R] = -1;
    game->handleInput();
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_TRUE(harness::rests.empty());

    harness::reset();
    playABit();
    game->dogOffsetX = 0;
    hold({{KEY_ESC, 0, 180}});
    EXPECT_FALSE(game->handlePlayCommandKeys()) << "the tick ends at Escape";
    EXPECT_EQ(std::make_tuple(game->screenMode, game->selection, game->moveCount, game->dogColumn),
              std::make_tuple(int(MainMenu), 0, 0, 2));
    EXPECT_GE(harness::nowMs, 180u);
    EXPECT_FALSE(game->pollInput()) << "the menu must not take the same Escape as Quit";
}

// Leaving the options screen returns into the same level; of the arrows held
// as it closes only Left and Right start a move.
TEST_F(Commands, OptionsFromPlayReturnIntoTheSameLevel) {
    struct Case {
        int arrow, moves, selection;
    };
    for (Case c : {Case{0, 5, None}, Case{KEY_LEFT, 6, Left}, Case{KEY_UP, 5, None}}) {
        SCOPED_TRACE(testing::Message() << "arrow " << c.arrow);
        playABit();
        harness::reset();
        std::vector<Hold> holds{{KEY_O, 0, 100}, {KEY_ESC, 2000, 2200}};
        if (c.arrow) holds.push_back({c.arrow, 2150, 2600});  // while Escape is still held
        step(holds);
        EXPECT_GE(harness::nowMs, 2200u) << "the options screen ran";
        EXPECT_EQ(std::make_tuple(game->screenMode, game->moveCount, game->selection),
                  std::make_tuple(int(Playing), c.moves, c.selection));
        if (!c.arrow) expectPlayKept();
    }
}

// --- level won ----------------------------------------------------------------

TEST_F(Commands, WonScreenEnterOrEscapeStartsTheNextLevelFromScratch) {
    game->screenMode = LevelWon;
    key[KEY_UP] = -1;  // not one of its keys
    step({});
    EXPECT_EQ(game->screenMode, LevelWon);
    EXPECT_FALSE(game->redrawNeeded);
    EXPECT_TRUE(harness::rests.empty());

    for (int k : {KEY_ENTER, KEY_ESC}) {
        SCOPED_TRACE(testing::Message() << "scancode " << k);
        ASSERT_TRUE(game->loadLevel(1));
        harness::reset();
        game->screenMode = LevelWon, game->moveCount = 7;
        game->selection = Right;  // the step that reached the bone
        harness::type("junk");
        step({{k, 0, 120}});
        EXPECT_EQ(std::make_tuple(game->screenMode, game->levelNumber, game->dogColumn, game->moveCount, game->selection),
                  std::make_tuple(int(Playing), 2, 5, 0, int(None)));
        EXPECT_FALSE(keypressed()) << "typing on the won screen reaches nothing";
        EXPECT_GE(harness::nowMs, 120u);
        EXPECT_FALSE(quit);
    }
}

TEST_F(Commands, WinningTheLastLevelEndsTheGameBackOnLevelOne) {
    ASSERT_TRUE(game->loadLevel(2));
    game->screenMode = LevelWon, game->selection = Down, game->moveCount = 9;
    step({{KEY_SPACE, 0, 120}});
    ASSERT_EQ(harness::messages.size(), 1u);
    expectMessage(harness::messages[0],
                  "Congratulations! You beat all the levels available in Tunnelwick!\n\n",
                  "levels folder under the next free number.\n\n"
                  "View the readme for more info: its section \"Making and sharing levels\".");
    EXPECT_GT(harness::vsyncCount, 0u) << "faded out first";
    EXPECT_EQ(std::make_tuple(game->screenMode, game->selection, game->levelNumber, game->levelTitle, game->moveCount),
              std::make_tuple(int(MainMenu), 0, 1, std::string("First Dig"), 0));
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_FALSE(game->pollInput()) << "Space was let go";
}
