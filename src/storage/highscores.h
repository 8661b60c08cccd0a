// The high-score table as the level chooser reads it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

// Each level's record (its first entry in "highscores.dat"), as far as the
// table can be read; a missing table gives none. Negative counts are no
// real result and are left out.
std::map<int32_t, int32_t> readRecords();

// What a win did to the table. NotBeaten: the table's record (`record`) is
// as good or better; Unreadable: the table is missing or damaged and was left
// as it is; NotSaved: the new record could not be written (`reason` says why).
struct WinRecord {
    enum Outcome { NewRecord, NotBeaten, Unreadable, NotSaved };
    Outcome outcome = Unreadable;
    int32_t record = -1;
    std::string reason;
};

// Records `moves` for `level` when it beats the table's record, under the
// table's lock so that two games never lose each other's records.
WinRecord recordWin(int32_t level, int32_t moves);
