#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "presentation_fixture.h"

using presentation_test::differences;

namespace {

class OptionsTest : public presentation_test::GameFixture {
protected:
    // Runs the menu; Escape goes down at escAt and up 100 ms later.
    void runMenu(unsigned long escAt) {
        harness::holdKey(KEY_ESC, escAt, escAt + 100);
        game->optionsMenu();
    }

    // The options screen as it must look, drawn from its texts.
    static BITMAP* expectedScreen(const std::string& valueLine) {
        BITMAP* ref = create_bitmap(640, 480);
        clear_to_color(ref, makecol(20, 20, 20));
        textout_centre_ex(ref, font, valueLine.c_str(), 320, 240, makecol(10, 150, 200), -1);
        textout_centre_ex(ref, font, "Options menu:", 320, 120, makecol(10, 200, 150), -1);
        int help = makecol(150, 200, 10);
        textout_centre_ex(ref, font, "Left and right arrow keys to choose whether to configure",
                          320, 136, help, -1);
        textout_centre_ex(ref, font, "Ambient noise (on / off) or background noise volume", 320,
                          144, help, -1);
        textout_centre_ex(ref, font,
                          "Up and down arrow keys to adjust your selection, press escape to quit",
                          320, 152, help, -1);
        return ref;
    }

    static int screenDifferences(const std::string& valueLine) {
        BITMAP* ref = expectedScreen(valueLine);
        int n = differences(screen, ref, 0, 0, 640, 480);
        destroy_bitmap(ref);
        return n;
    }

    std::string settings() { return dir->read("settings.ini"); }
};

TEST_F(OptionsTest, ShowsTheVolumeAsPerCentWithTheSignInFront) {
    const struct { int volume; const char* line; } cases[] = {
        {0, "Background volume: %0"},   {1, "Background volume: %0"},
        {2, "Background volume: %0"},   {3, "Background volume: %1"},
        {128, "Background volume: %50"}, {254, "Background volume: %99"},
        {255, "Background volume: %100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        FSOUND_SetSFXMasterVolume(c.volume);
        runMenu(300);
        EXPECT_EQ(screenDifferences(c.line), 0);
        EXPECT_EQ(settings(), std::to_string(c.volume) + "\r\n1\r\n");
    }
}

TEST_F(OptionsTest, UpAndDownChangeTheVolumeWithinRangeAndApplyItOnLeaving) {
    FSOUND_SetSFXMasterVolume(100);
    int heardDuringMenu = -1;
    harness::holdKey(KEY_UP, 100, 400);
    harness::at(350, [&] { heardDuringMenu = FSOUND_GetSFXMasterVolume(); });
    runMenu(600);
    // Held, Up keeps counting, one step per pass of about 20 ms.
    EXPECT_GE(FSOUND_GetSFXMasterVolume(), 110);
    EXPECT_LE(FSOUND_GetSFXMasterVolume(), 116);
    EXPECT_EQ(heardDuringMenu, 100);

    FSOUND_SetSFXMasterVolume(250);
    harness::holdKey(KEY_UP, 100, 3000);
    runMenu(3200);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 255);
    EXPECT_EQ(settings(), "255\r\n1\r\n");
    EXPECT_EQ(screenDifferences("Background volume: %100"), 0);

    FSOUND_SetSFXMasterVolume(4);
    harness::holdKey(KEY_DOWN, 100, 3000);
    runMenu(3200);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 0);
    EXPECT_EQ(settings(), "0\r\n1\r\n");
}

TEST_F(OptionsTest, AmbientSwitchTogglesOncePerPressAndLeftRightSwitchItems) {
    FSOUND_SetSFXMasterVolume(200);
    game->ambientEnabled = true;
    bool afterFirstPress = true;
    harness::holdKey(KEY_RIGHT, 100, 300);   // to the ambient item
    harness::holdKey(KEY_UP, 500, 2500);      // held two seconds: one toggle
    harness::at(2400, [&] { afterFirstPress = game->ambientEnabled; });
    runMenu(2800);
    EXPECT_FALSE(afterFirstPress);
    EXPECT_FALSE(game->ambientEnabled);
    EXPECT_EQ(screenDifferences("Ambient Noise: off"), 0);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 200);
    EXPECT_EQ(settings(), "200\r\n0\r\n");

    // The menu starts on the volume again; Left reaches the switch as well,
    // Down flips it, and Right and Left held together count as one switch.
    harness::holdKey(KEY_LEFT, 100, 300);
    harness::holdKey(KEY_DOWN, 500, 1200);
    harness::holdKey(KEY_RIGHT, 1400, 1600);
    harness::holdKey(KEY_LEFT, 1450, 1700);
    runMenu(2000);
    EXPECT_TRUE(game->ambientEnabled);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 200);
    EXPECT_EQ(screenDifferences("Background volume: %78"), 0);
    EXPECT_EQ(settings(), "200\r\n1\r\n");
}

