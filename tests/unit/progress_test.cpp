// The level in play kept across a restart (progress.txt): resumed exactly with its undo history, kept within a second of a move and at quit, and bad files started afresh without harm.
#include "fixture.h"
#include "session/move_log.h"
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
