// "settings.ini": the background volume (0..255) and whether ambient noise
// plays, one number a line.
#pragma once

#include "storage/files.h"

struct Settings {
    int volume = 255;
    bool ambient = true;
};

// The file's values over `settings`; a missing file changes nothing. As the
// file has always been read: with the first line unreadable the second read
// fails too and 255 decides the switch, so ambient noise is off.
void readSettings(Settings& settings);
files::Outcome saveSettings(const Settings& settings);
