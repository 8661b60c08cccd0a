// Strange files, an unwritable directory, an overwrite, a window closed mid-screen (docs/bad-input.md): no hang, damage or false record.

#include "fixture.h"

namespace {

// The game is made by each test, once its files are in place.
using BadInput = LevelFixture;

TEST_F(BadInput, PipesDevicesHugeFilesAndOddTitlesNeverHang) {
    // Pipes as level, table and settings; in the chooser's scan 100 MB levels, an endless device, and a title with a cut UTF-8 sequence.
    ASSERT_EQ(std::system("mkfifo levels/1.lvl highscores.dat settings.ini"), 0);
    EXPECT_TRUE(endsInAChild([&] {
        App& g = start();
        bool ok = recordWin(1, 5).outcome == WinRecord::Unreadable && g.session.title.empty() && !g.session.playable();
        ok = ok && std::system("cd levels && for n in $(seq 2 98); do truncate -s 100M $n.lvl; done && ln -s /dev/zero 99.lvl") == 0;
        dir.write("levels/2.lvl", levelBytes("Bad \xfe\x99\x99\x99\x99\x99\x99 title", "4 1 10 9"));
        ok = ok && !g.session.loadLevel(3) && g.session.loadLevel(2);  // 100 MB is no level
        keys({KEY_ENTER, KEY_S});
        run(3000);
        press(KEY_ESC);
        return ok && on<PlayingScreen>();
    }));
}

TEST_F(BadInput, InAnUnwritableDirectoryEveryFailedSaveIsToldAndEveryFileKept) {
    const std::string level = levelBytes("Mine", "4 1 10 9");
    dir.write("levels/1.lvl", level);
    dir.write("highscores.dat", "1 20\r\n");
    App& g = start();
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    EXPECT_TRUE(endsInAChild([&] {  // as root (who may write anywhere) become nobody
        if (geteuid() != 0) std::system("chmod 0555 . levels");
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return false;
        std::string why;
        g.session.rules.moveCount = 5;
        const RecordKeeper* keeper = g.session.recordWin();
        WinRecord r;
        while (!keeper->done(r)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return !g.session.save(why) && why == "Permission denied" && r.outcome == WinRecord::NotSaved &&
               r.reason == "Permission denied";
    }));
    std::system("chmod 0755 . levels");
    EXPECT_EQ(dir.read("levels/1.lvl"), level);
    EXPECT_EQ(dir.read("highscores.dat"), "1 20\r\n");
}

// Another program holds the table: the won screen says at once that the record waits, a game closed then waits a
// little with a word on the screen, keeps the record, and the next start writes it.
TEST_F(BadInput, AWinWhileTheTableIsHeldIsSaidAtOnceAndKeptForTheNextStart) {
    dir.write("levels/1.lvl", levelBytes("First Dig", "2 1 10 8"));
    dir.write("highscores.dat", "1 20\r\n");
    const pid_t holder = holdLock("highscores.dat", 30);
    start();
    session().rules.moveCount = 3, session().rules.boneColumn = 3, session().rules.boneRow = 1;
    keys({KEY_ENTER, KEY_RIGHT});
    // Drawn by the loop itself, with no input, the moment the wait begins.
    const int plain = makecol(230, 220, 200);
    EXPECT_TRUE(until([&] { return lineShows(picture, 384, "Another game is using the record table: waiting to save...", plain); }));
    testing::internal::CaptureStderr();
    quit = true;
    ASSERT_TRUE(app->leaving(harness::nowMs, picture));
    EXPECT_TRUE(lineShows(picture, 236, "Saving your record...", makecol(255, 230, 120)));
    const unsigned long from = harness::nowMs;
    while (app->leaving(harness::nowMs, picture)) rest(20);
    EXPECT_EQ(harness::nowMs - from, App::kLastWaitMs);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("The record of levels level 1 (4 moves) waits in pending-records.txt"),
              std::string::npos);
    app.reset();
    // The way it was won waits with it, and reaches replays.txt with the record.
    const std::string way = levelChecksum(dir.read("levels/1.lvl")) + "\tR\n";
    EXPECT_EQ(dir.read("pending-records.txt"), "levels\t1\t4\t" + way);
    kill(holder, SIGKILL), waitpid(holder, nullptr, 0);
    testing::internal::CaptureStderr();
    quit = false;
    start();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("A kept record is in its table now: levels level 1 in 4 moves"),
              std::string::npos);
    EXPECT_EQ(dir.read("highscores.dat"), "1 4\r\n");
    EXPECT_EQ(dir.read("replays.txt"), "levels\t1\t" + way);
    EXPECT_EQ(access("pending-records.txt", F_OK), -1);
    EXPECT_FALSE(app->leaving(harness::nowMs, picture)) << "no record waits: the game closes at once";
}

TEST_F(BadInput, AnEditedBoardKeepsNoRecordAndTheCloseButtonEndsEveryScreen) {
    dir.write("highscores.dat", "1 50\r\n");
    dir.write("levels/1.lvl", levelBytes("Mine", "4 1 10 9"));
    start();
    press(KEY_L);
    session().rules.moveCount = 3;
    EXPECT_EQ(session().recordWin(), nullptr);
    EXPECT_EQ(dir.read("highscores.dat"), "1 50\r\n");
    WonScreen(session().recordWin()).draw(picture, app->stack.context());
    EXPECT_TRUE(lineShows(picture, 384, "An edited board: no record kept.", makecol(230, 220, 200)));
    // Whatever is open, the close button ends the loop.
    for (std::vector<int> open : {std::vector<int>{KEY_S}, {KEY_DOWN, KEY_ENTER}, {KEY_ENTER, KEY_R}, {KEY_L, KEY_T}, {KEY_L, KEY_S}}) {
        start();
        keys(open);
        quit = true;
        run(100);
        EXPECT_TRUE(harness::messages.empty());
        quit = false;
    }
}

}  // namespace
