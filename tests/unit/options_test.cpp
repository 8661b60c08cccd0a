// The options screen and "settings.ini": volume in per cent, bounded, the switch, saved on leaving (failure told), read back safely.

#include <cstdio>

#include "fixture.h"

namespace {

class OptionsTest : public AppFixture {
protected:
    void SetUp() override { start(); }
    ~OptionsTest() override { destroy_bitmap(last); }
    // Opens the options and runs them until Escape, held from escAt for 100 ms; then the file.
    std::string runMenu(unsigned long escAt) {
        app->stack.open(ScreenId::Options), app->stack.dispatch({});
        harness::at(harness::nowMs + escAt - 1, [this] { blit(screen, last, 0, 0, 0, 0, 640, 480); });
        harness::holdKey(KEY_ESC, escAt, escAt + 100);
        run(escAt + 200);
        return dir.read("settings.ini");
    }
    // The options screen as last shown.
    bool shows(const std::string& value) {
        return lineShows(last, 240, value, makecol(10, 150, 200)) && lineShows(last, 120, "Options menu:", makecol(10, 200, 150));
    }
    void setVolume(int v) { app->settings.volume = v, FSOUND_SetSFXMasterVolume(v); }
    BITMAP* last = create_bitmap(640, 480);
};

TEST_F(OptionsTest, TheVolumeShowsAsPerCentAndUpAndDownChangeItWithinRange) {
    for (auto [volume, shown] : {std::pair{0, "%0"}, {3, "%1"}, {128, "%50"}, {254, "%99"}, {255, "%100"}}) {
        setVolume(volume);
        EXPECT_EQ(runMenu(300), std::to_string(volume) + "\r\n1\r\n");
        EXPECT_TRUE(shows(std::string("Background volume: ") + shown)) << volume;
    }
    setVolume(100);
    int heardDuringMenu = -1;
    harness::holdKey(KEY_UP, 100, 500);  // held, Up counts one at once, then one every 20 ms after 250 ms
    harness::at(harness::nowMs + 350, [&] { heardDuringMenu = FSOUND_GetSFXMasterVolume(); });
    runMenu(700);
    EXPECT_TRUE(FSOUND_GetSFXMasterVolume() >= 107 && FSOUND_GetSFXMasterVolume() <= 109) << FSOUND_GetSFXMasterVolume();
    EXPECT_EQ(heardDuringMenu, 100) << "applied only on leaving";
    for (auto [from, key, to] : {std::tuple{250, KEY_UP, 255}, {4, KEY_DOWN, 0}}) {
        setVolume(from);
        harness::holdKey(key, 100, 3000);
        EXPECT_EQ(runMenu(3200), std::to_string(to) + "\r\n1\r\n");
        EXPECT_EQ(FSOUND_GetSFXMasterVolume(), to);
    }
}

TEST_F(OptionsTest, TheAmbientSwitchFlipsOncePerPressAndLeftOrRightChangesTheItem) {
    setVolume(200);
    harness::holdKey(KEY_RIGHT, 100, 300);
    harness::holdKey(KEY_UP, 500, 2500);  // held two seconds: one flip
    EXPECT_EQ(runMenu(2800), "200\r\n0\r\n");
    EXPECT_TRUE(!app->settings.ambient && shows("Ambient Noise: off"));
    // Back on the volume at the start; Left or Right changes the item once a press.
    harness::holdKey(KEY_LEFT, 100, 300);
    harness::holdKey(KEY_DOWN, 500, 1200);
    harness::holdKey(KEY_RIGHT, 1400, 1600);
    EXPECT_EQ(runMenu(2000), "200\r\n1\r\n");
    EXPECT_TRUE(shows("Background volume: %78"));
}

TEST_F(OptionsTest, AFailedSaveIsToldAndKeepsTheOldFileAndReadingIsSafe) {
    const std::string old = "40\n1\nsome old trailing words\n";
    dir.write("settings.ini", old);
    chmod("settings.ini", 0444);  // the player's own read-only file is not replaced
    setVolume(40);
    harness::holdKey(KEY_UP, 100, 130);
    EXPECT_EQ(runMenu(400), old);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 41);  // applied all the same
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
