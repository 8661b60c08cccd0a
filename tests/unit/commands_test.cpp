// The keys of the main menu, the help and level-won screens and the
// non-arrow keys of play: what each does, which item ends up highlighted,
// and that every key is let go before the step returns.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "harness.h"
#include "shell/game.h"

namespace {

// A plain level: sky, ground line, dirt everywhere below.
std::string plainLevel(const std::string& title, int dogColumn, int dogRow, int boneColumn,
                       int boneRow) {
    std::string s = title + "\r\n" + std::to_string(dogColumn) + " " + std::to_string(dogRow) +
                    " " + std::to_string(boneColumn) + " " + std::to_string(boneRow) + "\r\n";
    for (int row = 0; row < 15; ++row) {
        char code = row == 0 ? 2 : row == 1 ? 19 : 16;
        for (int column = 0; column < 20; ++column) {
            s += code;
            s += ' ';
        }
        s += "\r\n";
    }
    return s;
}

// Applies the key changes scheduled for this very moment, leaving no trace
// among the rests the code under test makes.
void settle() {
    rest(0);
    harness::rests.pop_back();
}

bool allRestsWere(unsigned ms) {
    return !harness::rests.empty() &&
           std::all_of(harness::rests.begin(), harness::rests.end(),
                       [ms](unsigned r) { return r == ms; });
}

class Commands : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    std::unique_ptr<Game> game;

    void SetUp() override {
        mkdir("levels", 0755);
        dir.write("levels/1.lvl", plainLevel("First Dig", 2, 1, 10, 8));
        dir.write("levels/2.lvl", plainLevel("Second Dig", 5, 1, 15, 12));
        dir.write("highscores.dat", "");
        game = std::make_unique<Game>(&quit);
        ASSERT_EQ(game->levelNumber, 1);
        ASSERT_EQ(game->levelTitle, "First Dig");
    }

    // As the main loop does: one input step once a poll has seen input.
    void step() {
        settle();
        ASSERT_TRUE(game->pollInput());
        game->handleInput();
    }

    // The dog somewhere else and a few moves made, as after some play.
    void playABit() {
        game->screenMode = Playing;
        game->selection = None;
        game->dogColumn = 9;
        game->dogRow = 6;
        game->moveCount = 5;
    }
};

}  // namespace

// --- main menu ---------------------------------------------------------------

TEST_F(Commands, MenuUpFromPlayWrapsToQuitOncePerPressHoweverLongHeld) {
    game->selection = 0;
    harness::holdKey(KEY_UP, 0, 700);
    step();
    EXPECT_EQ(game->selection, 3);
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_GE(harness::nowMs, 700u) << "returned before Up was let go";
    EXPECT_TRUE(allRestsWere(20));
    EXPECT_FALSE(game->pollInput());
}

TEST_F(Commands, MenuDownFromQuitWrapsToPlayAndUpWinsOverDown) {
    game->selection = 3;
    harness::holdKey(KEY_DOWN, 0, 100);
    step();
    EXPECT_EQ(game->selection, 0);

    game->selection = 2;
    harness::holdKey(KEY_UP, 0, 100);
    harness::holdKey(KEY_DOWN, 0, 100);
    step();
    EXPECT_EQ(game->selection, 1);
}

TEST_F(Commands, MenuEscapeWithLQuitsAndStillOpensTheEditor) {
    game->selection = 2;
    harness::holdKey(KEY_ESC, 0, 60);
    harness::holdKey(KEY_L, 0, 200);
    step();
    EXPECT_TRUE(quit);
    EXPECT_EQ(game->screenMode, LevelEditor);
    EXPECT_EQ(game->selection, 255);  // the dog brush
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_GE(harness::nowMs, 200u);
    EXPECT_TRUE(allRestsWere(30));
    EXPECT_EQ(game->levelNumber, 1);
    EXPECT_EQ(game->levelTitle, "First Dig");
}

