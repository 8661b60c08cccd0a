// Reaching the display at start-up.
#pragma once

#include <functional>

// Runs `connect` until it succeeds. An X server resets itself when its last
// client leaves, and a connection still being set up at that moment is
// closed unanswered (about one start in twenty while other clients come and
// go); a moment later it answers, so with a `display` named, up to five
// tries with `pause` between them. Without any display there is nothing to
// wait for: one try. True when a try succeeded.
bool reachDisplay(const char* display, const std::function<bool()>& connect, const std::function<void()>& pause);
