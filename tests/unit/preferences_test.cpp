// The preferences file: what it reads from good, damaged and foreign text, and what it writes back.
#include "fixture.h"
#include "storage/preferences.h"

namespace {

TEST(Preferences, ReadsWhatItCanTrustsNoStrayNumberAndWritesItBack) {
    harness::ScratchDir dir;
    const struct { const char* text; int scale; bool full, effects; } cases[] = {
        {nullptr, 0, false, true},  // no file: first start
        {"window-scale=2\nfull-screen=on\nsound-effects=off\n", 2, true, false},
        {"sound-effects=off\r\nwindow-scale=3\r\n", 3, false, false},
        {"window-scale=4\nsound-effects=maybe\n", 0, false, true},
        {"window-scale=0\nwindow-scale=-1\nwindow-scale=2x\nwindow-scale= 2\nwindow-scale=99999999999999999999\n", 0, false, true},
        {"colour=blue\n=\ngarbage\nsound-effects=off\n", 0, false, false},
        {"window-scale=1\nfull-screen=on", 1, true, true},  // cut short: what is there counts
        {"\xff\xfe\x01binary", 0, false, true},
    };
    for (const auto& c : cases) {
        if (c.text) dir.write("preferences.ini", c.text);
        const Preferences read = readPreferences();
        EXPECT_TRUE(read.windowScale == c.scale && read.fullScreen == c.full && read.effects == c.effects) << (c.text ? c.text : "none");
        // Written and read again it is the same.
        ASSERT_TRUE(savePreferences(read));
        const Preferences again = readPreferences();
        EXPECT_TRUE(again.windowScale == read.windowScale && again.fullScreen == read.fullScreen && again.effects == read.effects);
    }
    // Too large to be ours, or not a file at all: the defaults.
    dir.write("preferences.ini", "sound-effects=off\n" + std::string(5000, '#'));
    EXPECT_TRUE(readPreferences().effects);
    EXPECT_TRUE(readPreferences(dir.path()).effects);
    EXPECT_FALSE(savePreferences({}, dir.path() + "/missing/preferences.ini"));
}

}  // namespace
