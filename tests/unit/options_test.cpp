#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "presentation_fixture.h"

namespace {

class OptionsTest : public presentation_test::GameFixture {
protected:
    // Runs the menu; Escape goes down at escAt and up 100 ms later.
    void runMenu(unsigned long escAt) {
        harness::holdKey(KEY_ESC, escAt, escAt + 100);
        game->optionsMenu();
    }

    // Letters of the options screen's lines that are not where its texts put
    // them, in their colours.
    static int screenDifferences(const std::string& valueLine) {
        const struct { const char* text; int y; int colour; } lines[] = {
            {valueLine.c_str(), 240, makecol(10, 150, 200)},
            {"Options menu:", 120, makecol(10, 200, 150)},
            {"Left and right arrow keys to choose whether to configure", 136, makecol(150, 200, 10)},
            {"Ambient noise (on / off) or background noise volume", 144, makecol(150, 200, 10)},
            {"Up and down arrow keys to adjust your selection, press escape to quit", 152, makecol(150, 200, 10)}};
        int n = 0;
        BITMAP* ref = create_bitmap(640, 8);
        for (const auto& l : lines) {
            clear_bitmap(ref);
            textout_centre_ex(ref, font, l.text, 320, 0, l.colour, -1);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 640; ++x)
                    n += (getpixel(screen, x, l.y + y) == l.colour) != (getpixel(ref, x, y) == l.colour);
        }
        destroy_bitmap(ref);
        return n;
    }

    std::string settings() { return dir.read("settings.ini"); }

    // Volume and switch after reading a file, starting from 77 and on.
    std::pair<int, bool> readFrom(const char* content) {
        FSOUND_SetSFXMasterVolume(77);
        game->ambientEnabled = true;
        if (content) dir.write("settings.ini", content);
        game->readSettings();
        return {FSOUND_GetSFXMasterVolume(), game->ambientEnabled};
    }
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

    const struct { int from, key, to; } clamps[] = {{250, KEY_UP, 255}, {4, KEY_DOWN, 0}};
    for (const auto& c : clamps) {
        FSOUND_SetSFXMasterVolume(c.from);
        harness::holdKey(c.key, 100, 3000);
        runMenu(3200);
        EXPECT_EQ(FSOUND_GetSFXMasterVolume(), c.to);
        EXPECT_EQ(settings(), std::to_string(c.to) + "\r\n1\r\n");
    }
}

TEST_F(OptionsTest, AmbientSwitchTogglesOncePerPressAndLeftRightSwitchItems) {
    FSOUND_SetSFXMasterVolume(200);
    game->ambientEnabled = true;
    bool afterFirstPress = true;
    harness::holdKey(KEY_RIGHT, 100, 300);  // to the ambient item
    harness::holdKey(KEY_UP, 500, 2500);    // held two seconds: one toggle
    harness::at(2400, [&] { afterFirstPress = game->ambientEnabled; });
    runMenu(2800);
    EXPECT_FALSE(afterFirstPress);
    EXPECT_FALSE(game->ambientEnabled);
    EXPECT_EQ(screenDifferences("Ambient Noise: off"), 0);
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
    harness::type("xyz");
    harness::holdKey(KEY_ESC, 300, 1300);
    game->optionsMenu();
    EXPECT_GE(harness::nowMs, 1300u);
    EXPECT_TRUE(harness::keyQueue.empty());
}

TEST_F(OptionsTest, AFailedSaveLeavesTheOldFileWhileASaveReplacesAllOfIt) {
    const std::string old = "40\n1\nsome old trailing words\n";
    dir.write("settings.ini", old);
    chmod("settings.ini", 0444);  // the player's own read-only file is not replaced
    FSOUND_SetSFXMasterVolume(40);
    harness::holdKey(KEY_UP, 100, 130);  // seen once, at 120 ms
    runMenu(400);
    EXPECT_EQ(settings(), old);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 41);  // applied all the same
    EXPECT_EQ(harness::messages, std::vector<std::string>{
                                     "The options could not be saved (\"settings.ini\"): Permission denied"});

    chmod("settings.ini", 0644);
    game->ambientEnabled = false;
    runMenu(200);
    EXPECT_EQ(settings(), "41\r\n0\r\n");
}

TEST_F(OptionsTest, ReadingSettings) {
    const struct { const char* content; int volume; bool ambient; } cases[] = {
        {"200\n0\n", 200, false}, {"200\n1\n", 200, true}, {"200\r\n1\r\n", 200, true},
        {"200\n2\n", 200, false}, {"  0 1", 0, true},
        // Only a first line: the switch is on only when that volume is 1.
        {"200\n", 200, false}, {"1", 1, true},
        // Damaged: full volume, switch off.
        {"loud\n1\n", 255, false}, {"", 255, false}, {"99999999999999\n1\n", 255, false},
        {"\x01\xff", 255, false},
        // Out of range: kept within the library's range.
        {"300\n1\n", 255, true}, {"-20\n1\n", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(readFrom(c.content), std::make_pair(c.volume, c.ambient));
    }
    // A missing file, or a directory in its place, changes nothing.
    std::remove("settings.ini");
    EXPECT_EQ(readFrom(nullptr), std::make_pair(77, true));
    ASSERT_EQ(mkdir("settings.ini", 0755), 0);
    EXPECT_EQ(readFrom(nullptr), std::make_pair(77, true));
}

}  // namespace
