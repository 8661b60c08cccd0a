#include "session/catalogue.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include "rules/tiles.h"
#include "storage/level.h"
#include "storage/level_file.h"
#include "storage/replays.h"

namespace catalogue {

const char* const kShippedTitle = "Tunnelwick";

namespace {

const char* const kPacks = "packs";
// Only the start of pack.txt is read: its first line is all that counts.
const std::size_t kTitleBytes = 4096;
// A level file is read no further than this (as storage reads a level).
const std::size_t kLargestLevel = 64 * 1024;

// "12.lvl" gives 12; anything else (including "012.lvl", "0.lvl" and numbers
// past 32 bits) gives 0.
int32_t numberOf(const char* name) {
    const std::size_t n = std::strlen(name);
    if (n < 5 || n > 14 || std::strcmp(name + n - 4, ".lvl") != 0 || name[0] < '1' || name[0] > '9') return 0;
    long long value = 0;
    for (std::size_t i = 0; i + 4 < n; ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        value = value * 10 + (name[i] - '0');
    }
    return value <= INT32_MAX ? static_cast<int32_t>(value) : 0;
}

// A pack's folder is a real folder inside "packs/", never a link out of it.
bool packFolderIsReal(const std::string& pack) {
    struct stat st;
    return usableFolder(pack) && lstat(folderPath(pack).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Whether the level's file may be written: the shipped set's as it always
// was; a pack's only inside its own real folder and never through a link.
files::Outcome mayWrite(const std::string& pack, const std::string& path) {
    if (pack.empty()) return {};
    if (!packFolderIsReal(pack)) return {false, folderPath(pack) + " is not a pack folder"};
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return {false, path + " is a link: nothing is written through it"};
    return {};
}

// Whether the bytes are UTF-8 text without control characters.
bool printableText(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 99;
        if (c < 32 || c == 127 || more == 99 || (more == 1 && c < 0xc2) || i + more >= s.size()) return false;
        for (std::size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += more + 1;
    }
    return true;
}

// The text cut to at most `most` bytes, never inside a character.
std::string cutAt(std::string s, std::size_t most) {
    if (s.size() <= most) return s;
    std::size_t end = most;
    while (end > 0 && (static_cast<unsigned char>(s[end]) >> 6) == 2) --end;
    s.resize(end);
    return s;
}

// Calls `each` with the number of every level file in the folder; stops
// when it returns false.
template <class Each> void eachLevelFile(const std::string& folder, Each each) {
    DIR* d = opendir(folder.c_str());
    if (!d) return;
    while (struct dirent* entry = readdir(d)) {
        const int32_t n = numberOf(entry->d_name);
        if (n > 0 && !each(n)) break;
    }
    closedir(d);
}

}  // namespace

bool usableFolder(const std::string& folder) {
    if (folder.empty() || folder[0] == '.') return false;
    for (unsigned char c : folder)
        if (c < 32 || c == 127 || c == '/' || c == '\\') return false;
    return true;
}

std::vector<Pack> packs() {
    std::vector<Pack> found = {{"", kShippedTitle}};
    std::vector<std::string> folders;
    DIR* d = opendir(kPacks);
    if (d) {
        while (struct dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (!packFolderIsReal(name)) continue;
            bool hasLevel = false;
            eachLevelFile(folderPath(name), [&](int32_t) { return !(hasLevel = true); });
            if (hasLevel) folders.push_back(name);
        }
        closedir(d);
    }
    std::sort(folders.begin(), folders.end());
    if (folders.size() > kMostPacks) folders.resize(kMostPacks);
    for (const std::string& folder : folders) found.push_back({folder, title(folder)});
    return found;
}

std::string title(const std::string& pack) {
    if (pack.empty()) return kShippedTitle;
    std::string bytes;
    if (!files::readRegular(folderPath(pack) + "/pack.txt", kTitleBytes, bytes)) return pack;
    std::string line = bytes.substr(0, bytes.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t first = line.find_first_not_of(' '), last = line.find_last_not_of(' ');
    line = first == std::string::npos ? "" : line.substr(first, last - first + 1);
    // A file of noise, a picture saved by mistake or an empty line names nothing.
    if (line.empty() || !printableText(line)) return pack;
    return cutAt(line, kLongestTitle);
}

std::string folderPath(const std::string& pack) { return pack.empty() ? "levels" : std::string(kPacks) + "/" + pack; }

std::string levelPath(const LevelRef& level) {
    return folderPath(level.pack) + "/" + std::to_string(level.number) + ".lvl";
}

std::string tablePath(const std::string& pack) {
    return pack.empty() ? std::string(kShippedTable) : folderPath(pack) + "/" + kShippedTable;
}

std::vector<int32_t> numbers(const std::string& pack) {
    std::vector<int32_t> found;
    if (!pack.empty() && !packFolderIsReal(pack)) return found;
    eachLevelFile(folderPath(pack), [&](int32_t n) {
        found.push_back(n);
        return true;
    });
    std::sort(found.begin(), found.end());
    if (found.size() > kMostLevels) found.resize(kMostLevels);
    return found;
}

std::vector<ListedLevel> listLevels(const std::string& pack) {
    // The blank layout with the dog and the bone nowhere.
    Level unplaced;
    for (int r = 0; r < Level::kRows; ++r)
        for (int c = 0; c < Level::kColumns; ++c) unplaced.cells[r][c] = r == 0 ? SkyTop : r == 1 ? SkyBottom : Dirt;
    unplaced.dogColumn = unplaced.dogRow = unplaced.boneColumn = unplaced.boneRow = -1;
    std::vector<ListedLevel> levels;
    for (int32_t number : numbers(pack)) {
        Level level = unplaced;
        ListedLevel listed;
        listed.number = number;
        listed.readable = readPlayable({pack, number}, level);
        if (listed.readable) listed.title = level.title;
        placeLevel(listed.readable ? level : unplaced, listed.start);
        levels.push_back(std::move(listed));
    }
    return levels;
}

bool exists(const LevelRef& level) {
    if (!level.shipped() && !packFolderIsReal(level.pack)) return false;
    return levelFileExists(levelPath(level));
}

bool next(const LevelRef& won, LevelRef& after) {
    // The highest number there is has no level after it.
    if (won.number >= INT32_MAX) return false;
    const LevelRef candidate{won.pack, won.number + 1};
    if (!exists(candidate)) return false;
    after = candidate;
    return true;
}

bool readPlayable(const LevelRef& ref, Level& level) {
    if (!ref.shipped() && !packFolderIsReal(ref.pack)) return false;
    return readPlayableLevel(levelPath(ref), level);
}

bool readForEditing(const LevelRef& ref, Level& level) {
    if (!ref.shipped() && !packFolderIsReal(ref.pack)) return false;
    return readLevelFile(levelPath(ref), level);
}

files::Outcome save(const LevelRef& ref, const Level& level) {
    const std::string path = levelPath(ref);
    const files::Outcome allowed = mayWrite(ref.pack, path);
    if (!allowed) return allowed;
    return writeLevelFile(path, level);
}

std::string checksum(const LevelRef& ref) {
    std::string bytes;
    if (!ref.shipped() && !packFolderIsReal(ref.pack)) return "";
    if (!files::readRegular(levelPath(ref), kLargestLevel + 1, bytes) || bytes.size() > kLargestLevel) return "";
    return levelChecksum(bytes);
}

std::map<int32_t, int32_t> records(const std::string& pack) {
    if (!pack.empty() && !packFolderIsReal(pack)) return {};
    return readRecords(tablePath(pack));
}

namespace {

// Whether the pack's table may be written, made empty first when a pack has
// none (a pack copied from a friend comes without one); `why` is the
// outcome to report when not.
bool tableReady(const std::string& pack, WinRecord& why) {
    if (pack.empty()) return true;  // the shipped table is as it always was
    const std::string path = tablePath(pack);
    files::Outcome allowed = mayWrite(pack, path);
    if (allowed) allowed = files::createEmpty(path);
    if (allowed) return true;
    why.outcome = WinRecord::NotSaved;
    why.reason = allowed.reason;
    return false;
}

}  // namespace

std::unique_ptr<RecordKeeper> keepRecord(const LevelRef& level, int32_t moves, const std::string& moveLog) {
    WinRecord refused;
    if (!tableReady(level.pack, refused)) return std::unique_ptr<RecordKeeper>(new RecordKeeper(refused));
    std::function<void()> keepWay;
    const std::string sum = moveLog.empty() ? "" : checksum(level);
    PendingRecord win{packKey(level.pack), level.number, moves};
    if (!sum.empty()) {
        const Replay way{win.pack, level.number, sum, moveLog};
        // A replay that cannot be kept costs the record nothing.
        keepWay = [way] { replays::keep(way); };
        // A win left waiting in the journal takes its way with it.
        win.checksum = sum, win.way = moveLog;
    }
    return std::unique_ptr<RecordKeeper>(new RecordKeeper(tablePath(level.pack), win, keepWay));
}

WinRecord recordWin(const LevelRef& level, int32_t moves, int patienceMs, const std::string& sum,
                    const std::string& moveLog) {
    WinRecord refused;
    if (!tableReady(level.pack, refused)) return refused;
    std::function<void()> keepWay;
    // Only a way made on the level as it is now: a changed file's would replace a good one with a stale one.
    if (!moveLog.empty() && !sum.empty() && checksum(level) == sum) {
        const Replay way{packKey(level.pack), level.number, sum, moveLog};
        keepWay = [way] { replays::keep(way); };
    }
    return ::recordWin(tablePath(level.pack), level.number, moves, patienceMs, keepWay);
}

}  // namespace catalogue
