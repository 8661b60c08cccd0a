// The text prompt: editing keys, the key queue, the picture, and how it ends.
#include "level_fixture.h"

namespace {
using level_test::screenLineShows;

// Queues a key script: L and R move the cursor, I toggles Insert, B is
// Backspace, D Delete, E Enter; anything else is typed.
void play(const std::string& script) {
    for (char ch : script) {
        const int scancode = ch == 'L' ? KEY_LEFT : ch == 'R' ? KEY_RIGHT : ch == 'I' ? KEY_INSERT : ch == 'B' ? KEY_BACKSPACE
                           : ch == 'D' ? KEY_DEL : ch == 'E' ? KEY_ENTER : 0;
        scancode ? harness::queueKey(scancode, ch == 'B' ? 8 : ch == 'D' ? 127 : ch == 'E' ? 13 : 0) : harness::type(std::string(1, ch));
    }
}

class Prompt : public level_test::LevelFixture {
protected:
    // The script is typed once the prompt is open (keys queued before it are
    // dropped), then Escape is held well after.
    std::string run(const std::string& script) {
        harness::at(harness::nowMs + 1, [script] { play(script); });
        harness::holdKey(KEY_ESC, 200, 300);
        std::string text = game.promptLine("Enter the new level title:");
        while (key[KEY_ESC]) rest(10);
        return text;
    }
};

TEST_F(Prompt, EditingKeysInTheMiddleAndAtTheEdges) {
    const struct { const char* script; const char* text; } cases[] = {
        {"abcLLx", "axbc"}, {"abcLLIx", "axc"}, {"abcIdeLLLwxyz", "abwxyz"}, {"abcdLLLLIxIy", "xybcd"},
        {"abcLLLBx", "xabc"}, {"abcBx", "abx"}, {"abcDx", "abcx"}, {"abcLLLDx", "xbc"}, {"abRcLLLLLLLLLx", "xabc"},
        {"abEcd", "ab"},  // Enter ends it; what follows is not part of the answer
    };
    for (const auto& c : cases) EXPECT_EQ(run(c.script), c.text) << c.script;
    EXPECT_TRUE(harness::keyQueue.empty());
}

TEST_F(Prompt, OnlyPrintableCharactersAreTyped) {
    harness::at(1, [] {
        harness::type("a");
        for (int ascii : {127, 128, 0xe9, 0xff, 9}) harness::queueKey(KEY_TAB, ascii);
        for (int scancode : {KEY_ESC, KEY_HOME, KEY_UP}) harness::queueKey(scancode, scancode == KEY_ESC ? 27 : 0);
        harness::type(" ~b");
    });
    harness::holdKey(KEY_ESC, 200, 300);
    EXPECT_EQ(game.promptLine("?"), "a ~b");
    EXPECT_GE(harness::nowMs, 200u);  // a queued Escape is no key at all
}

TEST_F(Prompt, EscapeOrAHeldEnterEndsItAtOnceAndTheLinesSaySo) {
    for (int scancode : {KEY_ESC, KEY_ENTER}) {
        harness::type("typed before");  // belongs to the screen that opened the prompt
        harness::holdKey(scancode, 0, 50);
        EXPECT_EQ(game.promptLine("Enter the new level #:"), "");
        const int white = makecol(255, 255, 255);
        EXPECT_TRUE(screenLineShows(232, "Enter the new level #:", makecol(255, 255, 0)));
        EXPECT_TRUE(screenLineShows(256, "Enter or Escape ends the prompt", makecol(200, 200, 200)));
        EXPECT_TRUE(screenLineShows(360, "Inserting", white));
        rest(100);
    }
    EXPECT_EQ(harness::vsyncCount, 2u);  // one picture each
}

TEST_F(Prompt, KeysBetweenPicturesAreAllAppliedAndTheModeLineFollowsInsert) {
    const int white = makecol(255, 255, 255);
    bool replacing = false, insertingAgain = false;
    harness::at(1, [] { play("oneI"); });
    harness::at(80, [&] { replacing = screenLineShows(360, "Replacing", white), play("ILLLtwo"); });
    harness::at(120, [&] { insertingAgain = screenLineShows(360, "Inserting", white); });
    harness::holdKey(KEY_ESC, 150, 250);
    EXPECT_EQ(game.promptLine("?"), "twoone");
    EXPECT_TRUE(replacing && insertingAgain);
    EXPECT_TRUE(screenLineShows(240, "twoone", white));
    EXPECT_EQ(harness::vsyncCount, 4u);  // one picture per pass without keys
}

}  // namespace
