// Undo, the hint, the dead-end notice, the score line, and the advisor that never answers a question no longer asked.
#include "fixture.h"

namespace {

class PlayAidTest : public GameFixture {
protected:
    void press(int k) {  // and the steps until the dog stands still and no rock falls
        tap({k});
        for (int i = 0; i < 5000 && game.screenMode == Playing && !game.rules.betweenMoves(); ++i) tap();
    }
    // The advisor's answer about where the player stands, taken in.
    void advise() {
        game.handleInput();
        ASSERT_TRUE(game.aid.advisor.waitForAnswer(Advisor::Position, 10000));
        tap();
    }
    static bool same(const RuleState& a, const RuleState& b) {
        return boardRows(a) == boardRows(b) && a.dogColumn == b.dogColumn && a.dogRow == b.dogRow &&
               a.rockFalling == b.rockFalling && a.moveCount == b.moveCount && a.selection == b.selection;
    }
    // The box round the pixels `change` changes on screen, and how many of them lie inside `inside` (x0, y0, x1, y1).
    struct Changed {
        int left = 640, top = 480, right = -1, bottom = -1, within = 0;
    };
    Changed changedBy(const std::function<void()>& change, const int (&inside)[4] = {0, 0, 0, 0}) {
        BITMAP* frame[2] = {create_bitmap(640, 480), create_bitmap(640, 480)};
        for (BITMAP* f : frame) {
            game.redrawNeeded = true;
            game.drawScreen(f);
            if (f == frame[0]) change();
        }
        Changed c;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (getpixel(frame[0], x, y) != getpixel(frame[1], x, y)) {
                    c.left = std::min(c.left, x), c.right = std::max(c.right, x);
                    c.top = std::min(c.top, y), c.bottom = std::max(c.bottom, y);
                    c.within += x >= inside[0] && x < inside[2] && y >= inside[1] && y < inside[3];
                }
        for (BITMAP* f : frame) destroy_bitmap(f);
        return c;
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
    tap({KEY_DOWN});
    press(KEY_U);
    ASSERT_EQ(game.moveCount, 5);
    for (size_t i = before.size(); i-- > 0;) {
        press(i % 2 ? KEY_BACKSPACE : KEY_U);
        EXPECT_TRUE(same(game.rules, before[i])) << "move " << i;
    }
    press(KEY_U);
    EXPECT_TRUE(same(game.rules, before.front())) << "nothing before the start";
    game.restartLevel();  // forgets the history
    const RuleState restarted = game.rules;
    press(KEY_U);
    EXPECT_TRUE(same(game.rules, restarted));
}

TEST_F(PlayAidTest, HintShowsTheWayAndADeadEndIsTold) {
    game.rules = textBoard({"", "", "d  ", "^^b"}, 0, true);  // Right, then Down
    game.screenMode = Playing;
    game.beginLevelPlay();
    advise();
    press(KEY_H);
    EXPECT_EQ(std::make_tuple(game.aid.notice, game.aid.hintDirection, game.aid.hintMoves, game.moveCount),
              std::make_tuple(PlayAid::HintNotice, int32_t(Right), 2, 0));

    setBoard({"..#", "..d", "..b"}, 12);
    const RuleState start = game.rules;
    game.beginLevelPlay();
    advise();
    EXPECT_EQ(std::make_pair(game.aid.fewest, game.aid.notice), std::make_pair(1, PlayAid::NoNotice)) << "nothing said unasked";
    // Right lets the rock fall onto the bone: a dead end, told after the move.
    press(KEY_RIGHT);
    EXPECT_EQ(game.aid.notice, PlayAid::NoNotice);
    advise();
    EXPECT_EQ(game.aid.notice, PlayAid::DeadEndNotice);
    game.aid.notice = PlayAid::NoNotice;
    press(KEY_H);
    EXPECT_EQ(game.aid.notice, PlayAid::DeadEndNotice) << "H at a dead end tells the dead end";
    press(KEY_U);
    EXPECT_EQ(game.aid.notice, PlayAid::NoNotice) << "gone with the move taken back";
    EXPECT_TRUE(same(game.rules, start)) << "the rock back where it hung";
    press(KEY_H);
    advise();
    EXPECT_EQ(std::make_tuple(game.aid.notice, game.aid.hintDirection), std::make_tuple(PlayAid::HintNotice, int32_t(Down)));
}

TEST_F(PlayAidTest, AnAnswerToAQuestionNoLongerAskedIsNeverGiven) {
    // The bone sealed in a ring of sky under a row of rocks: a search that runs to its bound.
    const RuleState hard = textBoard({"", "", "####################", "d", "", "", "        ^^^^^", "        ^   ^",
                                      "        ^ b ^", "        ^   ^", "        ^^^^^"});
    const RuleState easy = textBoard({"", "", "d.b"});
    Advisor advisor(nullptr, {400000});
    advisor.ask(Advisor::LevelStart, hard);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // under way, so that the player's question pauses it
    advisor.ask(Advisor::Position, hard);
    advisor.ask(Advisor::Position, easy);  // cancels the running question
    ASSERT_TRUE(advisor.waitForAnswer(Advisor::Position, 60000));
    SolveResult r;
    ASSERT_TRUE(advisor.answer(Advisor::Position, r));
    EXPECT_EQ(r.moves, solve(easy).moves);
    advisor.drop(Advisor::Position);
    EXPECT_FALSE(advisor.answer(Advisor::Position, r));
    // The level's question, paused for the player's, is answered after it, in full.
    ASSERT_TRUE(advisor.waitForAnswer(Advisor::LevelStart, 60000));
    ASSERT_TRUE(advisor.answer(Advisor::LevelStart, r));
    EXPECT_EQ(r.reason, SolveResult::TooMuchWork);
}

TEST_F(PlayAidTest, ScoreLineStandsBesideTheCaptionAndTheWonScreenAddsTheFewest) {
    dir.write("highscores.dat", "2 9\r\n1 7\r\n");
    setBoard({"", "", "d.b"});
    game.levelNumber = 1;
    for (bool edited : {true, false}) {  // an edited board is not the level: no best
        game.boardEdited = edited, game.beginLevelPlay(), advise();
        EXPECT_EQ(std::make_pair(game.aid.best, game.aid.fewest), std::make_pair(edited ? int(PlayAid::kNotKnown) : 7, 1));
    }
    // Beside a short caption in the sky row; below a caption that leaves no room.
    for (auto [title, top, bottom] : {std::tuple{std::string("Short"), 0, 31}, {std::string(60, 'W'), 32, 63}}) {
        SCOPED_TRACE(title);
        game.levelTitle = title;
        game.moveCount = 3, game.aid.best = 7, game.aid.fewest = 4;
        const int half = text_length(font, ("Level #1: \"" + title + "\"").c_str()) / 2;
        Changed c = changedBy([&] { game.moveCount = 123, game.aid.best = 45678, game.aid.fewest = 9999; },
                              {320 - half, 0, 320 + half, 32});
        EXPECT_TRUE(c.top >= top && c.bottom <= bottom) << c.top << " " << c.bottom;
        EXPECT_TRUE(c.left < 100 && c.right > 540) << "the moves on the left, the best and the fewest on the right";
        EXPECT_EQ(c.within, 0) << "nothing over the caption";
    }
    game.screenMode = LevelWon;
    Changed c = changedBy([&] { game.aid.fewest = 5; });
    EXPECT_TRUE(c.top >= 440 && c.right > 0);

    // A bone buried under a rock stays hidden.
    for (auto [slot, grey] : {std::pair{int(BlackRock), 120}, {int(BoneTile), 240}}) {
        game.tileImages[slot] = create_bitmap(32, 32);
        clear_to_color(game.tileImages[slot], makecol(grey, grey, grey));
    }
    setBoard({"", "", "d.o"});
    game.boneColumn = 2, game.boneRow = 2;
    EXPECT_EQ(changedBy([&] { game.boneColumn = 1; }, {64, 64, 96, 96}).within, 0);
}

}  // namespace
