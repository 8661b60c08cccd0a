// What a player sees when handed broken files: damaged, cut-off, huge or
// binary levels, high-score tables and settings; missing pictures, sounds and
// levels; a game directory nobody may write to. Each case is a row of the
// bad-input table in docs/bad-input.md. None may crash, hang, read outside
// the board or damage a file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "harness.h"
#include "levels/level_file.h"
#include "play/solver.h"
#include "play/tiles.h"
#include "shell/game.h"

namespace {

// A level in the game's own format; rows past `rows` are left out.
std::string levelBytes(const std::string& title, const std::string& positions, int rows = 15,
                       uint8_t fill = Rock) {
    std::string s = title + "\r\n" + positions + "\r\n";
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 20; ++c) {
            uint8_t code = r == 0 ? uint8_t(SkyTop) : r == 1 ? uint8_t(SkyBottom) : (r + c) % 5 == 0 ? fill : uint8_t(Dirt);
            s.push_back(static_cast<char>(code));
            s.push_back(' ');
        }
        s += "\r\n";
    }
    return s;
}

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(random() & 0xff);
    return s;
}

void expectOnBoard(const Game& g) {
    ASSERT_NE(g.board, nullptr);
    EXPECT_EQ(g.boardWidth, 20);
    EXPECT_EQ(g.boardHeight, 15);
    EXPECT_TRUE(g.dogColumn >= 0 && g.dogColumn < 20 && g.dogRow >= 0 && g.dogRow < 15)
        << "dog at " << g.dogColumn << "," << g.dogRow;
    EXPECT_TRUE(g.boneColumn >= 0 && g.boneColumn < 20 && g.boneRow >= 0 && g.boneRow < 15)
        << "bone at " << g.boneColumn << "," << g.boneRow;
}

// Every arrow in turn, each played to its end, then the board drawn: on any
// board that was read, play stays on the board and ends.
void playEveryDirection(Game& g) {
    std::unique_ptr<BITMAP, void (*)(BITMAP*)> target(create_bitmap(640, 480), destroy_bitmap);
    for (int round = 0; round < 2; ++round) {
        for (int32_t direction : {Down, Right, Left, Up}) {
            if (g.screenMode != Playing) return;
            playMove(g, direction);
            ASSERT_TRUE(g.screenMode != Playing || (g.selection == None && !g.rockFalling))
                << "a move that never ends";
            expectOnBoard(g);
            g.redrawNeeded = true;
            g.drawScreen(target.get());
        }
    }
}

class BadInput : public testing::Test {
protected:
    void SetUp() override {
        dir = std::make_unique<harness::ScratchDir>(true);
        mkdir("levels", 0755);
    }
    void TearDown() override {
        game.reset();
        dir.reset();
    }
    // The game as it starts in this directory.
    Game& start() {
        game = std::make_unique<Game>(&quit);
        return *game;
    }
    void play() {
        game->screenMode = Playing;
        game->selection = None;
        playEveryDirection(*game);
    }

    std::atomic<bool> quit{false};
    std::unique_ptr<harness::ScratchDir> dir;
    std::unique_ptr<Game> game;
};

TEST_F(BadInput, BrokenLevelFilesStillGiveABoardToPlayOn) {
    const std::string good = levelBytes("Good", "4 1 10 9");
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"title only", "Just a title"},
        {"malformed positions", levelBytes("Bad numbers", "four one x 9")},
        {"positions off the board", levelBytes("Off", "-1 15 20 99")},
        {"numbers beyond 32 bits", levelBytes("Big", "99999999999 1 2 3")},
        {"cut off in the grid", good.substr(0, good.size() / 2)},
        {"unknown tile codes", levelBytes("Codes", "4 1 10 9", 15, 200)},
        {"binary", randomBytes(5000, 7)},
        {"binary without line ends", std::string(3000, '\x01')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir->write("levels/1.lvl", c.bytes);
        Game& g = start();
        expectOnBoard(g);
        EXPECT_EQ(g.levelNumber, 1);
        play();
        game.reset();
    }

    // What a damaged file does hold is used; the rest is the blank layout.
    dir->write("levels/1.lvl", good.substr(0, good.find("\r\n", good.size() / 2)));
    Game& g = start();
    EXPECT_EQ(g.levelTitle, "Good");
    EXPECT_EQ(g.dogColumn, 4);
    EXPECT_EQ(g.boneRow, 9);
    EXPECT_EQ(g.board[2][3], Rock);   // read
    EXPECT_EQ(g.board[14][4], Dirt);  // past the cut: blank
    // A position off the board counts as unread: the blank layout's place.
    game.reset();
    dir->write("levels/1.lvl", levelBytes("Off", "-1 15 20 99"));
    Game& off = start();
    EXPECT_EQ(off.dogRow, 1);
    EXPECT_GE(off.boneRow, 3);
}

