// The one-line text prompt: takes over the screen and the keyboard until the
// player presses Enter or holds Escape, then returns what was typed.
#include <cstddef>
#include <string>

#include "screens/styled_screen.h"
#include "app/game.h"

namespace {

const char* const kEndsHint = "Enter or Escape ends the prompt";

}  // namespace

std::string Game::promptLine(const std::string& prompt) {
    // Keys typed before the prompt opened (the command key that opened it
    // among them) are not part of the answer.
    clear_keybuf();
    std::string text;
    std::size_t cursor = 0;
    bool insertMode = true;
    const StyledScreen look(*this);

    for (;;) {
        // The window's close button ends the prompt with no answer.
        if (quitting()) return std::string();
        if (keypressed()) {
            int k = readkey();
            int character = static_cast<signed char>(k & 0xff);
            int scancode = (k >> 8) & 0xff;
            if (character >= 32 && character <= 126) {
                if (insertMode || cursor == text.size())
                    text.insert(cursor, 1, static_cast<char>(character));
                else
                    text[cursor] = static_cast<char>(character);
                ++cursor;
            }
            // Enter ends the prompt as Escape does; keys typed after it are not part of the answer.
            if (scancode == KEY_ENTER || scancode == KEY_ENTER_PAD) {
                clear_keybuf();
                return text;
            }
            switch (scancode) {
                case KEY_BACKSPACE:
                    if (cursor > 0) {
                        --cursor;
                        text.erase(cursor, 1);
                    }
                    break;
                case KEY_INSERT:
                    insertMode = !insertMode;
                    break;
                case KEY_DEL:
                    if (cursor < text.size()) text.erase(cursor, 1);
                    break;
                case KEY_LEFT:
                    if (cursor > 0) --cursor;
                    break;
                case KEY_RIGHT:
                    if (cursor < text.size()) ++cursor;
                    break;
                default:
                    break;
            }
            // Every queued key is applied before the next picture.
            continue;
        }

        vsync();
        const int white = makecol(255, 255, 255);
        look.show(screen, {{prompt, SCREEN_H / 2 - text_height(font), makecol(255, 255, 0)},
                           {text, SCREEN_H / 2, white},
                           {kEndsHint, SCREEN_H / 2 + 2 * text_height(font), makecol(200, 200, 200)},
                           {insertMode ? "Inserting" : "Replacing", SCREEN_H * 3 / 4, white}});
        rest(30);
        // Escape (and a held Enter) are read as held, not from the queue;
        // their release is the caller's to wait for.
        if (key[KEY_ESC] || key[KEY_ENTER] || key[KEY_ENTER_PAD]) return text;
    }
}
