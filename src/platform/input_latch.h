// Presses and clicks caught the moment they happen, so that a tap shorter
// than the gap between two looks at the keys still counts once, and the idle
// main loop can wake on a press instead of waiting for its next look.
#pragma once

namespace inputLatch {

// Hooks Allegro's keyboard and mouse callbacks (once; harmless to repeat).
void install();
// True once for each press of the key since the last call for that key,
// also when the key was already let go. A press also counts when the key is
// seen down here after it was seen up, so a key set without the callback
// (another input path) is not missed.
bool takePress(int scancode);
// True when a press of the key is waiting to be taken.
bool pressWaiting(int scancode);
// A left click since the last call: true once, with where it was made.
bool takeClick(int& x, int& y);
bool clickWaiting();
// Forgets every waiting press and click (a screen that begins afresh).
void clear();

// Sleeps up to `ms`, returning early at a press, a click or a wake().
void waitForInput(unsigned ms);
// Ends a waitForInput at once (another thread has news for the player).
void wake();

// What Allegro calls; public so a stand-in keyboard can drive them too.
void onKey(int scancode);
void onMouse(int flags);

}  // namespace inputLatch
