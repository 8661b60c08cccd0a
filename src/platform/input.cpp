#include "platform/input.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace input {

namespace {

// Allegro calls in from its input thread; the loop takes from the main one.
std::mutex queueMutex;
std::deque<Event> queue;
// A long queue is a stuck loop, not a player; its oldest events go.
const size_t kLongestQueue = 256;
std::atomic<bool> down[KEY_MAX];
int lastX = -1, lastY = -1;  // main thread: the pointer at the last take
// Allegro tells of a key's press, then of the character it types, in two
// calls; the loop may take its queue between them. The character carries
// the press's number, so that whatever takes the press takes it too.
unsigned presses = 0, typingPress = 0;  // under queueMutex
int typingScancode = 0;

// Where the picture lies in the window: changed by the main thread, read by
// Allegro's when a click comes, so always as a whole.
struct Mapping {
    int x = 0, y = 0, w = 640, h = 480;  // the picture's place and size in the window
};
std::mutex mappingMutex;
Mapping mapping;

std::mutex wakeMutex;
std::condition_variable wakeSignal;
bool woken = false;

void signal() {
    {
        std::lock_guard<std::mutex> hold(wakeMutex);
        woken = true;
    }
    wakeSignal.notify_all();
}

void push(Event e) {
    {
        std::lock_guard<std::mutex> hold(queueMutex);
        if (e.kind == Event::Press) {
            e.press = typingPress = ++presses;
            typingScancode = e.scancode;
        } else if (e.kind == Event::Typed) {
            // Only the first character after the press is the press's own.
            e.press = e.scancode == typingScancode ? typingPress : 0;
            typingPress = 0;
        }
        if (queue.size() >= kLongestQueue) queue.pop_front();
        queue.push_back(e);
    }
    signal();
}

// The gamepad's controls and the keys they stand for: the d-pad or left
// stick as the arrows; buttons 1 to 4 as Enter, Escape, U (undo) and H
// (hint); the shoulder buttons (5 and 6 on the usual pads) as Tab, which
// turns the chooser to the next pack. The right shoulder held is Space held
// too, which hurries motion.
enum PadControl {
    PadUp, PadDown, PadLeft, PadRight, PadEnter, PadEscape, PadUndo, PadHint, PadLeftShoulder, PadRightShoulder,
    PadControls
};
const int kPadKeys[PadControls] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_ENTER, KEY_ESC, KEY_U, KEY_H, KEY_TAB, KEY_TAB};
bool padWas[PadControls] = {};  // main thread: the controls down at the last take

// The first gamepad's controls now, as the joystick variables hold them.
void readPad(bool (&now)[PadControls]) {
    for (bool& b : now) b = false;
    if (num_joysticks <= 0) return;
    poll_joystick();  // does nothing without a driver (a test writes joy[] itself)
    const JOYSTICK_INFO& pad = joy[0];
    const int sticks = std::min(std::max(pad.num_sticks, 0), MAX_JOYSTICK_STICKS);
    for (int s = 0; s < sticks; ++s) {
        // The left stick is the first; a d-pad is a digital one after it.
        const JOYSTICK_STICK_INFO& stick = pad.stick[s];
        if (s > 0 && !(stick.flags & JOYFLAG_DIGITAL)) continue;
        if (stick.num_axis < 2) continue;
        now[PadLeft] |= stick.axis[0].d1 != 0, now[PadRight] |= stick.axis[0].d2 != 0;
        now[PadUp] |= stick.axis[1].d1 != 0, now[PadDown] |= stick.axis[1].d2 != 0;
    }
    const int buttons = std::min(std::max(pad.num_buttons, 0), MAX_JOYSTICK_BUTTONS);
    for (int b = 0; b < buttons && PadEnter + b < PadControls; ++b) now[PadEnter + b] = pad.button[b].b != 0;
}
bool altDown() { return down[KEY_ALT] || down[KEY_ALTGR]; }

void keyCallback(int scancode) { onKey(scancode); }
END_OF_FUNCTION(keyCallback)
int typedCallback(int character, int* scancode) { return onTyped(character, scancode); }
END_OF_FUNCTION(typedCallback)
void mouseCallback(int flags) { onMouse(flags); }
END_OF_FUNCTION(mouseCallback)

}  // namespace

