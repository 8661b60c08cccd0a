// The table of fewest moves per level, "highscores.dat": pairs of decimal
// integers (level, moves), one pair a line. Written only in ways that leave
// the old table whole if anything fails.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "storage/files.h"
#include "storage/highscores.h"

namespace {

// A table of every level ever made is a few kilobytes; anything past this is
// not a table (a device, say) and is not read to its end.
const size_t kLargestTable = 16u << 20;

// One number of the table and where its text lies in the file.
struct Number {
    int32_t value;
    size_t begin, end;
};

struct Table {
    std::vector<Number> numbers;  // level, moves, level, moves, ...
    bool wellFormed = true;       // every token a number, and an even count
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Reads the numbers up to the first one that is not a 32-bit decimal
// integer; the pairs before it are the usable part of the table.
Table parseTable(const std::string& text) {
    Table table;
    size_t i = 0;
    while (true) {
        while (i < text.size() && isSpace(text[i])) ++i;
        if (i == text.size()) break;
        size_t begin = i;
        if (text[i] == '+' || text[i] == '-') ++i;
        size_t digits = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        bool isNumber = i > digits && (i == text.size() || isSpace(text[i]));
        long long value = 0;
        if (isNumber) {
            errno = 0;
            value = std::strtoll(text.c_str() + begin, nullptr, 10);
            isNumber = errno == 0 && value >= INT32_MIN && value <= INT32_MAX;
        }
        if (!isNumber) {
            table.wellFormed = false;
            break;
        }
        table.numbers.push_back({static_cast<int32_t>(value), begin, i});
    }
    if (table.numbers.size() % 2 != 0) {
        // A lone number at the end is no entry; it is never used.
        table.wellFormed = false;
        table.numbers.pop_back();
    }
    return table;
}

// Adds one entry at the end. The longer table is written whole and renamed
// into place: appending in place would leave half a line (a wrong record,
// such as "3 1" for "3 17") if the game were killed in the middle.
std::string withEntry(const std::string& old, int32_t level, int32_t moves) {
    // Follow the file's own line ends; a new file gets the usual CR LF.
    bool bareLf = old.find('\n') != std::string::npos && old.find("\r\n") == std::string::npos;
    const char* lineEnd = bareLf ? "\n" : "\r\n";
    std::string line;
    // A last line without its line break must not run into the new one.
    if (!old.empty() && !isSpace(old.back())) line += lineEnd;
    line += std::to_string(level) + " " + std::to_string(moves) + lineEnd;
    return old + line;
}

}  // namespace

std::map<int32_t, int32_t> readRecords(const std::string& tablePath) {
    std::map<int32_t, int32_t> records;
    std::string text;
    // A table too large to be real is unreadable, as it is for a win.
    if (!files::readRegular(tablePath, kLargestTable + 1, text) || text.size() > kLargestTable) return records;
    const Table table = parseTable(text);
    for (size_t i = 0; i + 1 < table.numbers.size(); i += 2)
        records.emplace(table.numbers[i].value, table.numbers[i + 1].value);  // the first entry counts
    for (auto it = records.begin(); it != records.end();) it = it->second < 0 ? records.erase(it) : std::next(it);
    return records;
}

WinRecord recordWin(const std::string& tablePath, int32_t level, int32_t moves, int patienceMs,
                    const std::function<void()>& withNewRecord) {
    WinRecord out;
    // Locked from the reading to the renaming of the new table, so that a
    // second game in this directory cannot slip its own change in between
    // and have one of the two lost.
    files::LockedFile locked;
    std::string text;
    const bool opened = static_cast<bool>(locked.lock(tablePath, patienceMs));
    if (!opened && locked.busy()) {
        out.outcome = WinRecord::Busy;  // says nothing about the table itself
        return out;
    }
    bool readable = opened && locked.read(kLargestTable + 1, text) && text.size() <= kLargestTable;
    Table table = parseTable(text);
    // A table that cannot be read to its end is not to be trusted for a
    // record, nor rewritten (what follows the damage would be lost): it is
    // treated as missing, and kept as it is.
    if (!readable || !table.wellFormed) {
        out.outcome = WinRecord::Unreadable;
        return out;
    }

    // The first entry of the level is its record.
    bool found = false;
    int32_t stored = 0;
    for (size_t i = 0; i + 1 < table.numbers.size(); i += 2) {
        if (table.numbers[i].value == level) {
            found = true;
            stored = table.numbers[i + 1].value;
            break;
        }
    }
    // A negative count cannot be a real result; any solution beats it.
    if (found && stored <= moves && stored >= 0) {
        out.outcome = WinRecord::NotBeaten;
        out.record = stored;
        return out;
    }

    std::string updated;
    if (!found) {
        updated = withEntry(text, level, moves);
    } else {
        // Every entry of the level gets the new count; all other text stays
        // byte for byte as it was.
        size_t copied = 0;
        std::string count = std::to_string(moves);
        for (size_t i = 0; i + 1 < table.numbers.size(); i += 2) {
            if (table.numbers[i].value != level) continue;
            const Number& n = table.numbers[i + 1];
            updated.append(text, copied, n.begin - copied);
            updated += count;
            copied = n.end;
        }
        updated.append(text, copied, std::string::npos);
    }
    files::Outcome saved = files::writeReplacing(tablePath, updated);
    if (saved) {
        out.outcome = WinRecord::NewRecord;
        if (withNewRecord) withNewRecord();
    } else {
        out.outcome = WinRecord::NotSaved;
        out.reason = saved.reason;
    }
    return out;
}

RecordKeeper::RecordKeeper(std::string t, PendingRecord w, std::function<void()> withNewRecord)
    : table(std::move(t)), win(std::move(w)) {
    start([this, withNewRecord](int tryMs) {
        WinRecord r = recordWin(table, win.level, win.moves, tryMs, withNewRecord);
        // Only this thread writes kept_; the files are touched without the
        // lock, so that the won screen never waits on them.
        if (r.outcome == WinRecord::Busy && !kept_) {
            // Kept before anything else: a close or a kill from now on loses nothing.
            const files::Outcome k = pending::keep(win);
            std::lock_guard<std::mutex> hold(mutex_);
            kept_ = k.ok;
            keptReason_ = k.reason;
        } else if (r.outcome != WinRecord::Busy && r.outcome != WinRecord::NotSaved && kept_) {
            // In the table now (or, the table damaged, never to be): the journal has done its work.
            pending::forget(win);
            std::lock_guard<std::mutex> hold(mutex_);
            kept_ = false;
        }
        return r;
    });
}

RecordKeeper::RecordKeeper(WinRecord known) : finished_(true), result_(std::move(known)) {}

RecordKeeper::RecordKeeper(pending::Recorder record) {
    start([record](int tryMs) {
        WinRecord r;
        r.outcome = pending::apply(record, tryMs).waiting ? WinRecord::Busy : WinRecord::NewRecord;
        return r;
    });
}

void RecordKeeper::start(Attempt attempt) {
    if (!task_.start([this, attempt](const std::atomic<bool>&) { run(attempt); })) {
        // No thread: one try, here; a busy table leaves the win in the journal.
        const WinRecord r = attempt(0);
        std::lock_guard<std::mutex> hold(mutex_);
        result_ = r;
        finished_ = true;
    }
}

void RecordKeeper::stop() {
    task_.cancel();
    task_.join();
}

void RecordKeeper::run(const Attempt& attempt) {
    // Short tries with pauses between, so that a stop is heard within a
    // quarter of a second.
    const std::chrono::milliseconds kTry(250);
    WinRecord r = attempt(static_cast<int>(kTry.count()));
    while (r.outcome == WinRecord::Busy) {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            waiting_ = true;
        }
        if (task_.pause(kTry)) break;
        r = attempt(static_cast<int>(kTry.count()));
    }
    std::lock_guard<std::mutex> hold(mutex_);
    result_ = r;
    finished_ = true;
}

bool RecordKeeper::pending() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return !finished_;
}

bool RecordKeeper::done(WinRecord& out) const {
    std::lock_guard<std::mutex> hold(mutex_);
    if (finished_) out = result_;
    return finished_;
}

bool RecordKeeper::waiting() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return waiting_;
}

bool RecordKeeper::kept(std::string& reason) const {
    std::lock_guard<std::mutex> hold(mutex_);
    reason = keptReason_;
    return kept_;
}
