// The player's choices kept in "preferences.ini", beside "settings.ini"
// (which keeps its two lines as they always were): the window's size and
// whether the game answers moves with sound effects.
#pragma once

#include "storage/files.h"

struct Preferences {
    int windowScale = 0;  // 0: not chosen yet (asked at first start), else 1..3
    bool fullScreen = false;
    bool effects = true;
};

// What the file says; a missing, damaged or partial file gives the default
// for whatever cannot be read.
Preferences readPreferences();
// Replaces the file (through a temporary file, so a failure keeps the old).
files::Outcome savePreferences(const Preferences& preferences);
// The same, for a file elsewhere.
Preferences readPreferences(const std::string& path);
files::Outcome savePreferences(const Preferences& preferences, const std::string& path);
