// What the player gets besides the moves: undo, the hint, the dead-end
// notice, the score line, and the advisor behind them that never shows an
// answer to a question no longer asked.
#include "rules_fixture.h"

#include "play/solver.h"

namespace {

class PlayAidTest : public RulesTest {
protected:
    void press(int k) {
        key[k] = -1, inputLatch::onKey(k);
        tick();
        key[k] = 0, inputLatch::onKey(k | 0x80);
        settle();
    }
    // The advisor's answer about where the player stands, taken in.
    void advise() {
        game.pollInput();
        ASSERT_TRUE(game.aid.advisor.waitForAnswer(Advisor::Position, 10000));
        tick();
    }
    // The same position: board, dog, bone, falling rock and count.
    static bool same(const RuleState& a, const RuleState& b) {
        return boardRows(a) == boardRows(b) && a.dogColumn == b.dogColumn && a.dogRow == b.dogRow &&
               a.rockFalling == b.rockFalling && a.moveCount == b.moveCount && a.selection == b.selection;
    }
    BITMAP* frame() {
        BITMAP* b = create_bitmap(640, 480);
        game.redrawNeeded = true;
        game.drawScreen(b);
        return b;
    }
    // Pixels that differ between two frames, and the box around them.
    static int changed(BITMAP* a, BITMAP* b, int& left, int& top, int& right, int& bottom) {
        int n = 0;
        left = top = 9999, right = bottom = -1;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (getpixel(a, x, y) != getpixel(b, x, y))
                    ++n, left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                         bottom = std::max(bottom, y);
        return n;
    }
};

TEST_F(PlayAidTest, UndoTakesEveryMoveBackToTheStartAndOnlyBetweenMoves) {
    setBoard({"", "", "", "...d", "....", "..#.", "", "", "..........B"});
    game.beginLevelPlay();
    std::vector<RuleState> before;
    for (int k : {KEY_LEFT, KEY_DOWN, KEY_RIGHT, KEY_UP}) {
        before.push_back(game.rules);
        press(k);
    }
    // U pressed while the dog slides is not kept for the slide's end.
    before.push_back(game.rules);
    key[KEY_DOWN] = -1, inputLatch::onKey(KEY_DOWN);
    tick();
    key[KEY_DOWN] = 0, inputLatch::onKey(KEY_DOWN | 0x80);
    press(KEY_U);
    ASSERT_EQ(game.moveCount, 5);
    ASSERT_FALSE(same(game.rules, before.back()));
    // Back one move at a time, each to the position before it, down to the start.
    for (size_t i = before.size(); i-- > 0;) {
        press(i % 2 ? KEY_BACKSPACE : KEY_U);
        EXPECT_TRUE(same(game.rules, before[i])) << "move " << i;
    }
    press(KEY_U);
    EXPECT_TRUE(same(game.rules, before.front())) << "nothing before the start";
    // A restart forgets the history.
    game.restartLevel();
    const RuleState restarted = game.rules;
    press(KEY_U);
    EXPECT_TRUE(same(game.rules, restarted));
}

TEST_F(PlayAidTest, HintShowsTheWayAndADeadEndIsTold) {
    setBoard(at(12, {"..#", "..d", "..b"}));
    game.beginLevelPlay();
    advise();
    const SolveResult best = solve(game.rules);
    ASSERT_EQ(best.outcome, SolveResult::Solved);
    EXPECT_EQ(game.aid.fewest, best.fewestMoves());
    EXPECT_EQ(game.aid.notice, PlayAid::NoNotice) << "nothing is said unasked";
    press(KEY_H);
    EXPECT_EQ(game.aid.notice, PlayAid::HintNotice);
    EXPECT_EQ(game.aid.hintDirection, best.firstMove());
    EXPECT_EQ(game.aid.hintMoves, best.fewestMoves());
    EXPECT_EQ(game.moveCount, 0) << "a hint is no move";
    // Right lets the rock fall onto the bone in the bottom row: a dead end,
    // told after the move.
    press(KEY_RIGHT);
    EXPECT_EQ(game.aid.notice, PlayAid::NoNotice) << "the hint goes with the move";
    advise();
    EXPECT_EQ(game.aid.notice, PlayAid::DeadEndNotice);
    press(KEY_U);
    EXPECT_EQ(game.aid.notice, PlayAid::NoNotice);
    advise();
    EXPECT_EQ(game.aid.notice, PlayAid::NoNotice);
    press(KEY_RIGHT);
    advise();
    game.aid.notice = PlayAid::NoNotice;
    press(KEY_H);
    EXPECT_EQ(game.aid.notice, PlayAid::DeadEndNotice) << "H at a dead end tells the dead end";
}

TEST_F(PlayAidTest, AnAnswerToAQuestionNoLongerAskedIsNeverGiven) {
    RuleState hard, easy;
    ASSERT_TRUE(game.loadLevelFile(harness::dataDir() + "/levels/20.lvl"));
    hard = game.rules;
    setBoard({"", "", "d.b"});
    easy = game.rules;
    Advisor advisor;
    advisor.ask(Advisor::LevelStart, hard);
    advisor.ask(Advisor::Position, hard);
    advisor.ask(Advisor::Position, easy);  // cancels the running question
    ASSERT_TRUE(advisor.waitForAnswer(Advisor::Position, 10000));
    SolveResult r;
    ASSERT_TRUE(advisor.answer(Advisor::Position, r));
    EXPECT_EQ(r.moves, solve(easy).moves);
    advisor.drop(Advisor::Position);
    EXPECT_FALSE(advisor.answer(Advisor::Position, r));
    // The level's question, paused for the player's, is answered after it.
    ASSERT_TRUE(advisor.waitForAnswer(Advisor::LevelStart, 60000));
    ASSERT_TRUE(advisor.answer(Advisor::LevelStart, r));
    EXPECT_EQ(r.moves, solve(hard).moves);
}

TEST_F(PlayAidTest, ScoreLineStandsBesideTheCaptionAndTheWonScreenAddsTheFewest) {
    dir.write("highscores.dat", "2 9\r\n1 7\r\n");
    setBoard({"", "", "d.b"});
    game.levelNumber = 1;
    game.beginLevelPlay();
    advise();
    EXPECT_EQ(game.aid.best, 7);
    EXPECT_EQ(game.aid.fewest, 1);
    struct Case {
        std::string title;
        int top, bottom;  // rows the numbers change in
    };
    for (const Case& c : {Case{"Short", 0, 31}, Case{std::string(60, 'W'), 32, 63}}) {
        SCOPED_TRACE(c.title);
        game.levelTitle = c.title;
        game.moveCount = 3, game.aid.best = 7, game.aid.fewest = 4;
        BITMAP* a = frame();
        game.moveCount = 123, game.aid.best = 45678, game.aid.fewest = 9999;
        BITMAP* b = frame();
        int left, top, right, bottom;
        EXPECT_GT(changed(a, b, left, top, right, bottom), 20);
        EXPECT_GE(top, c.top);
        EXPECT_LE(bottom, c.bottom);
        EXPECT_LT(left, 100);
        EXPECT_GT(right, 540);
        // Nothing changes under the caption.
        const int half = text_length(font, ("Level #1: \"" + c.title + "\"").c_str()) / 2;
        for (int y = 0; y < 32; ++y)
            for (int x = std::max(0, 320 - half); x < std::min(640, 320 + half); ++x)
                ASSERT_EQ(getpixel(a, x, y), getpixel(b, x, y)) << x << "," << y;
        destroy_bitmap(a);
        destroy_bitmap(b);
    }
    game.screenMode = LevelWon;
    game.aid.fewest = 4;
    BITMAP* a = frame();
    game.aid.fewest = 5;
    BITMAP* b = frame();
    int left, top, right, bottom;
    EXPECT_GT(changed(a, b, left, top, right, bottom), 0);
    EXPECT_GE(top, 440);
    destroy_bitmap(a);
    destroy_bitmap(b);
}

TEST_F(PlayAidTest, ABuriedBoneIsDrawnUnderItsRock) {
    game.tileImages[BlackRock] = create_bitmap(32, 32);
    clear_to_color(game.tileImages[BlackRock], makecol(120, 120, 120));
    game.tileImages[BoneTile] = create_bitmap(32, 32);
    clear_to_color(game.tileImages[BoneTile], makecol(240, 240, 240));
    setBoard({"", "", "d.o"});
    game.boneColumn = 2, game.boneRow = 2;
    BITMAP* a = frame();
    EXPECT_EQ(getpixel(a, 2 * 32 + 16, 2 * 32 + 16), makecol(120, 120, 120));
    destroy_bitmap(a);
}

}  // namespace
