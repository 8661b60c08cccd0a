#include "platform/input_latch.h"

#include <allegro.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace inputLatch {

namespace {

// Allegro calls in from its input thread; the game takes from the main one.
std::atomic<bool> pressed[KEY_MAX];
std::atomic<bool> downByCallback[KEY_MAX];
bool seenDown[KEY_MAX];  // main thread only: key[] at the last take
std::atomic<bool> clicked{false};
std::atomic<int> clickX{0}, clickY{0};

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

void keyCallback(int scancode) { onKey(scancode); }
END_OF_FUNCTION(keyCallback)
void mouseCallback(int flags) { onMouse(flags); }
END_OF_FUNCTION(mouseCallback)

}  // namespace

void onKey(int scancode) {
    const bool release = scancode & 0x80;
    const int k = scancode & 0x7f;
    if (k <= 0 || k >= KEY_MAX) return;
    if (release) {
        downByCallback[k] = false;
        return;
    }
    // The window system may repeat a held key's press; only the first counts.
    if (downByCallback[k].exchange(true)) return;
    pressed[k] = true;
    signal();
}

void onMouse(int flags) {
    if (!(flags & MOUSE_FLAG_LEFT_DOWN)) return;
    clickX = mouse_x;
    clickY = mouse_y;
    clicked = true;
    signal();
}

void install() {
    keyboard_lowlevel_callback = keyCallback;
    mouse_callback = mouseCallback;
}

bool takePress(int k) {
    if (k <= 0 || k >= KEY_MAX) return false;
    const bool down = key[k] != 0;
    const bool edge = down && !seenDown[k];
    seenDown[k] = down;
    return pressed[k].exchange(false) || edge;
}

bool pressWaiting(int k) { return k > 0 && k < KEY_MAX && (pressed[k] || (key[k] && !seenDown[k])); }

bool takeClick(int& x, int& y) {
    if (!clicked.exchange(false)) return false;
    x = clickX;
    y = clickY;
    return true;
}

bool clickWaiting() { return clicked; }

void clear() {
    for (int k = 0; k < KEY_MAX; ++k) {
        pressed[k] = false;
        seenDown[k] = key[k] != 0;
    }
    clicked = false;
}

void waitForInput(unsigned ms) {
    std::unique_lock<std::mutex> hold(wakeMutex);
    wakeSignal.wait_for(hold, std::chrono::milliseconds(ms), [] { return woken; });
    woken = false;
}

void wake() { signal(); }

}  // namespace inputLatch
