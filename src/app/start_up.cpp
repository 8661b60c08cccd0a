#include "app/start_up.h"

bool reachDisplay(const char* display, const std::function<bool()>& connect, const std::function<void()>& pause) {
    const int attempts = display && *display ? 5 : 1;
    for (int attempt = 1;; ++attempt) {
        if (connect()) return true;
        if (attempt == attempts) return false;
        pause();
    }
}
