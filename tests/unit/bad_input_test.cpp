// Strange files, an unwritable directory, an overwrite, a window closed mid-screen (docs/bad-input.md): no hang, damage or false record.

#include "fixture.h"

namespace {

// The game is made by each test, once its files are in place.
class BadInput : public testing::Test {
protected:
    void SetUp() override { mkdir("levels", 0755); }
    Game& start() { return *(game.reset(), game = std::make_unique<Game>(&quit)); }
    harness::ScratchDir dir;
    std::atomic<bool> quit{false};
    std::unique_ptr<Game> game;
};

// Runs the action in a child killed after 20 s; true when it ended well.
bool endsInAChild(const std::function<bool()>& action) {
    pid_t child = fork();
    if (child == 0) {
        alarm(20);
        _exit(action() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(BadInput, PipesDevicesHugeFilesAndOddTitlesNeverHang) {
    // Pipes as level, table and settings; in the chooser's scan 100 MB levels, an endless device, and a title with a cut UTF-8 sequence.
    ASSERT_EQ(std::system("mkfifo levels/1.lvl highscores.dat settings.ini"), 0);
    EXPECT_TRUE(endsInAChild([&] {
        Game& g = start();
        g.updateHighScores();
        bool ok = harness::messages.size() == 1 && g.levelTitle.empty();
        ok = ok && std::system("cd levels && for n in $(seq 2 98); do truncate -s 100M $n.lvl; done && ln -s /dev/zero 99.lvl") == 0;
        dir.write("levels/2.lvl", levelBytes("Bad \xfe\x99\x99\x99\x99\x99\x99 title", "4 1 10 9"));
        g.screenMode = Playing;
        g.loadLevel(3);  // 100 MB: its first 64 KB are read
        g.loadLevel(2);
        g.drawScreen(screen);
        harness::holdKey(KEY_ESC, 3000, 3100);
        g.chooseLevel();
        return ok;
    }));
}

TEST_F(BadInput, InAnUnwritableDirectoryEveryFailedSaveIsToldAndEveryFileKept) {
    const std::string level = levelBytes("Mine", "4 1 10 9");
    dir.write("levels/1.lvl", level);
    dir.write("highscores.dat", "1 20\r\n");
    Game& g = start();
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    EXPECT_TRUE(endsInAChild([&] {  // as root (who may write anywhere) become nobody
        if (geteuid() != 0) std::system("chmod 0555 . levels");
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return false;
        std::string why;
        g.moveCount = 5;
        g.updateHighScores();
        return !g.saveLevel(&why) && why == "Permission denied" &&
               g.recordNote == "The record could not be saved: Permission denied";
    }));
    std::system("chmod 0755 . levels");
    EXPECT_EQ(dir.read("levels/1.lvl"), level);
    EXPECT_EQ(dir.read("highscores.dat"), "1 20\r\n");
}

TEST_F(BadInput, TheEditorAsksBeforeReplacingALevelAndAnEditedBoardKeepsNoRecord) {
    const std::string level = levelBytes("Mine", "4 1 10 9");
    dir.write("highscores.dat", "1 50\r\n");
    dir.write("levels/1.lvl", level);
    Game& g = start();
    hold(KEY_L, 50);
    g.handleMenuInput();  // the editor, on a random board under number 1
    ASSERT_EQ(g.screenMode, LevelEditor);
    g.updateHighScores();
    EXPECT_EQ(g.recordNote, "An edited board: no record kept.");
    // S, then the answer; a save without a question ignores the N.
    const struct { int answer; const char* note; bool asked; } saves[] = {
        {KEY_N, "", true}, {KEY_Y, "Saved levels/1.lvl", true}, {KEY_N, "Saved levels/1.lvl", false}};
    for (const auto& s : saves) {
        dir.write("levels/1.lvl", level);
        clear_bitmap(screen);
        g.saveNote.clear();
        hold(KEY_S, 30);
        harness::holdKey(s.answer, 100, 200);
        g.handleEditorInput();
        EXPECT_EQ(g.saveNote, s.note);
        EXPECT_EQ(lineShows(screen, 240, "Replace levels/1.lvl? (Y/N)", makecol(200, 10, 10)), s.asked);
        EXPECT_EQ(dir.read("levels/1.lvl") == level, !*s.note);
    }
    EXPECT_EQ(dir.read("highscores.dat"), "1 50\r\n");
    chmod("levels/1.lvl", 0444);
    hold(KEY_S, 30);
    g.handleEditorInput();
    EXPECT_EQ(g.saveNote, "Could not save levels/1.lvl: Permission denied");
}

TEST_F(BadInput, EveryScreenWithALoopOfItsOwnEndsOnTheCloseButton) {
    dir.write("levels/1.lvl", levelBytes("Mine", "4 1 10 9"));
    const std::function<void(Game&)> screens[] = {
        [](Game& g) { g.chooseLevel(); }, [](Game& g) { g.optionsMenu(); },
        [](Game& g) { hold(KEY_R, 30), g.handlePlayCommandKeys(); },  // the restart question
        [](Game& g) { hold(KEY_T, 30), g.handleEditorInput(); },      // the editor's prompts and question
        [](Game& g) { hold(KEY_N, 30), g.handleEditorInput(); }, [](Game& g) { hold(KEY_S, 30), g.handleEditorInput(); },
    };
    for (const auto& open : screens) {
        Game& g = start();
        g.boardFile = 0;  // the board is not level 1's: S asks first
        harness::at(harness::nowMs + 2000, [this] { quit = true; });
        open(g);
        EXPECT_TRUE(quit && harness::messages.empty());
        quit = false;
    }
}

}  // namespace
