// The top layer: what the game applies at once when the player changes an
// option or the window's mode, and the signals that ask it to quit.
#include <poll.h>
#include <signal.h>

#include "fixture.h"
#include "platform/signals.h"

namespace {

class AppTest : public LevelFixture {
protected:
    void SetUp() override { dir.write("levels/1.lvl", levelBytes("One", "2 1 10 8")); }
    // Pixels that are not black, in the window and in the picture last drawn.
    static int lit(BITMAP* b) {
        int n = 0;
        for (int y = 0; y < b->h; y += 2)
            for (int x = 0; x < b->w; x += 2) n += getpixel(b, x, y) != 0;
        return n;
    }
};

// Each from a fresh start on level 1 in play: the keys, then what the sound
// and the window must show before anything else happens.
TEST_F(AppTest, AChangedOptionOrWindowModeTakesEffectAtOnce) {
    const struct { const char* what; std::vector<int> keys; int volume; bool ambient, effects, full; } cases[] = {
        {"as started", {}, 255, true, true, false},
        {"the volume lowered", {KEY_O, KEY_LEFT, KEY_ESC}, 243, true, true, false},
        {"the ambient noise switched off", {KEY_O, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_RIGHT, KEY_ESC}, 255, false, true, false},
        {"the effects switched off", {KEY_O, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_RIGHT, KEY_ESC}, 255, true, false, false},
        {"full screen with F11", {KEY_F11}, 255, true, true, true},
        {"full screen and back", {KEY_F11, KEY_F11}, 255, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove("settings.ini"), std::remove("preferences.ini");
        start();
        press(KEY_ENTER);
        for (int k : c.keys) press(k, 30, 30);
        ASSERT_NE(on<PlayingScreen>(), nullptr);
        EXPECT_EQ(std::make_tuple(FSOUND_GetSFXMasterVolume(), app->gardenHeard(), app->effectsOn()),
                  std::make_tuple(c.volume, c.ambient, c.effects));
        // A new mode starts black: the picture is shown in it though nothing else changed.
        EXPECT_EQ(std::make_pair(screen->w, lit(screen)), std::make_pair(c.full ? 1024 : 640, lit(picture)));
    }
}

// Each signal asks the game to quit and wakes its wait; one ignored when the
// game was launched (a shell's background job) stays ignored.
TEST(QuitSignals, EachAsksTheLoopToEndAndWakesItAndOneIgnoredAtLaunchStaysIgnored) {
    const struct { int signal; bool ignoredAtLaunch; } cases[] = {{SIGTERM, false}, {SIGINT, false}, {SIGHUP, false}, {SIGINT, true}};
    for (const auto& c : cases)
        EXPECT_TRUE(endsInAChild([&] {  // each with the handlers' state fresh
            std::atomic<bool> quit{false};
            signal(c.signal, c.ignoredAtLaunch ? SIG_IGN : SIG_DFL);
            quitSignals::noteLaunch();
            quitSignals::install(quit);
            raise(c.signal);
            pollfd woken = {quitSignals::wakeFd(), POLLIN, 0};
            const bool quits = !c.ignoredAtLaunch;
            return quit == quits && quitSignals::arrived() == quits && poll(&woken, 1, 0) == (quits ? 1 : 0);
        })) << c.signal << (c.ignoredAtLaunch ? " ignored at launch" : "");
}

}  // namespace
