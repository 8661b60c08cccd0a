// What a player sees when handed broken or strange files, a directory nobody
// may write to, a level about to be overwritten, or a window closed in the
// middle of a screen. Each case is a row of docs/bad-input.md. None may
// crash, hang, read outside the board, damage a file or claim a false record.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "harness.h"
#include "level_fixture.h"
#include "presentation/draw.h"
#include "play/solver.h"
#include "play/tiles.h"
#include "shell/game.h"

namespace {

using level_test::levelBytes;

class BadInput : public testing::Test {
protected:
    void SetUp() override { mkdir("levels", 0755); }
    void TearDown() override { game.reset(); }
    Game& start() {
        game.reset();
        game = std::make_unique<Game>(&quit);
        return *game;
    }
    std::atomic<bool> quit{false};
    harness::ScratchDir dir{false};
    std::unique_ptr<Game> game;
};

// Down now, so that the step sees it; released after ms.
void press(int scancode, unsigned long ms) {
    key[scancode] = -1;
    harness::at(harness::nowMs + ms, [scancode] { key[scancode] = 0; });
}

// The action run in a child that a hang cannot stop for ever: killed after
// a generous while, and then false.
bool endsInAChild(const std::function<void()>& action) {
    pid_t child = fork();
    if (child == 0) {
        alarm(20);
        action();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(BadInput, BrokenLevelFilesStillGiveABoardToPlayOn) {
    const std::string good = levelBytes("Good", "4 1 10 9");
    std::mt19937 random(7);
    std::string binary(5000, '\0');
    for (char& c : binary) c = static_cast<char>(random());
    const std::string cases[] = {
        "", "Just a title", levelBytes("Bad", "four one x 9"), levelBytes("Off", "-1 15 20 99"),
        levelBytes("Big", "99999999999 1 2 3"), good.substr(0, good.size() / 2), binary,
        std::string(3000, '\x01'), good + std::string(20u << 20, 'x'),
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.substr(0, 12));
        dir.write("levels/1.lvl", bytes);
        Game& g = start();
        g.screenMode = Playing;
        for (int32_t direction : {Down, Right, Left, Up, Down}) {
            if (g.screenMode == Playing) playMove(g, direction);
            ASSERT_TRUE(g.boardWidth == 20 && g.boardHeight == 15 && g.dogColumn >= 0 && g.dogColumn < 20 &&
                        g.dogRow >= 0 && g.dogRow < 15 && g.boneColumn >= 0 && g.boneColumn < 20 &&
                        g.boneRow >= 0 && g.boneRow < 15);
        }
        g.redrawNeeded = true;
        g.drawScreen(screen);
    }
}

TEST_F(BadInput, PipesDevicesHugeFilesAndOddTitlesNeverHang) {
    // A named pipe as level, table and settings; then in the chooser's scan
    // levels of 100 MB, a link to an endless device, and a title whose lead
    // byte promises more UTF-8 bytes than there are (Allegro's printf would
    // never finish writing it back).
    ASSERT_EQ(system("mkfifo levels/1.lvl highscores.dat settings.ini"), 0);
    EXPECT_TRUE(endsInAChild([&] {
        Game& g = start();
        g.updateHighScores();
        if (harness::messages.size() != 1 || g.levelTitle != "") _exit(1);
        for (int n = 1; n < 99; ++n) {
            unlink(levelFilePath(n).c_str());
            dir.write(levelFilePath(n), "");
            if (truncate(levelFilePath(n).c_str(), 100 << 20) != 0) _exit(2);
        }
        if (symlink("/dev/zero", "levels/99.lvl") != 0) _exit(3);
        dir.write("levels/2.lvl", levelBytes("Bad \xfe\x99\x99\x99\x99\x99\x99 title", "4 1 10 9"));
        g.screenMode = Playing;
        g.loadLevel(2);
        g.drawScreen(screen);
        harness::holdKey(KEY_ESC, 3000, 3100);
        g.chooseLevel();
    }));
}

TEST_F(BadInput, InAnUnwritableDirectoryEveryFailedSaveIsToldAndEveryFileKept) {
    const std::string level = levelBytes("Mine", "4 1 10 9");
    dir.write("levels/1.lvl", level);
    dir.write("highscores.dat", "1 20\r\n");
    dir.write("settings.ini", "200\r\n1\r\n");
    Game& g = start();
    // As root (who may write anywhere) in a child that has become nobody.
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    EXPECT_TRUE(endsInAChild([&] {
        if (geteuid() != 0) system("chmod 0555 . levels");
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        std::string why;
        bool ok = !g.saveLevel(&why) && why == "Permission denied";
        g.moveCount = 5;
        g.updateHighScores();
        ok = ok && g.recordNote == "The record could not be saved: Permission denied";
        FSOUND_SetSFXMasterVolume(90);
        harness::holdKey(KEY_ESC, 0, 100);
        g.optionsMenu();
        ok = ok && FSOUND_GetSFXMasterVolume() == 90 &&  // applied all the same
             !harness::messages.empty() && harness::messages.back() == "The options could not be saved (\"settings.ini\"): Permission denied";
        _exit(ok ? 0 : 1);
    }));
    system("chmod 0755 . levels");
    EXPECT_EQ(dir.read("levels/1.lvl"), level);
    EXPECT_EQ(dir.read("highscores.dat"), "1 20\r\n");
    EXPECT_EQ(dir.read("settings.ini"), "200\r\n1\r\n");
}

TEST_F(BadInput, TheEditorAsksBeforeReplacingALevelAndAnEditedBoardKeepsNoRecord) {
    const std::string level = levelBytes("Mine", "4 1 10 9");
    dir.write("levels/1.lvl", level);
    dir.write("highscores.dat", "1 50\r\n");
    Game& g = start();
    press(KEY_L, 50);
    g.handleMenuInput();  // the editor, on a random board under number 1
    ASSERT_EQ(g.screenMode, LevelEditor);
    g.screenMode = LevelWon;
    g.updateHighScores();
    EXPECT_EQ(g.recordNote, "An edited board: no record kept.");

    // S, then the answer; a save without a question ignores the N.
    const struct { int answer; const char* note; bool asked; } saves[] = {
        {KEY_N, "", true}, {KEY_Y, "Saved levels/1.lvl", true}, {KEY_N, "Saved levels/1.lvl", false},
    };
    for (const auto& s : saves) {
        dir.write("levels/1.lvl", level);
        clear_bitmap(screen);
        g.saveNote.clear();
        press(KEY_S, 30);
        harness::holdKey(s.answer, 100, 200);
        g.handleEditorInput();
        EXPECT_EQ(g.saveNote, s.note);
        EXPECT_EQ(level_test::screenLineShows(240, "Replace levels/1.lvl? (Y/N)", makecol(200, 10, 10)), s.asked);
        EXPECT_EQ(dir.read("levels/1.lvl") == level, !*s.note);
    }
    // Saved, the board is the level's own again; painted, it is not.
    g.moveCount = 60;
    g.updateHighScores();
    EXPECT_EQ(g.recordNote, "");
    g.selection = Tunnel;
    mouse_x = mouse_y = 100;
    mouse_b = 1;
    harness::at(harness::nowMs + 50, [] { mouse_b = 0; });
    g.handleEditorInput();
    g.updateHighScores();
    EXPECT_EQ(g.recordNote, "An edited board: no record kept.");
    EXPECT_EQ(dir.read("highscores.dat"), "1 50\r\n");
    press(KEY_L, 30);  // loaded again, the board is the level's own
    g.handleEditorInput();
    g.moveCount = 60;
    g.updateHighScores();
    EXPECT_EQ(g.recordNote, "");

    chmod("levels/1.lvl", 0444);
    press(KEY_S, 30);
    g.handleEditorInput();
    EXPECT_EQ(g.saveNote, "Could not save levels/1.lvl: Permission denied");
}

TEST_F(BadInput, EveryScreenWithALoopOfItsOwnEndsOnTheCloseButton) {
    dir.write("levels/1.lvl", levelBytes("Mine", "4 1 10 9"));
    const struct { const char* name; std::function<void(Game&)> open; } screens[] = {
        {"chooser", [](Game& g) { g.chooseLevel(); }},
        {"options", [](Game& g) { g.optionsMenu(); }},
        {"restart question", [](Game& g) { press(KEY_R, 30); g.handlePlayCommandKeys(); }},
        {"editor's title prompt", [](Game& g) { press(KEY_T, 30); g.handleEditorInput(); }},
        {"editor's number prompt", [](Game& g) { press(KEY_N, 30); g.handleEditorInput(); }},
        {"editor's replace question", [](Game& g) { press(KEY_S, 30); g.handleEditorInput(); }},
    };
    for (const auto& s : screens) {
        SCOPED_TRACE(s.name);
        Game& g = start();
        g.boardFile = 0;  // the board is not level 1's: S asks first
        harness::at(harness::nowMs + 2000, [this] { quit = true; });
        s.open(g);
        EXPECT_TRUE(quit);
        EXPECT_TRUE(harness::messages.empty());
        quit = false;
    }
}

TEST_F(BadInput, CaptionLooksAsAllegrosPrintfDrewIt) {
    // Titles Allegro's own printf can format (bytes up to 0xfb, some cut at
    // its 512-byte buffer) look as they did before titles were made safe.
    Game& g = start();
    BITMAP* drawn = create_bitmap(640, 480);
    BITMAP* expected = create_bitmap(640, 480);
    std::mt19937 random(42);
    for (int round = 0; round < 100; ++round) {
        std::string title(round % 10 == 0 ? 500 + random() % 100 : random() % 40, ' ');
        for (char& c : title) c = static_cast<char>(1 + random() % 0xfb);
        g.setLevelTitle(title);
        g.setLevelNumber(static_cast<int>(random() % 200) - 20);
        g.screenMode = Playing;
        g.redrawNeeded = true;
        g.drawScreen(drawn);
        drawBoardCellsDirect(g, expected);  // the board alone: the dog and bone lie below the caption's row
        const char* format = "Level #%i: \"%s\"";
        const int x0 = 320, y0 = 16 - text_height(font) / 2, halo = makecol(200, 200, 200);
        const int around[4][2] = {{-1, 0}, {1, 0}, {0, 1}, {1, -1}};
        for (const auto& d : around)
            textprintf_centre_ex(expected, font, x0 + d[0], y0 + d[1], halo, -1, format, g.levelNumber,
                                 title.c_str());
        textprintf_centre_ex(expected, font, x0, y0, makecol(20, 20, 20), -1, format, g.levelNumber, title.c_str());
        // The caption's span only: the score line stands beside it.
        char caption[1024];
        std::snprintf(caption, sizeof caption, format, g.levelNumber, title.c_str());
        const int half = std::min(320, text_length(font, caption) / 2 + 2);
        for (int y = 0; y < 32; ++y)
            ASSERT_EQ(std::memcmp(drawn->line[y] + 4 * (320 - half), expected->line[y] + 4 * (320 - half), 8 * half), 0)
                << "round " << round;
    }
    destroy_bitmap(drawn);
    destroy_bitmap(expected);
}

}  // namespace
