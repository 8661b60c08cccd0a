// The player's choices kept in "preferences.ini", beside "settings.ini"
// (which keeps its two lines as they always were): the window's size,
// whether the game answers moves with sound effects, and the volumes of the
// effects and of the garden, and which rule notes the player has been told.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "storage/files.h"

struct Preferences {
    int windowScale = 0;  // 0: not chosen yet (asked at first start), else 1..3
    bool fullScreen = false;
    bool effects = true;
    int effectsVolume = 80;  // per cent, 0..100, on top of the background volume
    int gardenVolume = 80;
    // The names of the rule notes already told to this player.
    std::set<std::string> notesTold;
    // Lines this game does not know (a newer game's), written back as they were.
    std::vector<std::string> others;
};

bool operator==(const Preferences& a, const Preferences& b);
inline bool operator!=(const Preferences& a, const Preferences& b) { return !(a == b); }

// What the file says; a missing, damaged or partial file gives the default
// for whatever cannot be read, and every line that can be read counts.
Preferences readPreferences();
// Replaces the file (through a temporary file, so a failure keeps the old).
files::Outcome savePreferences(const Preferences& preferences);
// The same, for a file elsewhere.
Preferences readPreferences(const std::string& path);
files::Outcome savePreferences(const Preferences& preferences, const std::string& path);
