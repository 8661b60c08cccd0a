// The text prompt: editing keys, the key queue, the picture and Escape.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

#include "harness.h"
#include "shell/game.h"

namespace {

void press(int scancode, int ascii = 0) { harness::queueKey(scancode, ascii); }
void left(int times) {
    for (int i = 0; i < times; ++i) press(KEY_LEFT);
}

// True when the screen rows from y show exactly the text centred on x = 320.
bool screenLineShows(int y, const std::string& text, int colour) {
    BITMAP* want = create_bitmap(640, 8);
    clear_bitmap(want);
    textout_centre_ex(want, font, text.c_str(), 320, 0, colour, -1);
    bool same = true;
    for (int yy = 0; yy < 8 && same; ++yy)
        for (int x = 0; x < 640 && same; ++x) same = getpixel(screen, x, y + yy) == getpixel(want, x, yy);
    destroy_bitmap(want);
    return same;
}

class Prompt : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};

    // Types the keys once the prompt is open (keys queued before it are
    // dropped), then holds Escape well after they have been applied.
    std::string run(std::function<void()> keys, unsigned long escapeAt = 200) {
        harness::at(harness::nowMs + 1, keys);
        harness::holdKey(KEY_ESC, escapeAt, escapeAt + 100);
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

TEST_F(Prompt, InsertingAndReplacingInTheMiddleAndAtTheEnd) {
    EXPECT_EQ(run([] {
                  harness::type("abc");
                  left(2);
                  harness::type("x");
              }),
              "axbc");
    EXPECT_EQ(run([] {
                  harness::type("abc");
                  left(2);
                  press(KEY_INSERT);
                  harness::type("x");
              }),
              "axc");
    // Replacing at the end appends; replacing over the last character then
    // reaches the end and appends too.
    EXPECT_EQ(run([] {
                  harness::type("abc");
                  press(KEY_INSERT);
                  harness::type("de");
                  left(3);
                  harness::type("XYZW");
              }),
              "abXYZW");
    // The cursor moved after a replaced character: the next one goes after it.
    EXPECT_EQ(run([] {
                  harness::type("abcd");
                  left(4);
                  press(KEY_INSERT);
                  harness::type("x");
                  press(KEY_INSERT);
                  harness::type("y");
              }),
              "xybcd");
}

TEST_F(Prompt, DeletingKeysAtTheEdgesAndInside) {
    EXPECT_EQ(run([] {
                  harness::type("abc");
                  left(3);
                  press(KEY_BACKSPACE, 8);
                  harness::type("x");
              }),
              "xabc");
    EXPECT_EQ(run([] {
                  harness::type("abc");
                  press(KEY_DEL, 127);
                  harness::type("x");
              }),
              "abcx");
    EXPECT_EQ(run([] {
                  harness::type("abc");
                  press(KEY_BACKSPACE, 8);
                  harness::type("x");
              }),
              "abx");
    EXPECT_EQ(run([] {
                  harness::type("abc");
                  left(3);
                  press(KEY_DEL, 127);
                  harness::type("x");
              }),
              "xbc");
}

TEST_F(Prompt, CursorStopsAtBothEnds) {
    EXPECT_EQ(run([] {
                  harness::type("ab");
                  press(KEY_RIGHT);
                  harness::type("c");
                  left(9);
                  harness::type("x");
              }),
              "xabc");
}

TEST_F(Prompt, OnlyPrintableCharactersAreTyped) {
    EXPECT_EQ(run([] {
                  harness::type("a");
                  press(0, 127);
                  press(0, 128);
                  press(0, 0xe9);
                  press(0, 0xff);
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
    harness::at(50, [] {
        left(3);
        harness::type("two");
    });
    harness::holdKey(KEY_ESC, 200, 300);
    unsigned long picturesBefore = harness::vsyncCount;
    EXPECT_EQ(game.promptLine("?"), "twoone");
    // One picture per pass without keys: the batches drew nothing of their own.
    EXPECT_EQ(harness::vsyncCount - picturesBefore, 5u);
}

TEST_F(Prompt, InsertToggledTwiceComesBackToInsertingAndThePictureFollows) {
    const int white = makecol(255, 255, 255);
    bool replacingShown = false, insertingShownAgain = false;
    harness::at(1, [] { press(KEY_INSERT); });
    // The second pass (t = 62) has drawn the first toggle.
    harness::at(80, [&] {
        replacingShown = screenLineShows(360, "Replacing", white);
        press(KEY_INSERT);
        harness::type("ab");
    });
    harness::at(120, [&] { insertingShownAgain = screenLineShows(360, "Inserting", white); });
    harness::at(121, [] {
        left(1);
        harness::type("X");
    });
    harness::holdKey(KEY_ESC, 150, 250);
    EXPECT_EQ(game.promptLine("?"), "aXb");
    EXPECT_TRUE(replacingShown);
    EXPECT_TRUE(insertingShownAgain);
    EXPECT_TRUE(screenLineShows(240, "aXb", white));
}

}  // namespace
