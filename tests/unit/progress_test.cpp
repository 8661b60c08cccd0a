// The level in play kept across a restart (progress.txt), and the best ways kept to be watched (replays.txt): resumed exactly with its undo history, kept within a second of a move and at quit, and bad files started afresh without harm.
#include "fixture.h"
#include "session/move_log.h"
#include "screens/watching.h"
#include "session/progress.h"

namespace {

struct Progressing : LevelFixture {
    const std::string one = levelBytes("One", "5 1 10 8"), two = levelBytes("Two", "6 1 10 8");
    void SetUp() override {
        dir.write("levels/1.lvl", one);
        dir.write("levels/2.lvl", two);
    }
    // The key, then the loop until the dog stands still again.
    void move(int k) {
        press(k, 40, 10);
        for (int i = 0; i < 2000 && !session().rules.betweenMoves(); ++i) run(5);
    }
    std::string kept(int level, const std::string& bytes, const std::string& moves) {
        return "pack levels\nlevel " + std::to_string(level) + "\nchecksum " + levelChecksum(bytes) + "\nmoves " + moves + "\n";
    }
};

TEST_F(Progressing, ALevelLeftMidwayIsResumedWithItsUndoHistoryAndTheChooserOpensOnIt) {
    start();
    session().loadLevel(2);
    press(KEY_ENTER);
    ASSERT_NE(on<PlayingScreen>(), nullptr);
    run(1000);
    move(KEY_DOWN);
    run(20);
    const RuleState afterDown = session().rules;
    EXPECT_EQ(dir.read("progress.txt"), kept(2, two, "D")) << "the first move at once";
    move(KEY_RIGHT);
    move(KEY_LEFT);
    run(1000);
    EXPECT_EQ(dir.read("progress.txt"), kept(2, two, "DRL")) << "never more than a second late";
    move(KEY_U);
    const RuleState left = session().rules;
    app.reset();  // quitting writes what the throttle held back
    EXPECT_EQ(dir.read("progress.txt"), kept(2, two, "DR"));

    this->start();
    EXPECT_TRUE(session().rules == left);
    EXPECT_EQ(std::make_tuple(session().number, session().play.moves(), session().rules.moveCount), std::make_tuple(2, std::vector<int32_t>{Down, Right}, 2));
    press(KEY_ENTER);
    move(KEY_U);
    EXPECT_TRUE(session().rules == afterDown) << "undo goes back as before the restart";
    press(KEY_S);
    ASSERT_NE(on<ChooserScreen>(), nullptr);
    EXPECT_EQ(on<ChooserScreen>()->marked(), 1);
}

TEST_F(Progressing, AMissingDamagedOrUnusableFileStartsAfreshSaysWhyOnceAndIsRewrittenOnlyWhenGood) {
    const std::string good = "pack levels\nlevel 2\nchecksum " + levelChecksum(two) + "\n";
    struct Case {
        const char* what;
        std::string make;  // a shell command, or the file's content after "write:"
        const char* said;  // in the first message ("" none)
        int level;
        bool rewritten;  // a move later the file holds it
    };
    const Case cases[] = {
        {"none", "true", "", 1, true},
        {"empty", "write:", "damaged", 1, true},
        {"noise", "head -c 3000 /dev/urandom > progress.txt", "damaged", 1, true},
        {"a line of 1 MB", "head -c 1048576 /dev/zero | tr '\\0' D | sed 's/^/moves /' > progress.txt", "too large", 1, true},
        {"moves the level refuses", "write:" + good + "moves UU\n", "could not be played again", 2, true},
        {"moves off the board's edge", "write:" + good + "moves " + std::string(20, 'R') + "\n", "could not be played again", 2, true},
        {"moves past the bone", "write:" + good + "moves DDDDDD\n", "could not be played again", 2, true},
        {"a level that is not there", "write:pack levels\nlevel 7\nchecksum " + levelChecksum(two) + "\nmoves D\n", "could not be read", 1, true},
        {"a pack that is not there", "write:pack packs/gone\nlevel 1\nchecksum " + levelChecksum(one) + "\nmoves D\n", "could not be read", 1, true},
        {"the level changed since", "write:pack levels\nlevel 2\nchecksum 0123456789abcdef\nmoves D\n", "has changed", 2, true},
        {"a folder", "mkdir progress.txt", "could not be read", 1, false},
        {"a pipe", "mkfifo progress.txt", "could not be read", 1, false},
        {"unwritable", "printf 'pack levels\\nlevel 2\\nchecksum " + levelChecksum(two) + "\\nmoves D\\n' > progress.txt && chmod 444 progress.txt", "", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(std::system("rm -rf progress.txt highscores.dat && touch highscores.dat"), 0);
        if (c.make.compare(0, 6, "write:") == 0)
            dir.write("progress.txt", c.make.substr(6));
        else
            ASSERT_EQ(std::system(c.make.c_str()), 0);
        start();
        auto* message = on<MessageDialog>();
        EXPECT_EQ(message ? message->text().find(c.said) != std::string::npos : std::string(c.said).empty(), true)
            << (message ? message->text() : "no message");
        if (message) app->stack.close(), run(10);
        EXPECT_EQ(std::make_tuple(session().number, session().rules.moveCount, session().play.movesToTakeBack()),
                  std::make_tuple(c.level, c.level == 2 && !*c.said ? 1 : 0, size_t(c.level == 2 && !*c.said ? 1 : 0)));
        press(KEY_ENTER);
        move(KEY_RIGHT);
        run(1000);
        const bool told = on<MessageDialog>() && on<MessageDialog>()->text().find("could not be kept") != std::string::npos;
        const std::string now = kept(c.level, c.level == 2 ? two : one, moveLog::text(session().play.moves()));
        EXPECT_EQ(std::make_pair(dir.read("progress.txt") == now, told),
                  std::make_pair(c.rewritten, std::string(c.what) == "unwritable")) << "said once, when nothing was said at the start";
        EXPECT_EQ(dir.read("highscores.dat"), "") << "no record";
        app.reset();
        std::system("chmod 644 progress.txt 2>/dev/null");
    }
}

}  // namespace

namespace {

// A level won in one move Right, or (the long way) Down, Right, Up.
struct Watching : LevelFixture {
    const std::string level = formatLevel(levelOf(textBoard({"", "", "d.....b", ".......#", "#"}), "Short"));
    void SetUp() override {
        dir.write("levels/1.lvl", level);
        dir.write("highscores.dat", "");
    }
    void win(const std::vector<int>& ks) {
        session().loadLevel(1);
        app->stack.showOnly(ScreenId::Playing);
        run(20);
        for (int k : ks) press(k, 40, 400);
        ASSERT_TRUE(until([&] { return on<WonScreen>() != nullptr; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the table and the way, written on their own thread
        run(20);
    }
    WatchingScreen* watch(int k) {
        app->stack.showOnly(ScreenId::Menu);
        run(20);
        press(KEY_S);
        press(k);
        return on<WatchingScreen>();
    }
};

TEST_F(Watching, ANewBestKeepsItsWayAndWAndFWatchAsTheGamePlaysNothingRecorded) {
    start();
    press(KEY_ENTER);
    win({KEY_DOWN, KEY_RIGHT, KEY_UP});
    EXPECT_TRUE(until([&] { return dir.read("replays.txt") == "levels\t1\t" + levelChecksum(level) + "\tDRU\n"; }));
    win({KEY_DOWN, KEY_RIGHT, KEY_UP, KEY_LEFT});
    EXPECT_EQ(dir.read("replays.txt"), "levels\t1\t" + levelChecksum(level) + "\tDRU\n") << "no new best, no new way";
    dir.write("replays.txt", "packs/other\t3\t0123456789abcdef\tLL\nlevels\t1\t" + levelChecksum(level) + "\tDRU\n");
    win({KEY_RIGHT});
    until([&] { return dir.read("replays.txt").find("\tR\n") != std::string::npos; });
    EXPECT_EQ(dir.read("replays.txt"), "packs/other\t3\t0123456789abcdef\tLL\nlevels\t1\t" + levelChecksum(level) + "\tR\n");

    dir.write("replays.txt", "levels\t1\t" + levelChecksum(level) + "\tDRU\n");
    const std::string table = dir.read("highscores.dat");
    const RuleState inPlay = session().rules;
    for (auto [k, moves] : {std::pair{KEY_W, 3u}, {KEY_F, 1u}}) {
        WatchingScreen* w = watch(k);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(lineShows(drawn(), 12, "Watching  -  " + captionText(1, "Short"), makecol(20, 20, 20)));
        // At the game's pace: a slide of six cells takes 96 ticks.
        run(96 * Motion::kTickUs / 1000 - 30);
        EXPECT_FALSE(w->over());
        ASSERT_TRUE(until([&] { return w->over(); }));
        EXPECT_EQ(std::make_tuple(w->played(), w->board().dogColumn, w->board().dogRow), std::make_tuple(moves, 6, 2));
        press(KEY_ESC);
        EXPECT_NE(on<ChooserScreen>(), nullptr);
    }
    EXPECT_TRUE(dir.read("highscores.dat") == table && session().rules == inPlay) << "nothing recorded, nothing played";
    dir.write("levels/1.lvl", formatLevel(levelOf(textBoard({"", "", "d.....b", ".......#", "#"}), "Changed")));
    EXPECT_EQ(watch(KEY_W), nullptr) << "a way kept for the level before it changed";
    EXPECT_NE(watch(KEY_F), nullptr);
}

TEST_F(Watching, ADamagedReplaysFileIsToldOnceNeverWatchedAndRewrittenWithGoodLinesOnly) {
    const std::string good = "levels\t1\t" + levelChecksum(level) + "\tDRU";
    const struct { const char* what; std::string content; bool kept; } cases[] = {
        {"noise and a good line", "\x01\xff\t\t\n" + good + "\n", true},
        {"moves that do not win", "levels\t1\t" + levelChecksum(level) + "\tD\n", false},
        {"a line of 1 MB", "levels\t1\t" + levelChecksum(level) + "\t" + std::string(5 << 20, 'D') + "\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("replays.txt", c.content);
        dir.write("highscores.dat", "");
        start();
        EXPECT_EQ(on<MessageDialog>() != nullptr, std::string(c.what) != "moves that do not win");
        if (on<MessageDialog>()) app->stack.close(), run(10);
        dir.write("highscores.dat", "1 9\n");
        EXPECT_EQ(watch(KEY_W) != nullptr, c.kept);
        app->stack.showOnly(ScreenId::Menu);
        press(KEY_ENTER);
        win({KEY_RIGHT});
        const std::string best = "levels\t1\t" + levelChecksum(level) + "\tR\n";
        EXPECT_TRUE(until([&] { return dir.read("replays.txt") == best; })) << dir.read("replays.txt").substr(0, 80);
        app.reset();
    }
}

}  // namespace