TEST_F(Commands, MenuAboutBoxNamesTheLibrariesAndWaitsForA) {
    game->selection = 1;
    harness::holdKey(KEY_A, 0, 300);
    step();
    ASSERT_EQ(harness::messages.size(), 1u);
    const std::string& text = harness::messages[0];
    EXPECT_EQ(text.rfind("W00f! Thanks for playing Tunnelwick", 0), 0u) << text;
    EXPECT_NE(text.find("\n\nMade using FMOD (for the mp3 playing) and Allegro (for graphics, v " +
                        std::string(allegro_id) + ")"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("http"), std::string::npos);
    EXPECT_EQ(text.find("www"), std::string::npos);
    EXPECT_EQ(game->selection, 1);
    EXPECT_EQ(game->screenMode, MainMenu);
    EXPECT_GE(harness::nowMs, 300u);
    EXPECT_TRUE(allRestsWere(50));
}

TEST_F(Commands, MenuPlayGoesOnWithTheLoadedLevelAsItStands) {
    game->moveCount = 3;
    game->dogColumn = 4;
    game->selection = 0;
    harness::holdKey(KEY_ENTER, 0, 100);
    harness::holdKey(KEY_SPACE, 50, 400);
    step();
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_EQ(game->selection, None);
    EXPECT_EQ(game->moveCount, 3);
    EXPECT_EQ(game->dogColumn, 4);
    EXPECT_GE(harness::nowMs, 400u) << "Space still held";
    EXPECT_EQ(harness::vsyncCount, 0u) << "no fade into play";
}

TEST_F(Commands, HelpAndBackHighlightsOptionsAndEscapeThereDoesNotQuit) {
    game->selection = 2;
    harness::holdKey(KEY_SPACE, 0, 100);
    step();
    EXPECT_EQ(game->screenMode, HelpScreen);
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_GT(harness::vsyncCount, 0u) << "faded to the help picture";

    harness::holdKey(KEY_LEFT, 0, 100);  // the arrows do nothing here
    rest(20);
    EXPECT_FALSE(game->pollInput());
    rest(100);

    // Held for longer than the two fades take.
    harness::holdKey(KEY_ESC, 0, 1500);
    step();
    EXPECT_EQ(game->screenMode, MainMenu);
    EXPECT_EQ(game->selection, 1);
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_GE(harness::nowMs, 1500u);
    // Escape was let go inside the step, so the menu never sees it.
    EXPECT_FALSE(game->pollInput());
    EXPECT_FALSE(quit);
}

TEST_F(Commands, OptionsFromTheMenuComeBackWithPlayHighlighted) {
    game->selection = 1;
    harness::holdKey(KEY_ENTER, 0, 100);
    harness::holdKey(KEY_ESC, 2000, 2200);  // leaves the options screen, after the fade
    step();
    EXPECT_EQ(game->screenMode, MainMenu);
    EXPECT_EQ(game->selection, 0);
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_GE(harness::nowMs, 2200u) << "the options screen ran";
    rest(200);
    EXPECT_FALSE(quit);
}

TEST_F(Commands, QuitFadesOutAndSetsTheQuitFlag) {
    game->selection = 3;
    harness::holdKey(KEY_ENTER, 0, 150);
    step();
    EXPECT_TRUE(quit);
    EXPECT_EQ(game->screenMode, MainMenu);
    EXPECT_GE(harness::nowMs, 150u);
    EXPECT_EQ(getpixel(screen, 320, 240), makecol(0, 0, 0));
}

// --- keys of play other than the arrows -----------------------------------------

TEST_F(Commands, RestartAnsweredNoOnlyRedrawsAndDrawsTheQuestionFirst) {
    playABit();
    clear_to_color(screen, makecol(255, 255, 255));
    harness::holdKey(KEY_R, 0, 100);
    harness::holdKey(KEY_N, 300, 500);
    // Look at the screen while the question waits.
    bool questionShown = false;
    harness::at(200, [&] {
        questionShown = getpixel(screen, 5, 5) == makecol(0, 0, 0);
        bool red = false;
        for (int y = 240; y < 248; ++y)
            for (int x = 180; x < 460; ++x)
                if (getpixel(screen, x, y) == makecol(200, 10, 10)) red = true;
        questionShown = questionShown && red;
    });
    settle();
    EXPECT_TRUE(game->handlePlayCommandKeys());
    EXPECT_TRUE(questionShown);
    EXPECT_EQ(game->moveCount, 5);
    EXPECT_EQ(game->dogColumn, 9);
    EXPECT_EQ(game->dogRow, 6);
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_GE(harness::nowMs, 300u);
    EXPECT_LT(harness::nowMs, 500u) << "no wait for N to be let go";
}

TEST_F(Commands, RestartAnsweredYesReadsTheLevelAgain) {
    playABit();
    game->board[5][9] = 17;  // a tunnel dug on the way
    harness::holdKey(KEY_R, 0, 100);
    harness::holdKey(KEY_Y, 150, 300);
    settle();
    EXPECT_TRUE(game->handlePlayCommandKeys());
    EXPECT_EQ(game->moveCount, 0);
    EXPECT_EQ(game->dogColumn, 2);
    EXPECT_EQ(game->dogRow, 1);
    EXPECT_EQ(game->board[5][9], 16);
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_TRUE(game->redrawNeeded);
}

TEST_F(Commands, CloseButtonDuringTheRestartQuestionEndsItAsNo) {
    playABit();
    harness::holdKey(KEY_R, 0, 100);
    harness::at(400, [this] { quit = true; });
    settle();
    EXPECT_TRUE(game->handlePlayCommandKeys());
    EXPECT_GE(harness::nowMs, 400u);
    EXPECT_LT(harness::nowMs, 500u);
    EXPECT_EQ(game->moveCount, 5);
    EXPECT_EQ(game->dogColumn, 9);
}

TEST_F(Commands, EscapeInPlayRestartsTheLevelAndGoesToTheMenuOnPlay) {
    playABit();
    harness::holdKey(KEY_ESC, 0, 180);
    settle();
    EXPECT_FALSE(game->handlePlayCommandKeys()) << "the tick ends at Escape";
    EXPECT_EQ(game->screenMode, MainMenu);
    EXPECT_EQ(game->selection, 0);
    EXPECT_EQ(game->moveCount, 0);
    EXPECT_EQ(game->dogColumn, 2);
    EXPECT_EQ(game->levelNumber, 1);
    EXPECT_GE(harness::nowMs, 180u);
    EXPECT_FALSE(quit) << "the menu must not take the same Escape as Quit";

    // Play again: the fresh level.
    harness::holdKey(KEY_ENTER, 0, 100);
    step();
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_EQ(game->moveCount, 0);
}

TEST_F(Commands, CommandKeysWaitWhileTheDogSlides) {
    playABit();
    game->selection = Right;  // a step in progress
    game->dogOffsetX = 6;
    key[KEY_ESC] = -1;
    key[KEY_R] = -1;
    game->handleInput();
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_TRUE(harness::rests.empty());
}

TEST_F(Commands, OptionsFromPlayReturnIntoTheSameLevel) {
    playABit();
    harness::holdKey(KEY_O, 0, 100);
    harness::holdKey(KEY_ESC, 2000, 2200);  // leaves the options screen, after the fade
    step();
    EXPECT_GE(harness::nowMs, 2200u) << "the options screen ran";
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_EQ(game->levelNumber, 1);
    EXPECT_EQ(game->moveCount, 5);
    EXPECT_EQ(game->dogColumn, 9);
    EXPECT_EQ(game->dogRow, 6);
}

TEST_F(Commands, ArrowHeldAsTheOptionsScreenClosesStartsAMoveInTheSameStep) {
    playABit();
    harness::holdKey(KEY_O, 0, 100);
    harness::holdKey(KEY_ESC, 2000, 2200);
    harness::holdKey(KEY_LEFT, 2150, 2600);  // pressed while Escape is still held
    step();
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_EQ(game->moveCount, 6);
    EXPECT_EQ(game->selection, Left);
}

TEST_F(Commands, UpOrDownHeldAsTheOptionsScreenClosesIsNotAMove) {
    playABit();
    harness::holdKey(KEY_O, 0, 100);
    harness::holdKey(KEY_ESC, 2000, 2200);
    harness::holdKey(KEY_UP, 2150, 2600);
    step();
    EXPECT_EQ(game->moveCount, 5);
    EXPECT_EQ(game->selection, None);
}

// --- level won ----------------------------------------------------------------

TEST_F(Commands, WonScreenWaitsForItsKeys) {
    game->screenMode = LevelWon;
    key[KEY_UP] = -1;
    step();
    EXPECT_EQ(game->screenMode, LevelWon);
    EXPECT_FALSE(game->redrawNeeded);
    EXPECT_TRUE(harness::rests.empty());
}

TEST_F(Commands, WonScreenEnterStartsTheNextLevelFromScratch) {
    game->screenMode = LevelWon;
    game->selection = Right;  // the step that reached the bone
    game->moveCount = 7;
    harness::type("junk");
    harness::holdKey(KEY_ENTER, 0, 120);
    step();
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_EQ(game->levelNumber, 2);
    EXPECT_EQ(game->levelTitle, "Second Dig");
    EXPECT_EQ(game->moveCount, 0);
    EXPECT_EQ(game->selection, None);
    EXPECT_EQ(game->dogColumn, 5);
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_FALSE(keypressed()) << "typing on the won screen reaches nothing";
    EXPECT_GE(harness::nowMs, 120u);
    EXPECT_TRUE(harness::messages.empty());
}

TEST_F(Commands, WonScreenEscapeGoesOnLikeEnterAndDoesNotQuit) {
    game->screenMode = LevelWon;
    harness::holdKey(KEY_ESC, 0, 120);
    step();
    EXPECT_EQ(game->screenMode, Playing);
    EXPECT_EQ(game->levelNumber, 2);
    EXPECT_FALSE(quit);
}

TEST_F(Commands, WinningTheLastLevelEndsTheGameBackOnLevelOne) {
    ASSERT_TRUE(game->loadLevel(2));
    game->screenMode = LevelWon;
    game->selection = Down;
    game->moveCount = 9;
    harness::holdKey(KEY_SPACE, 0, 120);
    step();
    ASSERT_EQ(harness::messages.size(), 1u);
    const std::string& text = harness::messages[0];
    EXPECT_EQ(text.rfind("Congratulations! You beat all the levels available in Tunnelwick!\n\n"
                         "You can make your own levels and have them incorporated into the "
                         "game, just visit\n",
                         0),
              0u)
        << text;
    const std::string ending = "and post in the forums!\n\nView the readme for more info.";
    ASSERT_GE(text.size(), ending.size());
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
    EXPECT_EQ(text.find("http"), std::string::npos);
    EXPECT_EQ(text.find("www"), std::string::npos);
    EXPECT_GT(harness::vsyncCount, 0u) << "faded out first";

    EXPECT_EQ(game->screenMode, MainMenu);
    EXPECT_EQ(game->selection, 0);
    EXPECT_EQ(game->levelNumber, 1);
    EXPECT_EQ(game->levelTitle, "First Dig");
    EXPECT_EQ(game->moveCount, 0);
    EXPECT_TRUE(game->redrawNeeded);
    EXPECT_FALSE(game->pollInput()) << "Space was let go";
}
