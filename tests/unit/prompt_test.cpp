// The text prompt: editing keys, the key queue, the picture and Escape.
#include <functional>
#include <string>

#include "level_fixture.h"

namespace {

using level_test::screenLineShows;

void press(int scancode, int ascii = 0) { harness::queueKey(scancode, ascii); }

// Queues a key script: L and R move the cursor, I toggles Insert,
// B is Backspace, D is Delete; anything else is typed.
void play(const std::string& script) {
    for (char ch : script) {
        switch (ch) {
            case 'L': press(KEY_LEFT); break;
            case 'R': press(KEY_RIGHT); break;
            case 'I': press(KEY_INSERT); break;
            case 'B': press(KEY_BACKSPACE, 8); break;
            case 'D': press(KEY_DEL, 127); break;
            default: harness::type(std::string(1, ch));
        }
    }
}

class Prompt : public level_test::LevelFixture {
protected:
    // Types the keys once the prompt is open (keys queued before it are
    // dropped), then holds Escape well after they have been applied.
    std::string run(std::function<void()> keys) {
        harness::at(harness::nowMs + 1, keys);
        harness::holdKey(KEY_ESC, 200, 300);
        std::string text = game.promptLine("Enter the new level title:");
        while (key[KEY_ESC]) rest(10);  // let go before the next run
        return text;
    }
};

TEST_F(Prompt, EscapeAtOnceReturnsEmptyAfterOnePicture) {
    harness::type("typed before");  // belongs to the screen that opened the prompt
    harness::holdKey(KEY_ESC, 0, 50);
    EXPECT_EQ(game.promptLine("Enter the new level #:"), "");
    EXPECT_EQ(harness::vsyncCount, 1u);
    EXPECT_TRUE(screenLineShows(232, "Enter the new level #:", makecol(255, 255, 0)));
    EXPECT_TRUE(screenLineShows(360, "Inserting", makecol(255, 255, 255)));
    EXPECT_TRUE(harness::keyQueue.empty());
}

TEST_F(Prompt, EditingKeysInTheMiddleAndAtTheEdges) {
    const struct {
        const char* script;
        const char* text;
    } cases[] = {
        {"abcLLx", "axbc"},           // insert in the middle
        {"abcLLIx", "axc"},           // replace in the middle
        {"abcIdeLLLwxyz", "abwxyz"},  // replacing at the end appends
        {"abcdLLLLIxIy", "xybcd"},    // the cursor moved past the replaced character
        {"abcLLLBx", "xabc"},         // Backspace at the start
        {"abcBx", "abx"},
        {"abcDx", "abcx"},            // Delete at the end
        {"abcLLLDx", "xbc"},
        {"abRcLLLLLLLLLx", "xabc"},   // the cursor stops at both ends
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(run([&] { play(c.script); }), c.text);
    }
}

TEST_F(Prompt, OnlyPrintableCharactersAreTyped) {
    EXPECT_EQ(run([] {
                  harness::type("a");
                  for (int ascii : {127, 128, 0xe9, 0xff}) press(0, ascii);
                  press(KEY_TAB, 9);
                  press(KEY_ENTER, 13);  // does not end the prompt either
                  press(KEY_ESC, 27);    // a queued Escape is no key at all
                  press(KEY_HOME);
                  press(KEY_UP);
                  harness::type(" ~b");
              }),
              "a ~b");
    // The prompt stayed open until Escape was held, not when Enter came.
    EXPECT_GE(harness::nowMs, 200u);
}

TEST_F(Prompt, KeysTypedBetweenPicturesAreAllAppliedInOrder) {
    harness::at(1, [] { harness::type("one"); });
    harness::at(50, [] { play("LLLtwo"); });
    harness::holdKey(KEY_ESC, 200, 300);
    EXPECT_EQ(game.promptLine("?"), "twoone");
    // One picture per pass without keys: the batches drew nothing of their own.
    EXPECT_EQ(harness::vsyncCount, 5u);
}

TEST_F(Prompt, InsertToggledTwiceComesBackToInsertingAndThePictureFollows) {
    const int white = makecol(255, 255, 255);
    bool replacingShown = false, insertingShownAgain = false;
    harness::at(1, [] { play("I"); });
    // The second pass (t = 62) has drawn the first toggle.
    harness::at(80, [&] {
        replacingShown = screenLineShows(360, "Replacing", white);
        play("Iab");
    });
    harness::at(120, [&] { insertingShownAgain = screenLineShows(360, "Inserting", white); });
    harness::at(121, [] { play("Lx"); });
    harness::holdKey(KEY_ESC, 150, 250);
    EXPECT_EQ(game.promptLine("?"), "axb");
    EXPECT_TRUE(replacingShown);
    EXPECT_TRUE(insertingShownAgain);
    EXPECT_TRUE(screenLineShows(240, "axb", white));
}

}  // namespace
