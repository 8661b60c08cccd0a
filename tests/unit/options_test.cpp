// The options screen and its files: every line with its value, Up/Down choose, Left/Right change (the volume bounded and held), the mouse, saved on leaving (failure told), read back safely.

#include <cstdio>

#include "fixture.h"

namespace {

class OptionsTest : public AppFixture {
protected:
    ~OptionsTest() override { destroy_bitmap(last); }
    void SetUp() override {
        start();
        app->stack.context().windowSizes = [] { return std::vector<int>{1, 2, 0}; };
    }
    // Opens the options and runs the scheduled keys until Escape, held from escAt for 100 ms.
    void runMenu(unsigned long escAt) {
        app->stack.open(ScreenId::Options), app->stack.dispatch({});
        // The picture as last shown (a chosen full screen shows it centred, so not the screen).
        harness::at(harness::nowMs + escAt - 1, [this] { blit(picture, last, 0, 0, 0, 0, 640, 480); });
        harness::holdKey(KEY_ESC, escAt, escAt + 100);
        run(escAt + 200);
    }
    // A line of the screen as last shown: label and value in the lit colour when chosen.
    bool shows(const std::string& text, int colour) {
        for (int y = 140; y < 320; ++y)
            for (int x = 100; x < 540; ++x)
                if (getpixel(last, x, y) == colour && lineShowsAt(x, y, text, colour)) return true;
        return false;
    }
    bool lineShowsAt(int x, int y, const std::string& text, int colour) {
        BITMAP* want = create_bitmap(text_length(font, text.c_str()), 8);
        clear_to_color(want, makecol(1, 1, 1)), textout_ex(want, font, text.c_str(), 0, 0, colour, -1);
        int firstX = 0;
        while (firstX < want->w && getpixel(want, firstX, 0) != colour) ++firstX;  // the glyph's first pixel in its top row
        bool same = firstX < want->w;
        for (int i = 0; same && i < want->w * 8; ++i)
            same = (getpixel(want, i % want->w, i / want->w) == colour) == (getpixel(last, x - firstX + i % want->w, y + i / want->w) == colour);
        destroy_bitmap(want);
        return same;
    }
    void setVolume(int v) { app->settings.volume = v, FSOUND_SetSFXMasterVolume(v); }
    BITMAP* last = create_bitmap(640, 480);
    const int lit = makecol(255, 214, 64), plain = makecol(230, 220, 200);
};

TEST_F(OptionsTest, EveryLineShowsItsValueAndTheKeysChangeTheChosenOne) {
    const int U = KEY_UP, D = KEY_DOWN, L = KEY_LEFT, R = KEY_RIGHT;
    const std::string rest = "full-screen=off\nsound-effects=on\n", volumes = "effects-volume=80\ngarden-volume=80\n";
    const struct { std::vector<int> keys; int volume; bool ambient, effects; std::string preferences; const char* lit; } cases[] = {
        {{}, 255, true, true, "", "100%"},  // nothing changed: preferences.ini left alone
        {{L, L, L}, 217, true, true, "", "85%"},  // 5 % a tap, shown as kept
        {{D, L}, 255, true, true, rest + "effects-volume=75\ngarden-volume=80\n", "75%"},
        {{D, D, R, R, R, R, R}, 255, true, true, rest + "effects-volume=80\ngarden-volume=100\n", "100%"},
        {{D, D, D, R}, 255, false, true, "", "< off >"},
        {{U, U, L}, 255, true, false, "full-screen=off\nsound-effects=off\n" + volumes, "< off >"},
        {{U, R}, 255, true, true, "window-scale=2\n" + rest + volumes, "< 2x >"},
        {{U, L}, 255, true, true, "full-screen=on\nsound-effects=on\n" + volumes, "< Full screen >"},
        {{U, R, R, R, D, U}, 255, true, true, "window-scale=1\n" + rest + volumes, "< 1x >"},
    };
    for (const auto& c : cases) {
        std::remove("preferences.ini");
        app->settings = Settings(), app->preferences = Preferences();
        unsigned long t = 100;
        for (int k : c.keys) harness::holdKey(k, t, t + 60), t += 150;
        runMenu(t + 100);
        EXPECT_EQ(dir.read("settings.ini"), std::to_string(c.volume) + "\r\n" + (c.ambient ? "1" : "0") + "\r\n");
        EXPECT_EQ(dir.read("preferences.ini"), c.preferences) << c.lit;
        EXPECT_EQ(std::make_tuple(FSOUND_GetSFXMasterVolume(), app->settings.ambient, app->preferences.effects),
                  std::make_tuple(c.volume, c.ambient, c.effects));
        EXPECT_TRUE(shows(c.lit, lit)) << c.lit;
    }
    EXPECT_TRUE(shows("Sound effects", plain) && shows("Background volume", plain) && shows("Effects volume", plain) && shows("Garden volume", plain));
}

TEST_F(OptionsTest, TheVolumeKeepsChangingWhileHeldWithinRangeAndTheMouseSetsIt) {
    for (auto [from, k, to] : {std::tuple{250, KEY_RIGHT, 255}, {4, KEY_LEFT, 0}}) {
        setVolume(from);
        harness::holdKey(k, 100, 3000);
        runMenu(3200);
        EXPECT_EQ(FSOUND_GetSFXMasterVolume(), to);
        EXPECT_TRUE(shows(to ? "100%" : "0%", lit)) << "shown as it is kept";
    }
    setVolume(100);  // 39 %
    int heardDuringMenu = -1;
    harness::holdKey(KEY_RIGHT, 100, 550);  // one step at once, then one every 100 ms after 300 ms
    harness::at(harness::nowMs + 450, [&] { heardDuringMenu = FSOUND_GetSFXMasterVolume(); });
    runMenu(700);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 128);  // 40, 45, 50 %
    EXPECT_EQ(heardDuringMenu, 100) << "applied only on leaving";
    // A click on the bar's middle, on the garden's bar a quarter along, then on the ambient line's value: half volume, 25 %, ambient off.
    harness::at(harness::nowMs + 100, [] { click(336 + 60, 150); });
    harness::at(harness::nowMs + 200, [] { click(336 + 30, 150 + 2 * 32); });
    harness::at(harness::nowMs + 300, [] { click(336 + 100, 150 + 3 * 32); });
    runMenu(500);
    EXPECT_EQ(dir.read("settings.ini"), "128\r\n0\r\n");
    EXPECT_EQ(app->preferences.gardenVolume, 25);
}