TEST_F(OptionsTest, LeavingWaitsForEscapeToBeReleasedAndEmptiesTheKeyQueue) {
    FSOUND_SetSFXMasterVolume(255);
    harness::type("xyz");
    harness::holdKey(KEY_ESC, 300, 1300);
    game->optionsMenu();
    EXPECT_GE(harness::nowMs, 1300u);
    EXPECT_TRUE(harness::keyQueue.empty());
    EXPECT_EQ(settings(), "255\r\n1\r\n");
}

TEST_F(OptionsTest, AFailedSaveLeavesTheOldFileAndStillAppliesTheVolume) {
    dir->write("settings.ini", "40\n1\n");
    // Somewhere the temporary file cannot be made.
    ASSERT_EQ(mkdir("settings.ini.tmp", 0755), 0);
    FSOUND_SetSFXMasterVolume(40);
    harness::holdKey(KEY_UP, 100, 130);  // seen once, at 120 ms
    runMenu(400);
    EXPECT_EQ(settings(), "40\n1\n");
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 41);
}

TEST_F(OptionsTest, SaveReplacesTheWholeOldFile) {
    dir->write("settings.ini", "12345678\n1\nsome old trailing words\n");
    FSOUND_SetSFXMasterVolume(7);
    game->ambientEnabled = false;
    runMenu(200);
    EXPECT_EQ(settings(), "7\r\n0\r\n");
    EXPECT_FALSE(dir->exists("settings.ini.tmp"));
}

class SettingsReadTest : public presentation_test::GameFixture {
protected:
    // Volume and switch after reading a file, starting from 77 and on.
    std::pair<int, bool> readFrom(const char* content) {
        FSOUND_SetSFXMasterVolume(77);
        game->ambientEnabled = true;
        if (content) dir->write("settings.ini", content);
        game->readSettings();
        return {FSOUND_GetSFXMasterVolume(), game->ambientEnabled};
    }
};

TEST_F(SettingsReadTest, ReadsVolumeAndSwitch) {
    using R = std::pair<int, bool>;
    EXPECT_EQ(readFrom("200\n0\n"), R(200, false));
    EXPECT_EQ(readFrom("200\n1\n"), R(200, true));
    EXPECT_EQ(readFrom("200\r\n1\r\n"), R(200, true));
    EXPECT_EQ(readFrom("200\n2\n"), R(200, false));
    EXPECT_EQ(readFrom("  0 1"), R(0, true));
    // Only a first line: the switch is on only when that volume is 1.
    EXPECT_EQ(readFrom("200\n"), R(200, false));
    EXPECT_EQ(readFrom("1"), R(1, true));
}

TEST_F(SettingsReadTest, DamagedFilesFallBackWithoutHarm) {
    using R = std::pair<int, bool>;
    EXPECT_EQ(readFrom("loud\n1\n"), R(255, false));
    EXPECT_EQ(readFrom(""), R(255, false));
    EXPECT_EQ(readFrom("99999999999999\n1\n"), R(255, false));
    EXPECT_EQ(readFrom(std::string("\x01\xff\x00zz", 5).c_str()), R(255, false));
    // Out-of-range volumes are kept within the library's range.
    EXPECT_EQ(readFrom("300\n1\n"), R(255, true));
    EXPECT_EQ(readFrom("-20\n1\n"), R(0, true));
}

TEST_F(SettingsReadTest, AMissingFileChangesNothing) {
    EXPECT_EQ(readFrom(nullptr), std::make_pair(77, true));
    ASSERT_EQ(mkdir("settings.ini", 0755), 0);
    EXPECT_EQ(readFrom(nullptr), std::make_pair(77, true));
    rmdir("settings.ini");
    FSOUND_SetSFXMasterVolume(30);
    game->ambientEnabled = false;
    game->readSettings();
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 30);
    EXPECT_FALSE(game->ambientEnabled);
}

TEST_F(SettingsReadTest, WhatTheMenuSavesReadsBack) {
    FSOUND_SetSFXMasterVolume(93);
    game->ambientEnabled = false;
    harness::holdKey(KEY_ESC, 200, 300);
    game->optionsMenu();
    FSOUND_SetSFXMasterVolume(255);
    game->ambientEnabled = true;
    game->readSettings();
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 93);
    EXPECT_FALSE(game->ambientEnabled);
}

}  // namespace
