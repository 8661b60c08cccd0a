#include "storage/pending_records.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "storage/highscores.h"

namespace pending {

const char* const kJournalPath = "pending-records.txt";

namespace {

// A record is a line of some twenty bytes; a journal past this is no journal
// of this game's and is neither read nor rewritten.
const size_t kLargestJournal = 1u << 20;
// The journal is held for a moment at a time; another game's hold is waited for.
const int kJournalPatienceMs = 2000;

bool number(const std::string& text, long long low, int32_t& out) {
    if (text.empty() || text.size() > 11) return false;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size() || text.find_first_not_of("0123456789", i) != std::string::npos) return false;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || v < low || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

std::string describe(const PendingRecord& r) {
    return r.pack + " level " + std::to_string(r.level) + " in " + std::to_string(r.moves) +
           (r.moves == 1 ? " move" : " moves");
}

// The journal as it stands; false when it is too large to be one (then it is left alone).
bool readJournal(files::LockedFile& held, std::vector<PendingRecord>& records, size_t& damaged) {
    std::string text;
    if (!held.read(kLargestJournal + 1, text) || text.size() > kLargestJournal) return false;
    records = parse(text, &damaged);
    return true;
}

// The journal replaced by `records`; an empty one is removed.
files::Outcome writeJournal(const std::vector<PendingRecord>& records) {
    if (records.empty()) {
        if (unlink(kJournalPath) == 0 || errno == ENOENT) return {};
    }
    return files::writeReplacing(kJournalPath, format(records));
}

}  // namespace

std::vector<PendingRecord> parse(const std::string& text, size_t* damaged) {
    std::vector<PendingRecord> out;
    size_t bad = 0, start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        // A last line without its break may be a write cut short ("1" of "17"): never used.
        if (end == std::string::npos) {
            ++bad;
            break;
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<std::string> field;
        for (size_t at = 0;;) {
            const size_t tab = line.find('\t', at);
            field.push_back(line.substr(at, tab == std::string::npos ? tab : tab - at));
            if (tab == std::string::npos) break;
            at = tab + 1;
        }
        PendingRecord r;
        // Three fields, or five with the way: a checksum and at least one move.
        const bool withWay = field.size() == 5 && field[3].size() == 16 &&
                             field[3].find_first_not_of("0123456789abcdef") == std::string::npos && !field[4].empty() &&
                             field[4].find_first_not_of("UDLR") == std::string::npos;
        if ((field.size() != 3 && !withWay) || field[0].empty() || !number(field[1], INT32_MIN, r.level) ||
            !number(field[2], 0, r.moves)) {
            ++bad;
            continue;
        }
        r.pack = field[0];
        if (withWay) r.checksum = field[3], r.way = field[4];
        out.push_back(r);
    }
    if (damaged) *damaged = bad;
    return out;
}

std::string format(const std::vector<PendingRecord>& records) {
    std::string text;
    for (const PendingRecord& r : records)
        text += r.pack + "\t" + std::to_string(r.level) + "\t" + std::to_string(r.moves) +
                (r.way.empty() ? "" : "\t" + r.checksum + "\t" + r.way) + "\n";
    return text;
}

files::Outcome keep(const PendingRecord& record) {
    files::LockedFile held;
    files::Outcome locked = held.lock(kJournalPath, kJournalPatienceMs, true);
    if (!locked) return locked;
    std::vector<PendingRecord> records;
    size_t damaged = 0;
    if (!readJournal(held, records, damaged)) return {false, std::string(kJournalPath) + " is too large"};
    for (PendingRecord& r : records) {
        if (r.pack != record.pack || r.level != record.level) continue;
        if (r.moves <= record.moves) return {};
        r = record;
        return writeJournal(records);
    }
    records.push_back(record);
    return writeJournal(records);
}

void forget(const PendingRecord& record) {
    files::LockedFile held;
    std::vector<PendingRecord> records;
    size_t damaged = 0;
    if (!held.lock(kJournalPath, kJournalPatienceMs) || !readJournal(held, records, damaged)) return;
    const size_t before = records.size();
    for (auto it = records.begin(); it != records.end();) it = *it == record ? records.erase(it) : it + 1;
    if (records.size() != before) writeJournal(records);
}

Applied apply(const Recorder& record, int patienceMs) {
    Applied out;
    files::LockedFile held;
    const files::Outcome locked = held.lock(kJournalPath, kJournalPatienceMs);
    if (!locked) {
        // None kept (the usual case), or a journal that is no file: nothing is read from it.
        if (locked.reason != std::strerror(ENOENT))
            out.said.push_back(std::string(kJournalPath) + " could not be read: " + locked.reason);
        return out;
    }
    std::vector<PendingRecord> records, left;
    size_t damaged = 0;
    if (!readJournal(held, records, damaged)) {
        out.said.push_back(std::string(kJournalPath) + " is too large to be a list of records: left as it is");
        return out;
    }
    if (damaged)
        out.said.push_back(std::string(kJournalPath) + ": " + std::to_string(damaged) +
                           (damaged == 1 ? " damaged line" : " damaged lines") + " left out");
    for (const PendingRecord& r : records) {
        const WinRecord w = record(r, patienceMs);
        switch (w.outcome) {
        case WinRecord::NewRecord: out.said.push_back("A kept record is in its table now: " + describe(r)); break;
        case WinRecord::NotBeaten: break;  // the table has as good a record already
        case WinRecord::Unreadable:
            out.said.push_back("A kept record was left out (" + (w.reason.empty() ? "its table could not be read" : w.reason) +
                               "): " + describe(r));
            break;
        case WinRecord::NotSaved:
            out.said.push_back("A kept record still waits (its table could not be written: " + w.reason +
                               "): " + describe(r));
            left.push_back(r);
            break;
        case WinRecord::Busy:
            out.waiting = true;
            left.push_back(r);
            break;
        }
    }
    if (out.waiting)
        out.said.push_back("Another program holds a record table: " + std::to_string(left.size()) +
                           (left.size() == 1 ? " record waits" : " records wait") + " in " + kJournalPath);
    if (left.size() != records.size() || damaged) {
        const files::Outcome written = writeJournal(left);
        if (!written) out.said.push_back(std::string(kJournalPath) + " could not be rewritten: " + written.reason);
    }
    return out;
}

}  // namespace pending
