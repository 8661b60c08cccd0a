// The text prompt: editing keys, the key queue, the picture, and how it ends.
#include "level_fixture.h"

namespace {
class Prompt : public level_test::LevelFixture {
protected:
    // Types the script in one go once the prompt is open (keys queued before are dropped), Escape held well after.
    // L, R, I, B, D, E, X are Left, Right, Insert, Backspace, Delete, Enter and a queued Escape; H and U (Home, Up) do
    // nothing; other characters are typed, printable or not.
    std::string run(const std::string& script) {
        harness::type("typed before");
        harness::at(harness::nowMs + 1, [script] {
            const std::string commands = "LRIBDEHUX";
            const int scancodes[] = {KEY_LEFT, KEY_RIGHT, KEY_INSERT, KEY_BACKSPACE, KEY_DEL, KEY_ENTER, KEY_HOME, KEY_UP, KEY_ESC};
            const int asciis[] = {0, 0, 0, 8, 127, 13, 0, 0, 27};
            for (unsigned char ch : script) {
                const size_t i = commands.find(ch);
                i == std::string::npos ? harness::queueKey(KEY_TAB, ch) : harness::queueKey(scancodes[i], asciis[i]);
            }
        });
        harness::holdKey(KEY_ESC, 200, 300);
        const unsigned long pictures = harness::vsyncCount;
        std::string text = game.promptLine("Enter the new level title:");
        EXPECT_LE(harness::vsyncCount - pictures, 5u);  // all queued keys are applied before the next picture
        while (key[KEY_ESC]) rest(10);
        return text;
    }
};

TEST_F(Prompt, EditingKeysInTheMiddleAndAtTheEdgesOnlyPrintableCharactersAndTheLinesShown) {
    const struct { const char* script; const char* text; } cases[] = {
        {"abcLLx", "axbc"}, {"abcLLIx", "axc"}, {"abcIdeLLLwxyz", "abwxyz"}, {"abcdLLLLIxIy", "xybcd"},
        {"abcLLLBx", "xabc"}, {"abcBx", "abx"}, {"abcDx", "abcx"}, {"abcLLLDx", "xbc"}, {"abRcLLLLLLLLLx", "xabc"},
        {"a\x7f\x80\xe9\xff\tXHU ~b", "a ~b"},  // a queued Escape is no key at all
        {"abEcd", "ab"}};                        // Enter ends it; what follows is not part of the answer
    for (const auto& c : cases) EXPECT_EQ(run(c.script), c.text) << c.script;
    EXPECT_TRUE(harness::keyQueue.empty());
    EXPECT_TRUE(run("aI") == "a" && level_test::screenLineShows(240, "a", makecol(255, 255, 255)) &&
                level_test::screenLineShows(256, "Enter or Escape ends the prompt", makecol(200, 200, 200)) &&
                level_test::screenLineShows(360, "Replacing", makecol(255, 255, 255)));
}
}  // namespace