TEST_F(OptionsTest, AFailedSaveIsToldAndKeepsTheOldFileAndReadingIsSafe) {
    const std::string old = "40\n1\nsome old trailing words\n";
    dir.write("settings.ini", old);
    chmod("settings.ini", 0444);  // the player's own read-only file is not replaced
    setVolume(40);
    harness::holdKey(KEY_RIGHT, 100, 130);
    runMenu(400);
    EXPECT_EQ(dir.read("settings.ini"), old);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 51);  // 15 % to 20 %, applied all the same
    auto* told = on<MessageDialog>();
    EXPECT_EQ(told ? told->text() : "", "The options could not be saved (\"settings.ini\"): Permission denied");
    std::remove("settings.ini");
    const struct { const char* content; int volume; bool ambient; } cases[] = {
        {nullptr, 77, true}, {"200\n0\n", 200, false}, {"200\r\n1\r\n", 200, true}, {"200\n2\n", 200, false}, {"  0 1", 0, true},
        {"200\n", 200, false}, {"1", 1, true},  // one line: on only when that volume is 1
        {"loud\n1\n", 255, false}, {"", 255, false}, {"99999999999999\n1\n", 255, false}, {"\x01\xff", 255, false},
        {"300\n1\n", 255, true}, {"-20\n1\n", 0, true}, {"mkdir", 77, true}};  // missing, or a folder: no change
    for (const auto& c : cases) {
        Settings read;
        read.volume = 77;
        if (c.content && std::string(c.content) == "mkdir") std::remove("settings.ini"), mkdir("settings.ini", 0755);
        else if (c.content) dir.write("settings.ini", c.content);
        readSettings(read);
        EXPECT_EQ(std::make_pair(read.volume, read.ambient), std::make_pair(c.volume, c.ambient)) << (c.content ? c.content : "missing");
    }
}

}  // namespace
