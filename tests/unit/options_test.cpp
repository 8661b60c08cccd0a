// The options screen and "settings.ini": volume in per cent, bounded, the switch, saved on leaving (failure told), read back safely.

#include <cstdio>

#include "fixture.h"

namespace {

class OptionsTest : public GameFixture {
protected:
    // Runs the menu until Escape, held from escAt for 100 ms; then the file.
    std::string runMenu(unsigned long escAt) {
        harness::holdKey(KEY_ESC, escAt, escAt + 100);
        game.optionsMenu();
        return dir.read("settings.ini");
    }
    static bool shows(const std::string& value) {
        return lineShows(screen, 240, value, makecol(10, 150, 200)) &&
               lineShows(screen, 120, "Options menu:", makecol(10, 200, 150));
    }
};

TEST_F(OptionsTest, TheVolumeShowsAsPerCentAndUpAndDownChangeItWithinRange) {
    for (auto [volume, shown] : {std::pair{0, "%0"}, {3, "%1"}, {128, "%50"}, {254, "%99"}, {255, "%100"}}) {
        FSOUND_SetSFXMasterVolume(volume);
        EXPECT_EQ(runMenu(300), std::to_string(volume) + "\r\n1\r\n");
        EXPECT_TRUE(shows(std::string("Background volume: ") + shown)) << volume;
    }
    FSOUND_SetSFXMasterVolume(100);
    int heardDuringMenu = -1;
    harness::holdKey(KEY_UP, 100, 400);  // held, Up counts one step a pass of about 20 ms
    harness::at(350, [&] { heardDuringMenu = FSOUND_GetSFXMasterVolume(); });
    runMenu(600);
    EXPECT_TRUE(FSOUND_GetSFXMasterVolume() >= 110 && FSOUND_GetSFXMasterVolume() <= 116) << FSOUND_GetSFXMasterVolume();
    EXPECT_EQ(heardDuringMenu, 100) << "applied only on leaving";
    for (auto [from, key, to] : {std::tuple{250, KEY_UP, 255}, {4, KEY_DOWN, 0}}) {
        FSOUND_SetSFXMasterVolume(from);
        harness::holdKey(key, 100, 3000);
        EXPECT_EQ(runMenu(3200), std::to_string(to) + "\r\n1\r\n");
        EXPECT_EQ(FSOUND_GetSFXMasterVolume(), to);
    }
}

TEST_F(OptionsTest, TheAmbientSwitchFlipsOncePerPressAndLeftOrRightChangesTheItem) {
    FSOUND_SetSFXMasterVolume(200);
    harness::holdKey(KEY_RIGHT, 100, 300);
    harness::holdKey(KEY_UP, 500, 2500);  // held two seconds: one flip
    EXPECT_EQ(runMenu(2800), "200\r\n0\r\n");
    EXPECT_TRUE(!game.ambientEnabled && shows("Ambient Noise: off"));
    // Back on the volume at the start; Right and Left held together are one change.
    harness::holdKey(KEY_LEFT, 100, 300);
    harness::holdKey(KEY_DOWN, 500, 1200);
    harness::holdKey(KEY_RIGHT, 1400, 1600);
    harness::holdKey(KEY_LEFT, 1450, 1700);
    EXPECT_EQ(runMenu(2000), "200\r\n1\r\n");
    EXPECT_TRUE(shows("Background volume: %78"));
}

TEST_F(OptionsTest, AFailedSaveIsToldAndKeepsTheOldFileAndReadingIsSafe) {
    const std::string old = "40\n1\nsome old trailing words\n";
    dir.write("settings.ini", old);
    chmod("settings.ini", 0444);  // the player's own read-only file is not replaced
    FSOUND_SetSFXMasterVolume(40);
    harness::holdKey(KEY_UP, 100, 130);
    EXPECT_EQ(runMenu(400), old);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 41);  // applied all the same
    EXPECT_EQ(harness::messages, std::vector<std::string>{"The options could not be saved (\"settings.ini\"): Permission denied"});
    std::remove("settings.ini");
    const struct { const char* content; int volume; bool ambient; } cases[] = {
        {nullptr, 77, true}, {"200\n0\n", 200, false}, {"200\r\n1\r\n", 200, true}, {"200\n2\n", 200, false}, {"  0 1", 0, true},
        {"200\n", 200, false}, {"1", 1, true},  // one line: on only when that volume is 1
        {"loud\n1\n", 255, false}, {"", 255, false}, {"99999999999999\n1\n", 255, false}, {"\x01\xff", 255, false},
        {"300\n1\n", 255, true}, {"-20\n1\n", 0, true}, {"mkdir", 77, true}};  // missing, or a folder: no change
    for (const auto& c : cases) {
        FSOUND_SetSFXMasterVolume(77);
        game.ambientEnabled = true;
        if (c.content && std::string(c.content) == "mkdir") std::remove("settings.ini"), mkdir("settings.ini", 0755);
        else if (c.content) dir.write("settings.ini", c.content);
        game.readSettings();
        EXPECT_EQ(std::make_pair(FSOUND_GetSFXMasterVolume(), game.ambientEnabled), std::make_pair(c.volume, c.ambient)) << (c.content ? c.content : "missing");
    }
}

}  // namespace
