// Records won while another program held their table, kept until the table
// is free: "pending-records.txt", one record a line,
// "<pack key>\t<level number>\t<moves>", then, when the win's way is kept
// with it, "\t<level file checksum>\t<moves as letters>" (so the best way
// reaches replays.txt with the record). A record waits here rather than
// being dropped when the game is closed, and is written into its table by
// the same rules as a win (only a better count replaces the table's).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/files.h"

struct WinRecord;

struct PendingRecord {
    std::string pack;  // the table's pack key: "levels", "packs/<folder>"
    int32_t level = 0, moves = 0;
    std::string checksum = "", way = "";  // the way it was won, both "" for none
    bool operator==(const PendingRecord& o) const {
        return pack == o.pack && level == o.level && moves == o.moves && checksum == o.checksum && way == o.way;
    }
};

namespace pending {

extern const char* const kJournalPath;

// The records of a journal's text. A line that is not one (a damaged line,
// a count below 0, a last line cut short without its line break) is
// skipped and counted in `damaged`.
std::vector<PendingRecord> parse(const std::string& text, size_t* damaged = nullptr);
std::string format(const std::vector<PendingRecord>& records);

// Adds the record to the journal, under its lock and through the safe
// writer; a record of the same level kept before with as few moves or fewer
// makes it needless.
files::Outcome keep(const PendingRecord& record);
// Takes the record out again (it reached its table after all).
void forget(const PendingRecord& record);

// What applying the journal did, a line of words for each record it
// touched, and whether any record still waits for a busy table.
struct Applied {
    std::vector<std::string> said;
    bool waiting = false;
};
// Writes one kept record into its table, by the rules of a win, waiting up
// to the milliseconds given for a busy one (Unreadable, with a reason, for
// a pack key that names no pack).
using Recorder = std::function<WinRecord(const PendingRecord& record, int patienceMs)>;
// Writes each kept record into its table. Records written, not better than
// the table's, or without a readable table leave the journal; those whose
// table is busy or could not be written stay.
Applied apply(const Recorder& record, int patienceMs);

}  // namespace pending
