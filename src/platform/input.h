// The player's input as it happens: Allegro's keyboard and mouse callbacks
// put every press, typed character and click into one queue, in order, so a
// tap shorter than a frame still counts once, and the idle loop can sleep
// until something arrives. A gamepad, polled at each take, speaks as the
// keys it stands for, so every screen works with it unchanged. The loop takes the queue each frame and hands it
// to the screen on top; nothing else reads the keyboard.
#pragma once

#include <allegro.h>

#include <vector>

namespace input {

struct Event {
    enum Kind {
        Press,  // a key went down (its first press; the window system's repeats are not presses)
        Typed,  // a character typed (repeats included), for text prompts
        Click,  // the left button went down at (x, y)
        Move,   // the pointer moved to (x, y)
    };
    Kind kind = Press;
    int scancode = 0;  // Press, Typed
    int ascii = 0;     // Typed: the character, 0 for keys that type none
    bool alt = false;  // Press, Typed: Alt or AltGr was down (Alt+Enter is the window's)
    int x = 0, y = 0;  // Click, Move: in the game's 640x480 picture
    // Press: a number of its own; Typed: the number of the press that typed
    // it (0 for a repeat), which may come in a later frame than the press.
    unsigned press = 0;
};

// What is held down now, for screens that act while a key or the button stays down.
struct Held {
    bool keys[KEY_MAX] = {};
    bool button = false;
    int x = -1, y = -1;   // the pointer in the game's picture
    bool inside = false;  // the pointer is over the window
    bool key(int scancode) const { return scancode > 0 && scancode < KEY_MAX && keys[scancode]; }
};

// Hooks Allegro's keyboard and mouse callbacks (harmless to repeat).
void install();
// Every event since the last call, oldest first. The gamepad's pushes since
// the last call come after them, then a Move if the pointer moved.
std::vector<Event> take();
// What is held now.
Held held();
// A gamepad is there (its pushes are seen only when polled: the idle loop
// must not sleep long).
bool gamepad();
// Forgets every waiting event.
void clear();

// Sleeps up to `ms`, returning early at input or a wake().
void waitForInput(unsigned ms);
// Ends a waitForInput at once (another thread has news for the player).
void wake();

// Pointer position from the window's pixels to the game's 640x480 picture,
// which lies at (offsetX, offsetY) in the window, shown `shownW` by
// `shownH` pixels; the window sets it when it scales (default: the same).
void setPointerMapping(int offsetX, int offsetY, int shownW, int shownH);
void toPicture(int& x, int& y);

// What Allegro calls; public so that tests can drive them as Allegro would.
void onKey(int scancode);
int onTyped(int character, int* scancode);
void onMouse(int flags);

}  // namespace input
