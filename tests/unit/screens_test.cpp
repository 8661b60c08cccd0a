// The screens as the loop meets them: where each key leads, messages drawn in the window and closed as a player expects, nothing pressed before a screen opens reaching it, the start-up.
#include "app/command_line.h"
#include "app/start_up.h"
#include "fixture.h"
#include "version.h"

namespace {

const char* nameOf(Screen* s) {
    return dynamic_cast<MenuScreen*>(s) ? "menu" : dynamic_cast<PlayingScreen*>(s) ? "playing"
         : dynamic_cast<WonScreen*>(s) ? "won" : dynamic_cast<ChooserScreen*>(s) ? "chooser"
         : dynamic_cast<OptionsScreen*>(s) ? "options" : dynamic_cast<HelpScreen*>(s) ? "help"
         : dynamic_cast<EditorScreen*>(s) ? "editor" : dynamic_cast<FinaleScreen*>(s) ? "finale" : dynamic_cast<MessageDialog*>(s) ? "message"
         : dynamic_cast<QuestionDialog*>(s) ? "question" : dynamic_cast<PromptDialog*>(s) ? "prompt" : "?";
}

const char* const kLongMessage = "A message long enough to need two lines at least, since its words do not fit one line of "
                                 "the panel in the window; and a second paragraph.\n\nThe end.";

using Screens = LevelFixture;

TEST_F(Screens, EachKeyLeadsWhereItShouldAndNoMessageLeavesTheWindow) {
    dir.write("levels/1.lvl", levelBytes("First Dig", "2 1 10 8"));  // the dog on the ground line
    dir.write("levels/2.lvl", levelBytes("Second Dig", "5 1 10 8"));
    const int U = KEY_UP, D = KEY_DOWN, E = KEY_ENTER;
    struct Case {
        const char* what;
        int level;
        bool boneBeside;  // the bone one Right from the dog
        std::vector<int> keys;
        const char* top;
        int levelAfter, movesAfter, menuLit;
        bool quits;
        const char* message;
        bool damagedTable = false;
    };
    const int K = -1;  // any
    // Each starts on the menu with three moves made in the level.
    const Case cases[] = {
        {"Up wraps to Quit", 1, false, {U}, "menu", 1, 3, 3, false, ""},
        {"Down", 1, false, {D, D, D, D}, "menu", 1, 3, 0, false, ""},
        {"Play goes on with the level as it stands", 1, false, {E}, "playing", 1, 3, K, false, ""},
        {"Options and back: Options lit", 1, false, {D, E, KEY_ESC}, "menu", 1, 3, 1, false, ""},
        {"Help and back: Help lit", 1, false, {D, D, KEY_SPACE, E}, "menu", 1, 3, 2, false, ""},
        {"Help, its rules page, back, Up, Up, Enter: play", 1, false, {D, D, E, KEY_RIGHT, KEY_ESC, U, U, E}, "playing", 1, 3, K, false, ""},
        {"A: the about box in the window", 1, false, {KEY_A}, "message", 1, 3, K, false, "W00f! Thanks for playing"},
        {"Enter closes it", 1, false, {KEY_A, E}, "menu", 1, 3, 0, false, ""},
        {"restart? No keeps the level", 1, false, {E, KEY_R, KEY_N}, "playing", 1, 3, K, false, ""},
        {"restart? Yes reads it again", 1, false, {E, KEY_R, KEY_Y}, "playing", 1, 0, K, false, ""},
        {"Escape in play keeps the level", 1, false, {E, KEY_ESC}, "menu", 1, 3, 0, false, ""},
        {"S: the chooser; Enter plays the level marked, afresh", 1, false, {KEY_S, D, E}, "playing", 2, 0, K, false, ""},
        {"the chooser's Escape goes back to the level in play", 1, false, {E, KEY_S, D, KEY_ESC}, "playing", 1, 3, K, false, ""},
        {"O in play: the options", 1, false, {E, KEY_O}, "options", 1, 3, K, false, ""},
        {"L: the editor", 1, false, {KEY_L}, "editor", 1, 0, K, false, ""},
        {"Escape quits", 1, false, {KEY_ESC}, "menu", 1, 3, K, true, ""},
        {"so does Quit", 1, false, {U, E}, "menu", 1, 3, K, true, ""},
        {"a win", 1, true, {E, KEY_RIGHT}, "won", 1, 4, K, false, ""},
        {"won: the first Enter ends the win's moment only", 1, true, {E, KEY_RIGHT, E}, "won", 1, 4, K, false, ""},
        {"won: Enter starts the next level", 1, true, {E, KEY_RIGHT, E, E}, "playing", 2, 0, K, false, ""},
        {"won the last level: the finale", 2, true, {E, KEY_RIGHT, KEY_A, KEY_SPACE}, "finale", 2, K, K, false, ""},
        {"the finale's Enter: the first level not solved", 2, true, {E, KEY_RIGHT, KEY_A, KEY_SPACE, E}, "playing", 1, 0, K, false, ""},
        {"a win over a damaged table says so in the window", 1, true, {E, KEY_RIGHT}, "message", 1, 4, K, false,
         "Error loading high scores table (\"highscores.dat\")", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        harness::reset();
        quit = false;
        start();  // the game before, and any record it was still writing, gone
        dir.write("highscores.dat", c.damagedTable ? "1 x\r\n" : "");
        session().loadLevel(c.level);
        session().rules.moveCount = 3;
        if (c.boneBeside) session().rules.boneColumn = session().rules.dogColumn + 1, session().rules.boneRow = 1;
        run(50);
        for (int k : c.keys) press(k);
        run(300);
        until([&] { return std::string(nameOf(top())) == c.top; });  // the table is written on a thread of its own
        ASSERT_EQ(std::string(nameOf(top())), c.top);
        EXPECT_EQ(std::make_tuple(session().number, quit.load()), std::make_tuple(c.levelAfter, c.quits));
        if (c.movesAfter != K) { EXPECT_EQ(session().rules.moveCount, c.movesAfter); }
        if (c.menuLit != K) { EXPECT_EQ(on<MenuScreen>()->selection(), c.menuLit); }
        if (auto* finale = on<FinaleScreen>()) {  // level 2 alone solved
            EXPECT_EQ(std::make_tuple(finale->solved(), finale->levels(), finale->firstUnsolved()), std::make_tuple(1, 2, 1));
        }
        if (*c.message) { EXPECT_EQ(on<MessageDialog>()->text().rfind(c.message, 0), 0u); }
        if (c.damagedTable) {
            press(KEY_ENTER);
            EXPECT_NE(on<WonScreen>(), nullptr) << "Enter closes the message only";
        }
        EXPECT_TRUE(harness::messages.empty()) << "a message box outside the window: " << harness::messages[0];
    }
    // The first levels tell the keys until the level is won.
    start();
    press(KEY_ENTER);
    session().loadLevel(2);
    const int dark = makecol(20, 20, 20);
    EXPECT_TRUE(lineShows(drawn(), 26, kFirstStepsText, dark));
    session().number = 3;
    EXPECT_FALSE(lineShows(drawn(), 26, kFirstStepsText, dark));
    session().number = 2;
    press(KEY_RIGHT);
    EXPECT_TRUE(lineShows(drawn(), 26, kFirstStepsText, dark)) << "still there after the first move";
}

TEST_F(Screens, TheWinShowsTheBoardAMomentThenThePanelOverItDimmedAndPressesDuringItAreKept) {
    dir.write("levels/1.lvl", levelBytes("First Dig", "2 1 3 1"));  // the bone one Right from the dog
    dir.write("levels/2.lvl", levelBytes("Second Dig", "5 1 10 8"));
    dir.write("highscores.dat", "");
    start();
    const int gold = makecol(255, 230, 120);
    for (bool twoPresses : {false, true}) {
        session().loadLevel(1);
        app->stack.showOnly(ScreenId::Playing);
        run(50);
        press(KEY_RIGHT, 30, 0);
        ASSERT_TRUE(until([&] { return on<WonScreen>() != nullptr; }));
        const int board = getpixel(drawn(), 5, 470);
        if (twoPresses) {
            // The first press ends the moment and does nothing more; the second goes on.
            harness::holdKey(KEY_ENTER, 0, 30), harness::holdKey(KEY_ENTER, 60, 30);
            run(300);
            EXPECT_TRUE(on<PlayingScreen>() && session().number == 2);
            continue;
        }
        for (unsigned long t = 0; t < 400; t += 50, run(50)) {
            ASSERT_TRUE(on<WonScreen>()->inMoment()) << t;
            EXPECT_TRUE(getpixel(drawn(), 5, 470) == board && !lineShows(drawn(), 366, "You reached the bone in 1 move!", gold)) << t;
        }
        run(WonScreen::kMomentMs);
        EXPECT_TRUE(lineShows(drawn(), 366, "You reached the bone in 1 move!", gold));
        EXPECT_NE(getpixel(drawn(), 5, 470), board) << "the board beneath, dimmed";
    }
}

// Each text lies clear inside a panel it meets (or meets none and lies in the picture); no two texts meet.
std::vector<std::string> layoutFaults(const std::vector<DrawnBox>& drawn) {
    auto meet = [](const DrawnBox& a, const DrawnBox& b) { return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1; };
    std::vector<std::string> faults;
    for (size_t i = 0; i < drawn.size(); ++i) {
        const DrawnBox& t = drawn[i];
        if (t.panel || t.text.empty()) continue;
        bool meets = false, inside = false;
        for (const DrawnBox& p : drawn)
            if (p.panel && meet(t, p))
                meets = true, inside |= t.x0 >= p.x0 + 2 && t.x1 <= p.x1 - 2 && t.y0 >= p.y0 + 2 && t.y1 <= p.y1 - 2;
        if (meets ? !inside : t.x0 < 0 || t.y0 < 0 || t.x1 >= 640 || t.y1 >= 480) faults.push_back("\"" + t.text + "\" leaves its panel");
        for (size_t j = 0; j < i; ++j)
            if (!drawn[j].panel && !drawn[j].text.empty() && meet(t, drawn[j]))
                faults.push_back("\"" + t.text + "\" touches \"" + drawn[j].text + "\"");
    }
    return faults;
}

TEST_F(Screens, EveryScreensTextLiesInsideItsPanelAtEachScale) {
    ASSERT_EQ(std::system(("cp -r " + harness::dataDir() + "/graphics .").c_str()), 0);
    dir.write("levels/1.lvl", levelBytes("First Dig", "2 1 3 1"));  // the bone one Right from the dog
    dir.write("levels/2.lvl", levelBytes("A title as long as a title may be on a card and then some more", "5 1 10 8"));
    mkdir("packs", 0755), mkdir("packs/deep", 0755);
    dir.write("packs/deep/pack.txt", "Deeper Down the Garden\n");
    dir.write("packs/deep/1.lvl", levelBytes("Deep", "5 1 10 8"));
    dir.write("highscores.dat", "");
    auto in = [&](ScreenId id, std::vector<int> ks, std::function<void()> before = nullptr) {
        return [=] { app->stack.showOnly(id), run(50); if (before) before(); keys(ks), run(400); };
    };
    const struct { const char* name; std::function<void()> go; } screens[] = {
        {"help, the rules page", in(ScreenId::Help, {KEY_RIGHT})}, {"help, notes told again", in(ScreenId::Help, {KEY_RIGHT, KEY_N})},
        {"options", in(ScreenId::Options, {})}, {"chooser", in(ScreenId::Chooser, {KEY_DOWN})},
        {"chooser, the other pack", in(ScreenId::Chooser, {KEY_TAB})},
        {"won", [&] { session().loadLevel(1), app->stack.showOnly(ScreenId::Playing), run(50), press(KEY_RIGHT), run(WonScreen::kMomentMs + 500); }},
        {"finale", in(ScreenId::Finale, {})}, {"restart question", in(ScreenId::Playing, {KEY_R})},
        {"playing, two rule notes", [&] { session().loadLevel(1), in(ScreenId::Playing, {KEY_RIGHT}, [&] { setBoard({"", "", "#", " ", "#", "d"}); })(); }},
        {"editor", in(ScreenId::Editor, {})}, {"editor, T", in(ScreenId::Editor, {KEY_T})}, {"editor, N", [&] { in(ScreenId::Editor, {KEY_N})(), type("40"); }},
        {"editor, a check at work", in(ScreenId::Editor, {KEY_V}, [&] { session().rules = sealedBone(); })},
        {"editor, saved", in(ScreenId::Editor, {KEY_S})}, {"message", in(ScreenId::Menu, {KEY_A})},
        {"a long message", [&] { app->stack.showOnly(ScreenId::Menu), app->stack.push(std::make_unique<MessageDialog>(kLongMessage)), run(50); }},
        {"menu, its pictures missing", [&] { for (int slot = OptionsButton; slot <= QuitButtonOn; ++slot) app->pictures.set(slot, nullptr); in(ScreenId::Menu, {})(); }}};
    for (int scale : {1, 2, 3}) {
        harness::reset(), harness::desktopW = 3840, harness::desktopH = 2160;
        dir.write("preferences.ini", "window-scale=" + std::to_string(scale) + "\n");
        start();
        for (const auto& s : screens) {
            s.go();
            std::vector<DrawnBox> drawnBoxes;
            recordLayout(&drawnBoxes), drawn(), recordLayout(nullptr);
            EXPECT_TRUE(screen->w == 640 * scale && drawnBoxes.size() > 1) << s.name << " at " << scale;
            for (const std::string& fault : layoutFaults(drawnBoxes)) ADD_FAILURE() << s.name << " at " << scale << "x: " << fault;
        }
    }
}

TEST_F(Screens, TheFinaleMarksEachLevelFewestSolvedOrNotYetEachStateDrawnAlike) {
    ASSERT_EQ(std::system(("cp -r " + harness::dataDir() + "/graphics .").c_str()), 0);
    for (int n = 1; n <= 6; ++n) dir.write("levels/" + std::to_string(n) + ".lvl", levelBytes("Mark", "2 1 3 1"));  // one move
    dir.write("highscores.dat", "1 1\r\n2 4\r\n4 1\r\n5 4\r\n");
    start();
    app->stack.showOnly(ScreenId::Finale);
    run(50);
    using M = FinaleScreen::Mark;
    const M want[] = {M::Fewest, M::Solved, M::NotYet, M::Fewest, M::Solved, M::NotYet};
    ASSERT_TRUE(until([&] { return on<FinaleScreen>()->mark(3) == M::Fewest; }));
    BITMAP* shown = drawn();
    auto differ = [&](int a, int b) {
        const FinaleScreen::Box p = on<FinaleScreen>()->markBox(a), q = on<FinaleScreen>()->markBox(b);
        int n = 0;
        for (int i = 0; i < p.side * p.side; ++i)
            n += getpixel(shown, p.x + i % p.side, p.y + i / p.side) != getpixel(shown, q.x + i % p.side, q.y + i / p.side);
        return n;
    };
    for (int a = 0; a < 6; ++a) {
        EXPECT_EQ(on<FinaleScreen>()->mark(a), want[a]) << a;
        for (int b = 0; b < a; ++b)
            if (want[a] == want[b]) { EXPECT_EQ(differ(a, b), 0) << a << b; }
            else { EXPECT_GT(differ(a, b), 32 * 32 / 8) << a << b; }
    }
}

TEST_F(Screens, HelpTurnsToItsRulesPageAndBackAndLeavesFromEither) {
    start();
    const int gold = makecol(255, 230, 120);
    // Each from the menu, Help opened: the keys, then the page and whether Help is still open.
    const struct { std::vector<int> keys; int page; bool open; } cases[] = {
        {{}, HelpScreen::KeysPage, true}, {{KEY_RIGHT}, HelpScreen::RulesPage, true}, {{KEY_PGDN, KEY_PGUP}, HelpScreen::KeysPage, true},
        {{0}, HelpScreen::RulesPage, true}, {{KEY_RIGHT, KEY_LEFT}, HelpScreen::KeysPage, true},
        {{KEY_RIGHT, KEY_ESC}, 0, false}, {{KEY_ESC}, 0, false}};
    for (const auto& c : cases) {
        app->stack.showOnly(ScreenId::Help);
        run(50);
        for (int k : c.keys) k ? press(k) : clickAt(300, 300);
        ASSERT_EQ(on<HelpScreen>() != nullptr, c.open);
        if (!c.open) continue;
        EXPECT_EQ(on<HelpScreen>()->page(), c.page);
        EXPECT_EQ(lineShows(drawn(), 14, "The rules", gold, 60), c.page == HelpScreen::RulesPage);
    }
}

TEST_F(Screens, AMessageIsWrappedAtWordsAndClosesOnEnterEscapeSpaceOrAClickOnly) {
    start();
    std::string joined, text = kLongMessage;
    for (const std::string& line : wrapText(text, 560)) joined += (joined.empty() ? "" : " ") + line;
    std::replace(text.begin(), text.end(), '\n', ' ');
    EXPECT_EQ(joined, text) << "every word kept, the lines broken between words";
    for (int closer : {int(KEY_ENTER), int(KEY_ESC), int(KEY_SPACE), 0}) {
        app->stack.push(std::make_unique<MessageDialog>(kLongMessage));
        run(50);
        for (int other : {KEY_A, KEY_DOWN, KEY_Y}) press(other);
        ASSERT_NE(on<MessageDialog>(), nullptr);
        closer ? press(closer) : clickAt(300, 300);
        EXPECT_NE(on<MenuScreen>(), nullptr) << closer;
    }
}

TEST_F(Screens, ThePictureIsDrawnOnlyWhenSomethingChanged) {
    dir.write("levels/1.lvl", levelBytes("First Dig", "2 1 10 8"));
    start();
    for (std::vector<int> open : {std::vector<int>{}, {KEY_ENTER}, {KEY_S}, {KEY_DOWN, KEY_ENTER}, {KEY_L}}) {
        app->stack.showOnly(ScreenId::Menu);
        run(50);
        for (int k : open) press(k);
        // The chooser's work and the advisor's answers come in on threads, in real time, and are drawn;
        // once they are in, a second with nothing new draws nothing.
        bool idle = false;
        for (int tries = 0; tries < 20 && !idle; ++tries) {
            clear_to_color(screen, makecol(1, 2, 3));
            run(1000);
            idle = getpixel(screen, 5, 470) == makecol(1, 2, 3);
            if (!idle) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        EXPECT_TRUE(idle) << nameOf(top()) << ": drawn again while idle";
    }
}

TEST(StartUp, InAnEmptyDirectoryTheMenuSaysWhichPicturesAreMissingAndLevelOneCannotBePlayed) {
    harness::ScratchDir dir(false);
    std::atomic<bool> quit(false);
    testing::internal::CaptureStderr();
    {
        App app(quit);
        app.stack.dispatch({});
        auto* message = dynamic_cast<MessageDialog*>(app.stack.top());
        ASSERT_NE(message, nullptr);
        EXPECT_NE(message->text().find("graphics/menu/play.pcx"), std::string::npos);
        EXPECT_EQ(std::make_tuple(app.stack.depth(), app.session.number, app.session.playable(), app.settings.ambient, FSOUND_GetSFXMasterVolume()),
                  std::make_tuple(2u, 1, false, true, 255));
        EXPECT_EQ(app.session.unreadableText(), "levels/1.lvl could not be read");
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Could not load graphics/zada.pcx"), std::string::npos);
    EXPECT_EQ(std::system("test -z \"$(ls -A)\""), 0) << "a file was written";
    dir.write("settings.ini", "200\r\n0\r\n");
    mkdir("levels", 0755);
    dir.write("levels/1.lvl", levelBytes("Start Here", "3 4 15 11"));
    App app(quit);
    EXPECT_EQ(std::make_tuple(app.settings.ambient, FSOUND_GetSFXMasterVolume(), app.session.title, app.session.rules.dogColumn),
              std::make_tuple(false, 200, std::string("Start Here"), 3));
    FSOUND_SetSFXMasterVolume(255);
}

TEST(StartUp, TheCommandLineAnswersHelpAndVersionAndRefusesAnythingElse) {
    const std::string usage = "Usage: tunnelwick [OPTION]\n", version = std::string("Tunnelwick ") + kGameVersion + "\n";
    const struct { std::vector<const char*> args; int status; std::string out, err; } cases[] = {
        {{}, -1, "", ""}, {{"--help"}, 0, usage, ""}, {{"-h"}, 0, usage, ""}, {{"--version"}, 0, version, ""},
        {{"--version", "-h"}, 0, version, ""},  // the first asked is answered
        {{"--bogus"}, 2, "", "tunnelwick: unknown option '--bogus'\n" + usage},
        {{"-h", "-x"}, 2, "", "tunnelwick: unknown option '-x'\n" + usage},
        {{"levels/1.lvl"}, 2, "", "tunnelwick: unexpected argument 'levels/1.lvl'\n" + usage},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv = {"tunnelwick"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLineAnswer a = answerCommandLine(int(argv.size()), argv.data());
        EXPECT_EQ(a.status, c.status) << argv.back();
        EXPECT_EQ(a.out.substr(0, c.out.size()), c.out) << argv.back();
        EXPECT_EQ(a.err.substr(0, c.err.size()), c.err) << argv.back();
        EXPECT_EQ(a.out.empty() + a.err.empty(), c.status < 0 ? 2 : 1) << argv.back();
    }
}

// A display resetting as its last client leaves answers a moment later: the
// start waits for it, a few times; with no display named there is none to wait for.
TEST(StartUp, TheDisplayIsTriedAgainOnlyWhenOneIsNamed) {
    const struct { const char* display; int failures; bool reached; int tries; } cases[] = {
        {":1", 0, true, 1}, {":1", 4, true, 5}, {":1", 5, false, 5}, {nullptr, 1, false, 1}, {"", 1, false, 1},
    };
    for (const auto& c : cases) {
        int tries = 0, pauses = 0;
        const bool reached = reachDisplay(c.display, [&] { return ++tries > c.failures; }, [&] { ++pauses; });
        EXPECT_EQ(std::make_tuple(reached, tries, pauses), std::make_tuple(c.reached, c.tries, c.tries - 1))
            << (c.display ? c.display : "(unset)") << " failing " << c.failures;
    }
}

TEST(StartUpDeathTest, SoundOutputFailureShowsItsTextAndEndsWithStatus1) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    harness::ScratchDir dir(false);
    std::atomic<bool> quit(false);
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "nonexistent", 1);
            App app(quit);
        },
        testing::ExitedWithCode(1), "Error initializing output device\\.");
}

}  // namespace
