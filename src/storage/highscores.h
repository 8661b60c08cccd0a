// The high-score table as the level chooser reads it, and a win recorded in it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "rules/background_task.h"
#include "storage/pending_records.h"

// The shipped set's table; a pack keeps its own beside its levels.
constexpr const char* kShippedTable = "highscores.dat";

// Each level's record (its first entry in the table), as far as the table
// can be read; a missing table gives none. Negative counts are no real
// result and are left out.
std::map<int32_t, int32_t> readRecords(const std::string& table = kShippedTable);

// What a win did to the table. NotBeaten: the table's record (`record`) is
// as good or better; Unreadable: the table is missing or damaged and was left
// as it is; NotSaved: the new record could not be written (`reason` says why);
// Busy: another game held the table's lock all the while, nothing was read.
struct WinRecord {
    enum Outcome { NewRecord, NotBeaten, Unreadable, NotSaved, Busy };
    Outcome outcome = Unreadable;
    int32_t record = -1;
    std::string reason;
};

// Records `moves` for `level` when it beats the table's record, under the
// table's lock so that two games never lose each other's records; waits for
// the lock up to `patienceMs`.
// `withNewRecord` runs when the record was written, the table still locked
// (what goes with a record, such as the way it was won, is kept with it).
WinRecord recordWin(const std::string& table, int32_t level, int32_t moves, int patienceMs = 3000,
                    const std::function<void()>& withNewRecord = nullptr);
inline WinRecord recordWin(int32_t level, int32_t moves, int patienceMs = 3000) {
    return recordWin(kShippedTable, level, moves, patienceMs);
}

// Records one win in the background, waiting as long as it lives for a
// table another program holds (one stopped in the middle of a save, say), so
// that the won screen never freezes and a busy table is never taken for a
// damaged one. A win that finds the table busy is kept at once in the
// journal of pending records, so that closing the game (or a kill) never
// loses it; it leaves the journal again once it reaches the table.
class RecordKeeper {
public:
    // `withNewRecord`: see recordWin (a win that waits in the journal keeps none).
    RecordKeeper(std::string table, PendingRecord win, std::function<void()> withNewRecord = nullptr);
    // A win whose outcome is known without trying (a table that may not be written).
    explicit RecordKeeper(WinRecord known);
    // The journal's records, written into their tables as soon as these are
    // free (see pending::apply).
    explicit RecordKeeper(pending::Recorder record);
    ~RecordKeeper() { stop(); }
    RecordKeeper(const RecordKeeper&) = delete;
    RecordKeeper& operator=(const RecordKeeper&) = delete;

    // Stops waiting, at once: a win not yet in its table is then in the
    // journal (see kept), and done() gives Busy.
    void stop();
    // True while the win is not yet recorded.
    bool pending() const;
    // True once over, with what happened in `out`.
    bool done(WinRecord& out) const;
    // True once a first try met a busy table (the won screen may say that
    // the record is waiting for it).
    bool waiting() const;
    // Whether the waiting win is safe in the journal; when not, why.
    bool kept(std::string& reason) const;

    const std::string table;
    const PendingRecord win;  // (none for the journal's keeper)

private:
    // One try, given how long it may wait for the table's lock.
    using Attempt = std::function<WinRecord(int tryMs)>;
    void start(Attempt attempt);
    void run(const Attempt& attempt);

    mutable std::mutex mutex_;
    bool finished_ = false, waiting_ = false, kept_ = false;
    std::string keptReason_;
    WinRecord result_;
    BackgroundTask task_;
};