void onKey(int scancode) {
    const bool release = scancode & 0x80;
    const int k = scancode & 0x7f;
    if (k <= 0 || k >= KEY_MAX) return;
    if (release) {
        down[k] = false;
        signal();
        return;
    }
    // The window system may repeat a held key's press; only the first counts.
    if (down[k].exchange(true)) {
        std::lock_guard<std::mutex> hold(queueMutex);
        typingPress = 0;  // the character coming is a repeat's
        return;
    }
    Event e;
    e.kind = Event::Press;
    e.scancode = k;
    e.alt = altDown();
    push(e);
}

int onTyped(int character, int* scancode) {
    Event e;
    e.kind = Event::Typed;
    e.scancode = scancode ? *scancode : 0;
    e.ascii = character;
    e.alt = altDown();
    push(e);
    return 0;  // nothing for Allegro's own queue: every key is read from here
}

void onMouse(int flags) {
    if (!(flags & MOUSE_FLAG_LEFT_DOWN)) {
        if (flags & MOUSE_FLAG_LEFT_UP) signal();
        return;
    }
    Event e;
    e.kind = Event::Click;
    e.x = mouse_x;
    e.y = mouse_y;
    toPicture(e.x, e.y);
    push(e);
}

void install() {
    keyboard_lowlevel_callback = keyCallback;
    keyboard_ucallback = typedCallback;
    mouse_callback = mouseCallback;
}

std::vector<Event> take() {
    std::vector<Event> out;
    {
        std::lock_guard<std::mutex> hold(queueMutex);
        out.assign(queue.begin(), queue.end());
        queue.clear();
    }
    // The gamepad: a control pushed since the last take is a press of its key.
    bool pad[PadControls];
    readPad(pad);
    for (int c = 0; c < PadControls; ++c) {
        if (pad[c] && !padWas[c]) {
            Event e;
            e.kind = Event::Press;
            e.scancode = kPadKeys[c];
            out.push_back(e);
        }
        padWas[c] = pad[c];
    }
    int x = mouse_x, y = mouse_y;
    toPicture(x, y);
    if (x != lastX || y != lastY) {
        Event e;
        e.kind = Event::Move;
        e.x = lastX = x;
        e.y = lastY = y;
        out.push_back(e);
    }
    return out;
}

Held held() {
    Held h;
    // A key set without the callback (another input path, a test) counts as held too.
    for (int k = 1; k < KEY_MAX; ++k) h.keys[k] = down[k] || key[k];
    for (int c = 0; c < PadControls; ++c) h.keys[kPadKeys[c]] |= padWas[c];
    h.keys[KEY_SPACE] |= padWas[PadRightShoulder];
    h.button = mouse_b & 1;
    h.x = mouse_x;
    h.y = mouse_y;
    h.inside = mouse_on_screen();
    toPicture(h.x, h.y);
    return h;
}

bool gamepad() { return num_joysticks > 0; }

void clear() {
    std::lock_guard<std::mutex> hold(queueMutex);
    queue.clear();
}

void waitForInput(unsigned ms) {
    std::unique_lock<std::mutex> hold(wakeMutex);
    wakeSignal.wait_for(hold, std::chrono::milliseconds(ms), [] { return woken; });
    woken = false;
}

void wake() { signal(); }

void setPointerMapping(int offsetX, int offsetY, int shownW, int shownH) {
    std::lock_guard<std::mutex> hold(mappingMutex);
    mapping = Mapping{offsetX, offsetY, shownW > 0 ? shownW : 640, shownH > 0 ? shownH : 480};
}

void toPicture(int& x, int& y) {
    Mapping m;
    {
        std::lock_guard<std::mutex> hold(mappingMutex);
        m = mapping;
    }
    // Floor division: a pixel left of or above the picture stays negative.
    // A whole scale s gives (x - m.x) / s; a picture scaled down, the pixel beneath.
    auto floorDiv = [](long a, long b) { return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b)); };
    x = floorDiv(static_cast<long>(x - m.x) * 640, m.w);
    y = floorDiv(static_cast<long>(y - m.y) * 480, m.h);
}

}  // namespace input
