// The preferences file: what it reads from good, damaged and foreign text (each bad line its default, the others kept), and what it writes back.
#include "fixture.h"
#include "storage/preferences.h"

namespace {

TEST(Preferences, ReadsEveryLineItCanTrustKeepsLinesOfNewerGamesAndWritesItBack) {
    harness::ScratchDir dir;
    const std::string absurd = "effects-volume=" + std::string(5000, '5') + "\n";
    const struct { std::string text; int scale; bool full, effects; int fx, garden; std::vector<std::string> others; } cases[] = {
        {"-", 0, false, true, 80, 80, {}},  // no file: first start
        {"window-scale=2\nfull-screen=on\nsound-effects=off\neffects-volume=35\ngarden-volume=0\n", 2, true, false, 35, 0, {}},
        {"sound-effects=off\r\nwindow-scale=3\r\ngarden-volume=100\r\n", 3, false, false, 80, 100, {}},
        {"window-scale=4\nsound-effects=maybe\neffects-volume=101\ngarden-volume=-5\n", 0, false, true, 80, 80, {}},
        {"window-scale=0\nwindow-scale=2x\nwindow-scale= 2\neffects-volume=99999999999999999999\ngarden-volume=loud\neffects-volume=\n", 0, false, true, 80, 80, {}},
        {"rule-notes=3,7\ncolour=blue\n=\ngarbage\nsound-effects=off\ngarden-volume=45", 0, false, false, 80, 45, {"rule-notes=3,7", "colour=blue"}},
        {"window-scale=1\nfull-screen=on", 1, true, true, 80, 80, {}},  // cut short: what is there counts
        {"\xff\xfe\x01=binary\ngarden-volume=20\n", 0, false, true, 80, 20, {}},
        {"garden-volume=15\n" + absurd + "rule-notes=1\n" + std::string(300, 'x') + "=y\n", 0, false, true, 80, 15, {"rule-notes=1"}},
        {"effects-volume=40\n" + std::string(70000, '#') + "\ngarden-volume=5\n", 0, false, true, 40, 80, {}},  // read as far as is sane
    };
    for (const auto& c : cases) {
        if (c.text != "-") dir.write("preferences.ini", c.text);
        const Preferences read = readPreferences();
        EXPECT_TRUE(read.windowScale == c.scale && read.fullScreen == c.full && read.effects == c.effects && read.effectsVolume == c.fx &&
                    read.gardenVolume == c.garden && read.others == c.others)
            << c.text.substr(0, 80);
        // Written and read again it is the same, the lines of others too.
        ASSERT_TRUE(savePreferences(read));
        EXPECT_TRUE(readPreferences() == read) << c.text.substr(0, 80);
    }
    // The notes told come back as they were, a name of junk left out.
    dir.write("preferences.ini", "rule-notes-told=bone-freed,rock-falls,Bad!\n");
    Preferences told = readPreferences();
    EXPECT_EQ(told.notesTold, (std::set<std::string>{"bone-freed", "rock-falls"}));
    ASSERT_TRUE(savePreferences(told));
    EXPECT_TRUE(readPreferences() == told);
    // Not a file at all: the defaults; a folder that is not there: a failure said.
    EXPECT_TRUE(readPreferences(dir.path()) == Preferences());
    EXPECT_FALSE(savePreferences({}, dir.path() + "/missing/preferences.ini"));
}

}  // namespace
