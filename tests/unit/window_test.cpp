// The window: the scale chosen for a desktop, full screen and back (F11,
// Alt+Enter, the options), the choice kept for the next start, and every
// pixel a square with clicks landing where they are seen.
#include "fixture.h"
#include "platform/window.h"

namespace {

TEST(Window, TakesTheLargestWholeScaleThatFitsAndCentresFullScreen) {
    using window::Layout;
    const struct { int w, h, fits; std::vector<int> sizes; Layout full; } cases[] = {
        {1024, 768, 1, {1, 0}, {1024, 768, 1, 192, 144, true}},
        {1920, 1080, 2, {1, 2, 0}, {1920, 1080, 2, 320, 60, true}},
        {2560, 1440, 2, {1, 2, 0}, {2560, 1440, 3, 320, 0, true}},
        {3840, 2160, 3, {1, 2, 3, 0}, {3840, 2160, 4, 640, 120, true}},
        {1423, 1067, 2, {1, 2, 0}, {1423, 1067, 2, 71, 53, true}},  // 1280x960 is just within 90 %
        {1422, 1067, 1, {1, 0}, {1422, 1067, 2, 71, 53, true}},
        {640, 480, 1, {1, 0}, {640, 480, 1, 0, 0, true}},
        {639, 480, 1, {1}, {639, 480, 1, 0, 0, true, 639, 479}},  // smaller than the picture: full screen, scaled down
        {320, 240, 1, {1}, {320, 240, 1, 0, 0, true, 320, 240}}, {400, 200, 1, {1}, {400, 200, 1, 67, 0, true, 266, 199}},
        {0, 0, 1, {1}, {}},      // not known
    };
    for (const auto& c : cases) {
        const window::Size desktop{c.w, c.h};
        Preferences full;
        full.fullScreen = true;
        EXPECT_EQ(window::fittingScale(desktop), c.fits) << c.w << "x" << c.h;
        EXPECT_EQ(window::sizes(desktop), c.sizes) << c.w << "x" << c.h;
        EXPECT_TRUE(window::layoutFor(full, desktop) == c.full) << c.w << "x" << c.h;
    }
    // A chosen scale is kept while it fits; none chosen is the largest that fits.
    const struct { int chosen, w, h; Layout l; } windows[] = {
        {0, 1920, 1080, {1280, 960, 2}}, {0, 3840, 2160, {1920, 1440, 3}}, {1, 3840, 2160, {640, 480, 1}},
        {3, 1024, 768, {640, 480, 1}},   {3, 1920, 1080, {1280, 960, 2}},  {2, 0, 0, {640, 480, 1}},
    };
    for (const auto& c : windows) {
        Preferences p;
        p.windowScale = c.chosen;
        EXPECT_TRUE(window::layoutFor(p, {c.w, c.h}) == c.l) << c.chosen << " on " << c.w << "x" << c.h;
    }
}

class WindowTest : public AppFixture {
protected:
    // A game started on a desktop, with this preferences.ini (null: none).
    void startOn(int w, int h, const char* preferences, const std::string& refused = "") {
        app.reset();
        harness::desktopW = w, harness::desktopH = h, harness::refusedMode = refused;
        if (preferences) dir.write("preferences.ini", preferences);
        else std::remove("preferences.ini");
        start();
    }
    std::string screenSize() { return screen ? std::to_string(screen->w) + "x" + std::to_string(screen->h) : "none"; }
};

const int kAltEnter = -1, kOptions = -2;  // not keys: Enter with Alt held; the options screen opened

TEST_F(WindowTest, OpensAtTheChosenSizeSwitchesWithF11OrAltEnterAndKeepsIt) {
    const std::string kVolumes = "effects-volume=80\ngarden-volume=80\n";
    const std::string kept2 = "window-scale=2\nfull-screen=on\nsound-effects=on\n" + kVolumes;
    const std::string off2 = "window-scale=2\nfull-screen=off\nsound-effects=on\n" + kVolumes, off1 = "window-scale=1" + off2.substr(14);
    const struct { int w, h; const char* before; std::string refused; std::vector<int> keys; std::string size; const char* after; const char* told; } cases[] = {
        {1024, 768, nullptr, "", {}, "640x480", nullptr, ""},
        {2560, 1440, nullptr, "", {}, "1280x960", nullptr, ""},
        {2560, 1440, nullptr, "", {KEY_F11}, "2560x1440", kept2.c_str(), ""},
        {2560, 1440, nullptr, "", {kAltEnter}, "2560x1440", kept2.c_str(), ""},  // and no level started
        {2560, 1440, nullptr, "", {KEY_F11, KEY_F11}, "1280x960", off2.c_str(), ""},
        {2560, 1440, "full-screen=on\n", "", {}, "2560x1440", nullptr, ""},
        {2560, 1440, "full-screen=on\n", "", {KEY_F11}, "1280x960", off2.c_str(), ""},
        {3840, 2160, "window-scale=3\nfull-screen=maybe\n", "", {}, "1920x1440", nullptr, ""},
        {1024, 768, "window-scale=3\n", "", {}, "640x480", nullptr, ""},  // too large for this desktop
        {2560, 1440, "window-scale=2\n", "1280x960", {}, "640x480", nullptr, ""},  // refused: smaller
        {2560, 1440, nullptr, "2560x1440", {KEY_F11}, "1280x960", off2.c_str(),
         "Full screen is not available here, so the game stays in its window."},
        // Options: Up to the window's line, Left from 2x to 1x, Escape.
        {2560, 1440, nullptr, "", {kOptions, KEY_UP, KEY_LEFT, KEY_ESC}, "640x480", off1.c_str(), ""},
        {2560, 1440, nullptr, "", {kOptions, KEY_UP, KEY_RIGHT, KEY_ESC}, "2560x1440", kept2.c_str(), ""},
        {320, 240, nullptr, "", {}, "320x240", nullptr, ""},  // a small screen: all of it, whatever is chosen
        {320, 240, "full-screen=off\n", "", {KEY_F11, KEY_F11}, "320x240", off1.c_str(), ""},
    };
    for (const auto& c : cases) {
        startOn(c.w, c.h, c.before, c.refused);
        for (int k : c.keys) {
            if (k == kOptions) app->stack.open(ScreenId::Options), run(20);
            else if (k == kAltEnter) harness::holdKey(KEY_ALT, 0, 300), harness::holdKey(KEY_ENTER, 100, 200), run(400);
            else press(k);
        }
        const std::string where = std::to_string(c.w) + "x" + std::to_string(c.h) + (c.before ? c.before : "") + " keys " + std::to_string(c.keys.size());
        EXPECT_EQ(screenSize(), c.size) << where;
        EXPECT_EQ(dir.read("preferences.ini"), c.after ? c.after : c.before ? c.before : "") << where;
        auto* told = on<MessageDialog>();
        EXPECT_EQ(told ? told->text() : "", c.told) << where;
        if (!*c.told) { EXPECT_TRUE(on<MenuScreen>()) << where; }
    }
}

TEST_F(WindowTest, EveryPixelIsASquareAndClicksLandWhereTheyAreSeen) {
    const struct { int w, h; const char* preferences; int scale, x, y; } cases[] = {
        {1024, 768, nullptr, 1, 0, 0},
        {2560, 1440, nullptr, 2, 0, 0},
        {3840, 2160, nullptr, 3, 0, 0},
        {2560, 1440, "full-screen=on\n", 3, 320, 0},
        {1920, 1080, "full-screen=on\n", 2, 320, 60},
    };
    for (const auto& c : cases) {
        startOn(c.w, c.h, c.preferences);
        const std::string where = std::to_string(c.w) + "x" + std::to_string(c.h) + (c.preferences ? " full" : "");
        // The pointer over the Help button: only the buttons' rows change, and they are shown.
        mouse_x = c.x + 500 * c.scale, mouse_y = c.y + 400 * c.scale;
        run(50);
        int wrong = 0;
        for (int y = 0; y < 480; y += 3)
            for (int x = 0; x < 640; x += 5)
                for (int d = 0; d < c.scale * c.scale; ++d)
                    wrong += getpixel(screen, c.x + x * c.scale + d % c.scale, c.y + y * c.scale + d / c.scale) != getpixel(picture, x, y);
        EXPECT_EQ(wrong, 0) << where;
        if (c.x > 0) { EXPECT_TRUE(getpixel(screen, 0, 0) == 0 && getpixel(screen, c.w - 1, c.h - 1) == 0) << where; }
        // The plain Options button covers 432..639 by 306..363 of the picture: a click one
        // window pixel outside it is nothing, one on its last pixel opens the options.
        const int left = c.x + 432 * c.scale - 1, bottom = c.y + 364 * c.scale - 1;
        clickAt(left, bottom);
        EXPECT_TRUE(on<MenuScreen>()) << where;
        clickAt(left + 1, bottom);
        EXPECT_TRUE(on<OptionsScreen>()) << where;
        // In the editor (a blank board, the rock brush) a click one window pixel left of or above
        // the picture (the border, full screen) paints nothing; one on its first column or row paints.
        app->stack.open(ScreenId::Editor), run(20);
        press(KEY_E);
        while (on<EditorScreen>()->brush() != Rock) press(KEY_RIGHT);
        const int in = c.scale * (4 * 32 + 5);
        const struct { int x, y, row, column; bool paints; } clicks[] = {
            {c.x - 1, c.y + in, 4, 0, false}, {c.x + in, c.y - 1, 0, 4, false}, {c.x, c.y + in, 4, 0, true}, {c.x + in, c.y, 0, 4, true}};
        for (const auto& k : clicks) {
            clickAt(k.x, k.y);
            EXPECT_EQ(session().rules.board[k.row][k.column] == Rock, k.paints) << where << " click at " << k.x << "," << k.y;
        }
    }
    // On a screen smaller than the picture: the picture scaled down whole, a message inside it, clicks where seen.
    startOn(320, 240, nullptr);
    EXPECT_TRUE(window::current().fullScreen && window::current().downW == 320);
    EXPECT_EQ(getpixel(screen, 250, 200), getpixel(picture, 500, 400));
    clickAt(432 / 2 - 1, 363 / 2);
    EXPECT_TRUE(on<MenuScreen>());
    clickAt(432 / 2, 363 / 2);
    EXPECT_TRUE(on<OptionsScreen>());
}

}  // namespace