TEST_F(BadInput, HugeFilesAreReadOnlyAsFarAsTheyAreNeeded) {
    // A level followed by tens of megabytes: the level reads as it is.
    std::string level = levelBytes("Huge tail", "2 1 17 12");
    dir->write("levels/1.lvl", level + std::string(20u << 20, 'x'));
    dir->write("settings.ini", "120\r\n0\r\n" + std::string(20u << 20, '7'));
    Game& g = start();
    EXPECT_EQ(g.levelTitle, "Huge tail");
    EXPECT_EQ(g.boneColumn, 17);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 120);
    EXPECT_FALSE(g.ambientEnabled);
    play();

    // A first line of megabytes: its start is the title, the rest is skipped,
    // and what follows the line reads as usual.
    dir->write("levels/1.lvl", std::string(4u << 20, 'T') + "\r\n3 1 9 9\r\n");
    EXPECT_TRUE(g.loadLevel(1));
    EXPECT_EQ(g.levelTitle, std::string(4096, 'T'));
    EXPECT_EQ(g.dogColumn, 3);
    std::string title;
    EXPECT_TRUE(readLevelTitle("levels/1.lvl", title));
    EXPECT_EQ(title.size(), 4096u);
    g.screenMode = Playing;
    g.redrawNeeded = true;
    g.drawScreen(screen);

    // A high-score "table" far larger than any real one is not a table: it
    // is reported like a missing one and left alone.
    std::string hugeTable;
    for (int i = 0; hugeTable.size() < (17u << 20); ++i) hugeTable += "1 1\r\n";
    dir->write("highscores.dat", hugeTable);
    g.setLevelNumber(2);
    g.moveCount = 9;
    g.updateHighScores();
    ASSERT_EQ(harness::messages.size(), 1u);
    EXPECT_EQ(harness::messages[0], "Error loading high scores table (\"highscores.dat\")");
    EXPECT_EQ(dir->read("highscores.dat").size(), hugeTable.size());
}

TEST_F(BadInput, BinaryHighScoresAndSettingsAreKeptAndFallBack) {
    const std::string junk = randomBytes(3000, 11);
    dir->write("settings.ini", "\x7f" + junk);
    dir->write("highscores.dat", "\x7f" + junk);
    Game& g = start();
    // Unreadable first value: full volume, ambient noise off.
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 255);
    EXPECT_FALSE(g.ambientEnabled);

    // Nothing in the table can be read: the level counts as a new record and
    // is added after what was there, which is kept byte for byte.
    g.setLevelNumber(3);
    g.moveCount = 17;
    g.updateHighScores();
    EXPECT_EQ(g.recordMoves, -1);
    EXPECT_TRUE(harness::messages.empty());
    std::string table = dir->read("highscores.dat");
    EXPECT_EQ(table.substr(0, junk.size() + 1), "\x7f" + junk);
    EXPECT_NE(table.find("3 17"), std::string::npos);
}

TEST_F(BadInput, MissingPicturesSoundsAndLevelsStillPlay) {
    // An empty game directory: no pictures, no sounds, no levels, no tables.
    dir.reset();
    dir = std::make_unique<harness::ScratchDir>(false);
    Game& g = start();
    expectOnBoard(g);
    // The blank layout: sky, ground line, dirt; the dog on the ground line.
    EXPECT_EQ(g.board[0][0], SkyTop);
    EXPECT_EQ(g.board[1][19], SkyBottom);
    EXPECT_EQ(g.board[9][9], Dirt);
    EXPECT_EQ(g.dogRow, 1);
    EXPECT_EQ(g.levelNumber, 1);

    // Every screen draws with nothing to draw.
    for (int mode : {MainMenu, Playing, LevelWon, HelpScreen, LevelEditor}) {
        g.screenMode = mode;
        g.redrawNeeded = true;
        g.drawScreen(screen);
    }
    play();
    g.updateAmbientSounds();

    // Winning with no next level: the end of the game, back to the menu.
    g.screenMode = LevelWon;
    g.redrawNeeded = false;
    key[KEY_ENTER] = -1;
    harness::holdKey(KEY_ENTER, 0, 100);
    g.handleInput();
    EXPECT_EQ(g.screenMode, MainMenu);
    ASSERT_FALSE(harness::messages.empty());
    EXPECT_EQ(harness::messages.back().rfind(
                  "Congratulations! You beat all the levels available in Tunnelwick!", 0),
              0u);
}

