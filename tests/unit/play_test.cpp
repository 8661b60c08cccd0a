// Playing through the loop: presses become moves as the player means them, undo, the hint, the dead end, the score line, the advisor.
#include "fixture.h"

namespace {

class Playing : public LevelFixture {
protected:
    void SetUp() override {
        dir.write("levels/1.lvl", levelBytes("Play", "2 1 10 8"));
        dir.write("highscores.dat", "1 7\r\n");
        start();
        press(KEY_ENTER);
        ASSERT_NE(on<PlayingScreen>(), nullptr);
    }
    // The key, then the loop until the dog stands still, no rock falls and the advisor has answered.
    void move(int k) {
        press(k, 60, 20);
        for (int i = 0; i < 5000 && !session().rules.betweenMoves(); ++i) run(5);
        settle();
    }
    void settle() {
        session().play.waitForAdvice(5000);
        for (int i = 0; i < 400 && (session().play.adviceWaiting() || session().play.fewest == fewest::kNotKnown); ++i)
            run(5), std::this_thread::sleep_for(std::chrono::milliseconds(5));
        run(20);
    }
    // Left, then Right and Left by turns pressed during it, `n` presses 3 ms apart.
    static std::vector<Press> alternating(int n) {
        std::vector<Press> out = {{KEY_LEFT, 10, 30}};
        for (int i = 0; i < n; ++i) out.push_back({i % 2 ? KEY_LEFT : KEY_RIGHT, 40ul + 3 * i, 41ul + 3 * i});
        return out;
    }
    static bool same(const RuleState& a, const RuleState& b) {
        return boardRows(a) == boardRows(b) && a.dogColumn == b.dogColumn && a.dogRow == b.dogRow &&
               a.rockFalling == b.rockFalling && a.moveCount == b.moveCount && a.selection == b.selection;
    }
};

TEST_F(Playing, PressesAndHoldsCountAsThePlayerMeansThem) {
    struct Case {
        const char* what;
        std::vector<std::string> board;
        std::vector<Press> presses;
        int moves, column, row;
    };
    const Case cases[] = {
        {"a 20 ms tap slides once", {"", "", "d"}, {{KEY_RIGHT, 10, 30}}, 1, 19, 2},
        {"a 3 ms tap between two frames is kept", {"", "D"}, {{KEY_RIGHT, 11, 14}}, 1, 1, 1},
        {"a bump: Up held 200 ms against the sky is no move", {"", "D"}, {{KEY_UP, 10, 210}}, 0, 0, 1},
        {"a bump: Right held into a rock, its press repeated, is no move", {"", "", "d#"}, {{KEY_RIGHT, 10, 160, true}}, 0, 0, 2},
        {"Down held 900 ms through a slide that ends at a rock is one move", {"", "", "d", "", "", "", "", "", "#"},
         {{KEY_DOWN, 10, 910}}, 1, 0, 7},
        {"a 150 ms tap on the ground line walks one cell", {"", "D"}, {{KEY_RIGHT, 10, 160}}, 1, 1, 1},
        {"a press during a walk is played once, after it", {"", "D"}, {{KEY_RIGHT, 10, 30}, {KEY_RIGHT, 40, 60}}, 2, 2, 1},
        {"held 600 ms on the ground line, its press repeated: a move every 250 ms", {"", "D"}, {{KEY_RIGHT, 10, 610, true}}, 3, 3, 1},
        {"held on the ground line, it stops repeating at the edge", {"", "=================D"}, {{KEY_RIGHT, 10, 1500}}, 2, 19, 1},
        {"refused, then pressed again: still no move", {"", "", "d#"}, {{KEY_RIGHT, 10, 700}, {KEY_RIGHT, 800, 830}}, 0, 0, 2},
        {"Up and Right in one frame: up to the grass, then a step right", {"", "", "", "...d"}, {{KEY_UP, 10, 60}, {KEY_RIGHT, 10, 60}}, 2, 4, 1},
        {"Left and Right in one frame: both, in order", {"", "", "", "...d"}, {{KEY_LEFT, 10, 60}, {KEY_RIGHT, 10, 60}}, 2, 19, 3},
        {"a press in the slide, let go before its end, is played after it", {"", "", ".........d"},
         {{KEY_LEFT, 10, 30}, {KEY_DOWN, 200, 260}}, 2, 0, 14},
        {"presses in the slide are all played, in order", {"", "", ".........d"},
         {{KEY_LEFT, 10, 30}, {KEY_UP, 100, 110}, {KEY_DOWN, 120, 130}}, 3, 0, 14},
        {"a refused press among them counts nothing", {"", "", ".........d"},
         {{KEY_LEFT, 10, 30}, {KEY_LEFT, 100, 110}, {KEY_DOWN, 120, 130}}, 2, 0, 14},
        {"sixteen presses wait, no more", {"", "", ".........d"}, alternating(20), 17, 0, 2},
        {"U in the slide takes it back and forgets the presses", {"", "", ".........d"},
         {{KEY_LEFT, 10, 30}, {KEY_DOWN, 100, 110}, {KEY_U, 150, 170}}, 0, 9, 2},
        {"Escape in the slide forgets the presses; Play ends the slide alone", {"", "", ".........d"},
         {{KEY_LEFT, 10, 30}, {KEY_DOWN, 100, 110}, {KEY_ESC, 150, 170}, {KEY_ENTER, 400, 450}}, 1, 0, 2},
        {"a press held through the slide plays once; the bottom refuses its repeat", {"", "", ".........d"},
         {{KEY_LEFT, 10, 30}, {KEY_DOWN, 200, 6000}}, 2, 0, 14},
        {"an arrow pressed in the restart question is no move", {"", "D"}, {{KEY_R, 10, 150}, {KEY_RIGHT, 200, 230}, {KEY_N, 300, 360}}, 0, 0, 1},
        {"an arrow held into the restart question repeats no more after it", {"", "D"},
         {{KEY_RIGHT, 10, 1500}, {KEY_R, 100, 150}, {KEY_N, 600, 650}}, 1, 1, 1},
        {"an arrow held out of the options is no move", {"", "D"}, {{KEY_O, 10, 60}, {KEY_RIGHT, 200, 900}, {KEY_ESC, 300, 360}}, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setBoard(c.board);
        for (const Press& p : c.presses) {
            for (unsigned long t = p.from; t < p.to; t += p.repeated ? 30 : p.to)
                harness::at(harness::nowMs + t, [k = p.key] { key[k] = -1, input::onKey(k); });
            harness::at(harness::nowMs + p.to, [k = p.key] { key[k] = 0, input::onKey(k | 0x80); });
        }
        run(7000);
        EXPECT_EQ(std::make_tuple(session().rules.moveCount, session().rules.dogColumn, session().rules.dogRow,
                                  session().rules.dogOffsetX, session().rules.dogOffsetY),
                  std::make_tuple(c.moves, c.column, c.row, 0, 0));
    }
}

TEST_F(Playing, APressMadeDuringAMoveWaitsBrieflyAndUndoEndsTheMoveAtOnce) {
    // Right digs nineteen cells; Up, pressed 200 ms in, starts within 150 ms and ends where the two moves end one after the other.
    setBoard({"", "", "d"});
    RuleState apart = session().rules;
    playMove(apart, Right), playMove(apart, Up);
    harness::holdKey(KEY_RIGHT, 10, 40);
    harness::holdKey(KEY_UP, 200, 230);
    run(350);
    EXPECT_EQ(session().rules.moveCount, 2) << "Up under way 150 ms after its press";
    run(1000);
    EXPECT_TRUE(same(session().rules, apart));

    // Thirteen rocks fall behind the dog; U ends the move and takes it back within a frame.
    setBoard({"", "", "#############", "d"});
    const RuleState begun = session().rules;
    harness::holdKey(KEY_RIGHT, 10, 40);
    run(300);
    for (int i = 0; i < 200 && !session().rules.rockFalling; ++i) run(5);
    ASSERT_TRUE(session().rules.rockFalling);
    harness::holdKey(KEY_U, 0, 60);
    run(5);
    EXPECT_TRUE(same(session().rules, begun));
    run(500);
    EXPECT_TRUE(same(session().rules, begun)) << "nothing of the move goes on";
    EXPECT_EQ(session().play.movesToTakeBack(), 0u);
}

TEST_F(Playing, TheGamepadPlaysAsTheKeysDo) {
    setBoard({"", "D"});
    num_joysticks = 1;
    joy[0] = JOYSTICK_INFO();
    joy[0].num_sticks = 2, joy[0].num_buttons = 4;
    joy[0].stick[0].num_axis = joy[0].stick[1].num_axis = 2;
    joy[0].stick[1].flags = JOYFLAG_DIGITAL;  // the d-pad
    auto hold = [&](int& control, unsigned long ms) {
        control = 1, run(ms), control = 0, run(100);
    };
    hold(joy[0].stick[0].axis[0].d2, 150);  // the stick, right: one step
    hold(joy[0].stick[1].axis[0].d2, 600);  // the d-pad, right, held: repeats
    EXPECT_EQ(std::make_pair(session().rules.moveCount, session().rules.dogColumn), std::make_pair(4, 4));
    hold(joy[0].button[2].b, 50);  // undo
    hold(joy[0].stick[0].axis[1].d1, 150);  // up, into the sky: refused
    EXPECT_EQ(std::make_pair(session().rules.moveCount, session().rules.dogColumn), std::make_pair(3, 3));
    hold(joy[0].button[1].b, 50);  // Escape: the menu, the level kept
    EXPECT_NE(on<MenuScreen>(), nullptr);
    hold(joy[0].button[0].b, 50);  // Enter: Play resumes it
    ASSERT_NE(on<PlayingScreen>(), nullptr);
    EXPECT_EQ(session().rules.moveCount, 3);
    hold(joy[0].button[3].b, 50);  // the hint
    settle();
    EXPECT_EQ(session().play.notice, Play::HintNotice);
    joy[0].num_buttons = 6, joy[0].button[5].b = 1;  // the right shoulder: Space held, never pressed
    run(10);
    EXPECT_EQ(std::make_pair(input::held().key(KEY_SPACE), on<PlayingScreen>() != nullptr), std::make_pair(true, true));
    joy[0].button[5].b = 0;
    num_joysticks = 0;
    run(20);
}

TEST_F(Playing, UndoTakesEveryMoveBackToTheStartAndRestartForgetsThem) {
    setBoard({"", "", "", "...d", "....", "..#.", "", "", "..........B"});
    std::vector<RuleState> before;
    for (int k : {KEY_LEFT, KEY_DOWN, KEY_RIGHT, KEY_UP}) before.push_back(session().rules), move(k);
    ASSERT_EQ(session().rules.moveCount, 4);
    for (size_t i = before.size(); i-- > 0;) {
        move(i % 2 ? KEY_BACKSPACE : KEY_U);
        EXPECT_TRUE(same(session().rules, before[i])) << "move " << i;
    }
    move(KEY_U);
    EXPECT_TRUE(same(session().rules, before.front())) << "nothing before the start";
    move(KEY_RIGHT);
    session().restartLevel();
    const RuleState restarted = session().rules;
    move(KEY_U);
    EXPECT_TRUE(same(session().rules, restarted));
}

TEST_F(Playing, HintShowsTheWayADeadEndIsToldAndTheScoreLineStandsBesideTheCaption) {
    session().rules = textBoard({"", "", "d  ", "^^b"}, 0, true);  // Right, then Down
    session().play.begin(fewest::kNotKnown);
    settle();
    move(KEY_H);
    const Play& play = session().play;
    EXPECT_EQ(std::make_tuple(play.notice, play.hintDirection, play.hintMoves, session().rules.moveCount),
              std::make_tuple(Play::HintNotice, int32_t(Right), 2, 0));
    EXPECT_TRUE(lineShows(drawn(), 26, "2 moves to the bone", makecol(20, 20, 20)));

    setBoard({"..#", "..d", "..b"}, 12);
    const RuleState begun = session().rules;
    settle();
    EXPECT_EQ(std::make_pair(play.fewest, play.notice), std::make_pair(1, Play::NoNotice)) << "nothing said unasked";
    move(KEY_RIGHT);  // the rock falls onto the bone: a dead end, told after the move
    EXPECT_EQ(play.notice, Play::DeadEndNotice);
    move(KEY_H);
    EXPECT_EQ(play.notice, Play::DeadEndNotice) << "H at a dead end tells the dead end";
    move(KEY_U);
    EXPECT_EQ(play.notice, Play::NoNotice) << "gone with the move taken back";
    EXPECT_TRUE(same(session().rules, begun)) << "the rock back where it hung";
    move(KEY_H);
    EXPECT_EQ(std::make_tuple(play.notice, play.hintDirection), std::make_tuple(Play::HintNotice, int32_t(Down)));

    // The best from the table (none for an edited board), the fewest worked out; beside a short caption, below a long one.
    session().loadLevel(1);
    settle();
    EXPECT_EQ(std::make_pair(play.best, play.fewest), std::make_pair(7, fewest::of(solve(session().rules))));
    for (auto [title, y] : {std::pair{std::string("Short"), 12}, {std::string(60, 'W'), 44}}) {
        session().title = title;
        drawn();
        // The moves in dark letters from the left margin.
        BITMAP* want = solid(100, 8, 0, 0, 0);
        textout_ex(want, font, "Moves: 0", 0, 0, makecol(20, 20, 20), -1);
        int wrong = 0;
        for (int i = 0; i < 100 * 8; ++i)
            wrong += (getpixel(picture, 6 + i % 100, y + i / 100) == makecol(20, 20, 20)) != (getpixel(want, i % 100, i / 100) == makecol(20, 20, 20));
        destroy_bitmap(want);
        EXPECT_EQ(wrong, 0) << title;
    }
    session().blankBoard();  // an edited board is not the level its number names: no best
    EXPECT_EQ(std::make_pair(session().number, play.best), std::make_pair(1, fewest::kNotKnown));
}

// A new level or a restart forgets what the arrows did before it: a press
// kept during a move, an arrow held and repeating.
TEST(PlayKeys, ANewLevelForgetsAPressKeptAndAnArrowHeld) {
    const struct { const char* what; std::vector<std::string> board; MoveKeys::Arrow arrow; bool held; } cases[] = {
        {"a press kept during a slide", {"", "", ".........d"}, MoveKeys::Down, false},
        {"an arrow held, repeating on the ground line", {"", "D"}, MoveKeys::Right, true},
    };
    for (const auto& c : cases) {
        RuleState rules = textBoard(c.board);
        Play play(rules, nullptr);
        play.begin(fewest::kNotKnown);
        Play::Input in;
        auto frames = [&](unsigned long ms) {
            for (const unsigned long end = in.nowMs + ms; in.nowMs < end; in.nowMs += 5) play.frame(in), in.arrows.pressCount = 0;
        };
        in.arrows.press(c.held ? c.arrow : MoveKeys::Left);  // a move under way
        in.arrows.down[c.arrow] = c.held;
        frames(c.held ? 600 : 20);
        if (!c.held) in.arrows.press(c.arrow), frames(5);
        ASSERT_TRUE(c.held ? play.moves().size() > 1 : play.pressWaiting()) << c.what;
        rules = textBoard(c.board);
        play.begin(fewest::kNotKnown);
        frames(2000);
        EXPECT_TRUE(play.moves().empty()) << c.what;
    }
}

TEST(Advisor, AnAnswerToAQuestionNoLongerAskedIsNeverGiven) {
    const RuleState hard = sealedBone();
    const RuleState easy = textBoard({"", "", "d.b"});
    Advisor advisor(nullptr, {400000});
    advisor.ask(Advisor::LevelStart, hard);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // under way, so that the player's question pauses it
    advisor.ask(Advisor::Position, hard);
    advisor.ask(Advisor::Position, easy);  // cancels the running question
    ASSERT_TRUE(advisor.waitForAnswer(Advisor::Position, 60000));
    SolveResult r;
    EXPECT_FALSE(advisor.answer(Advisor::LevelStart, r)) << "the level's search (seconds) was not stopped for the player's";
    ASSERT_TRUE(advisor.answer(Advisor::Position, r));
    EXPECT_EQ(r.moves, solve(easy).moves);
    // Moved on (or taken back), dropped: the earlier answer is gone at once.
    advisor.ask(Advisor::Position, hard);
    EXPECT_FALSE(advisor.answer(Advisor::Position, r));
    advisor.ask(Advisor::Position, easy);
    ASSERT_TRUE(advisor.waitForAnswer(Advisor::Position, 60000));
    advisor.drop(Advisor::Position);
    EXPECT_FALSE(advisor.answer(Advisor::Position, r));
    // The level's question, paused for the player's, is answered after it, in full.
    ASSERT_TRUE(advisor.waitForAnswer(Advisor::LevelStart, 60000));
    ASSERT_TRUE(advisor.answer(Advisor::LevelStart, r));
    EXPECT_EQ(r.reason, SolveResult::TooMuchWork);
}

}  // namespace

namespace {

// Each arrow ("UDRL") pressed in turn, the frames run until the move has ended.
void playArrows(Session& s, const std::string& arrows) {
    unsigned long now = 0;
    for (char a : arrows) {
        Play::Input in;
        const int k = static_cast<int>(std::string("UDRL").find(a));
        in.arrows.press(static_cast<MoveKeys::Arrow>(k)), in.arrows.down[k] = true, in.nowMs = now += 5;
        s.play.frame(in);
        for (int i = 0; i < 5000 && !s.rules.betweenMoves(); ++i) {
            Play::Input idle;
            idle.nowMs = now += 5;
            s.play.frame(idle);
        }
    }
}

TEST(RuleNotes, EachRuleIsToldTheFirstTimeItHappensAndNotTheSecondAndGoesAtTheNextMove) {
    using N = RuleNotes;
    const struct { const char* what; std::vector<std::string> rows; int boneColumn, boneRow; const char* arrows; std::vector<N::Note> told; } cases[] = {
        {"a rock falls behind the dog", {"", "", "#", "d"}, 19, 14, "R", {N::RockFalls}},
        {"the next rock up the column follows", {"", "", "#", " ", "#", "d"}, 19, 14, "R", {N::RockFalls, N::NextRockFollows}},
        {"a rock covers the bone in a tunnel", {"", "", "#", "d", "b"}, 0, 4, "R", {N::RockFalls, N::BoneCovered}},
        {"on earth the bone holds the rock up", {"", "", "#", "d", "B"}, 0, 4, "R", {N::RockFalls}},
        {"a covered bone is freed", {"", "", "", "#", "d"}, 0, 3, "R", {N::RockFalls, N::BoneFreed}},
        {"a walk on the grass tells nothing", {"", "D"}, 19, 14, "RR", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Session s;
        for (int round = 0; round < 2; ++round) {
            s.rules = textBoard(c.rows);
            s.rules.boneColumn = c.boneColumn, s.rules.boneRow = c.boneRow;
            s.play.begin(fewest::kNotKnown);
            playArrows(s, c.arrows);
            // The second time round the notes have been told.
            EXPECT_EQ(s.notes.showing(), round == 0 ? c.told : std::vector<N::Note>{}) << round;
            EXPECT_EQ(s.notes.takeNewlyTold(), round == 0 && !c.told.empty());
            s.notes.follow(s.rules.moveCount + 1);
            EXPECT_TRUE(s.notes.showing().empty()) << "gone at the next move";
        }
        // Kept and read back, they stay told; forgotten, they are told again.
        N again;
        again.setTold(s.notes.told());
        EXPECT_EQ(again.told(), s.notes.told());
        s.notes.forgetTold();
        s.rules = textBoard(c.rows), s.rules.boneColumn = c.boneColumn, s.rules.boneRow = c.boneRow;
        s.play.begin(fewest::kNotKnown);
        playArrows(s, c.arrows);
        EXPECT_EQ(s.notes.showing(), c.told);
    }
}

}  // namespace