// Runs the action where the game directory cannot be written to: as root
// (who may write anywhere) in a child process that has become nobody; as
// anyone else with the directory made read-only. Returns the action's result.
bool withoutWriteAccess(const harness::ScratchDir& dir, const std::function<bool()>& action) {
    if (geteuid() != 0) {
        chmod(dir.path().c_str(), 0555);
        bool ok = action();
        chmod(dir.path().c_str(), 0755);
        return ok;
    }
    chmod(dir.path().c_str(), 0755);  // readable, not writable, for nobody
    pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        _exit(action() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(BadInput, UnwritableGameDirectoryKeepsEveryFileAsItWas) {
    const std::string level = levelBytes("Mine", "4 1 10 9");
    dir->write("levels/1.lvl", level);
    dir->write("highscores.dat", "1 20\r\n");
    dir->write("settings.ini", "200\r\n1\r\n");
    Game& g = start();
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 200);
    chmod(dir->file("levels").c_str(), 0755);

    bool asExpected = withoutWriteAccess(*dir, [&] {
        bool ok = true;
        // The editor's save fails and says so.
        g.setLevelTitle("Changed");
        ok = ok && !g.saveLevel();
        // A new record is shown, though it cannot be kept.
        g.setLevelNumber(1);
        g.moveCount = 5;
        g.updateHighScores();
        ok = ok && g.recordMoves == -1;
        // A level not yet in the table: likewise.
        g.setLevelNumber(2);
        g.updateHighScores();
        ok = ok && g.recordMoves == -1;
        // The options screen still applies the volume it cannot save.
        FSOUND_SetSFXMasterVolume(90);
        key[KEY_ESC] = -1;
        harness::holdKey(KEY_ESC, 0, 100);
        g.optionsMenu();
        ok = ok && FSOUND_GetSFXMasterVolume() == 90;
        return ok;
    });
    EXPECT_TRUE(asExpected);
    EXPECT_EQ(dir->read("levels/1.lvl"), level);
    EXPECT_EQ(dir->read("highscores.dat"), "1 20\r\n");
    EXPECT_EQ(dir->read("settings.ini"), "200\r\n1\r\n");
    EXPECT_FALSE(dir->exists("highscores2.dat"));
}

// Runs the action in a child process that a hang cannot stop for ever:
// after a generous while the child is killed and the result is false.
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

TEST_F(BadInput, TitlesThatAreNotUtf8AreShownWithoutHanging) {
    // A lead byte that promises more continuation bytes than UTF-8 has,
    // followed by them: Allegro's printf decodes a number beyond any
    // character and never finishes writing it back. Such a title shows '^'
    // in its place.
    const std::string titles[] = {
        "Bad \xfe\x99\x99\x99\x99\x99\x99 title",
        "\xff\x99\x99\x99\x99\x99\x99\x99",
        "\xfd\xbf\xbf\xbf\xbf\xbf",
    };
    for (const std::string& title : titles) {
        SCOPED_TRACE(title);
        dir->write("levels/1.lvl", levelBytes(title, "4 1 10 9"));
        ASSERT_EQ(start().levelTitle, title);
        // Each child builds its own Game: forking while the sound layer's
        // threads run could copy a lock some other thread holds.
        game.reset();
        EXPECT_TRUE(endsInAChild([&] {
            Game& g = start();
            g.screenMode = Playing;
            g.redrawNeeded = true;
            g.drawScreen(screen);
        })) << "the playing caption";
        EXPECT_TRUE(endsInAChild([&] {
            Game& g = start();
            // Escape once the list has been drawn a few times.
            harness::holdKey(KEY_ESC, 3000, 3100);
            g.chooseLevel();
        })) << "the level chooser";
    }
}

TEST_F(BadInput, CaptionLooksAsAllegrosPrintfDrewIt) {
    // Every title Allegro's own printf can format (bytes up to 0xfb, some
    // long enough to be cut at its 512-byte buffer) looks as it did before
    // titles were made safe for it.
    Game& g = start();
    BITMAP* drawn = create_bitmap(640, 480);
    BITMAP* expected = create_bitmap(640, 480);
    std::mt19937 random(42);
    for (int round = 0; round < 200; ++round) {
        std::string title;
        size_t length = round % 10 == 0 ? 500 + random() % 100 : random() % 40;
        while (title.size() < length) title.push_back(static_cast<char>(1 + random() % 0xfb));
        g.setLevelTitle(title);
        g.setLevelNumber(static_cast<int>(random() % 200) - 20);
        g.screenMode = Playing;
        g.redrawNeeded = true;
        g.drawScreen(drawn);

        // The same board without a caption (the editor's screen), then the
        // caption drawn by Allegro's printf.
        g.screenMode = LevelEditor;
        g.redrawNeeded = true;
        g.drawScreen(expected);
        const int x0 = 320, y0 = 16 - text_height(font) / 2, halo = makecol(200, 200, 200);
        const char* format = "Level #%i: \"%s\"";
        const int n = g.levelNumber;
        const char* t = title.c_str();
        textprintf_centre_ex(expected, font, x0 - 1, y0, halo, -1, format, n, t);
        textprintf_centre_ex(expected, font, x0 + 1, y0, halo, -1, format, n, t);
        textprintf_centre_ex(expected, font, x0, y0 + 1, halo, -1, format, n, t);
        textprintf_centre_ex(expected, font, x0 + 1, y0 - 1, halo, -1, format, n, t);
        textprintf_centre_ex(expected, font, x0, y0, makecol(20, 20, 20), -1, format, n, t);

        for (int y = 0; y < 32; ++y)
            ASSERT_EQ(std::memcmp(drawn->line[y], expected->line[y], 640 * 4), 0)
                << "round " << round << ", row " << y;
    }
    destroy_bitmap(drawn);
    destroy_bitmap(expected);
}

}  // namespace
