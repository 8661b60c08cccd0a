// Everything about the levels on disk, pack by pack: which packs there are
// and their titles, the levels of a pack (every file there is, in number
// order), the next level, reading and saving a level, the records and the
// files behind them. The shipped set is "levels/N.lvl" with "highscores.dat";
// a pack is a folder "packs/<folder>/" of N.lvl files with its own
// "highscores.dat" and, in the first line of "pack.txt", its title. Screens
// ask here and never name a file themselves. All paths are relative to the
// game directory (the working directory).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "rules/rules.h"
#include "session/level_ref.h"
#include "storage/files.h"
#include "storage/highscores.h"

struct Level;

// One level file as listed: its number, and its title and starting position
// when it could be read (a file that does not place the dog or bone starts
// with them nowhere, so the solver gives "?").
struct ListedLevel {
    int32_t number = 0;
    std::string title;
    bool readable = false;
    RuleState start;
};

namespace catalogue {

struct Pack {
    std::string folder;  // "" for the shipped set
    std::string title;
};

// At most this many levels of a pack are listed (the lowest numbers), and
// at most this many packs.
constexpr std::size_t kMostLevels = 999;
constexpr std::size_t kMostPacks = 5000;
// A pack's title is cut to this many bytes (at a character's start).
constexpr std::size_t kLongestTitle = 60;
// The shipped set's title beside the packs'.
extern const char* const kShippedTitle;

// Whether a folder's name can name a pack: not hidden, no separator, no
// control character (the name is written into one-line text files).
bool usableFolder(const std::string& folder);

// The shipped set first, then every folder of "packs/" holding at least one
// level file, by name. A pack folder that is a link is not one: a pack
// never reaches outside "packs/".
std::vector<Pack> packs();
// The pack's title: the first line of its pack.txt, or the folder's name
// when that is missing, empty, not text or not a file.
std::string title(const std::string& pack);

// "levels" or "packs/<folder>": where the pack's levels are.
std::string folderPath(const std::string& pack);
// "levels/7.lvl", "packs/deep/7.lvl".
std::string levelPath(const LevelRef& level);
// The pack's high-score table: "highscores.dat" or "packs/<folder>/highscores.dat".
std::string tablePath(const std::string& pack);

// Every level file of the pack in number order, gaps and all (positive
// numbers written as the game writes them: "7.lvl", not "07.lvl").
std::vector<int32_t> numbers(const std::string& pack);
// The same, each read for the chooser and the finale.
std::vector<ListedLevel> listLevels(const std::string& pack);
// Whether anything stands at the level's path.
bool exists(const LevelRef& level);
// The level after a win: number + 1 in the same pack, when its file is there.
bool next(const LevelRef& won, LevelRef& after);

// Reads a level to play over `level` (see readPlayableLevel); false,
// changing nothing, when there is none to play.
bool readPlayable(const LevelRef& ref, Level& level);
// Reads whatever of the file can be read, for the editor.
bool readForEditing(const LevelRef& ref, Level& level);
// Saves the level as its file. Nothing is written through a link in a pack,
// nor outside it.
files::Outcome save(const LevelRef& ref, const Level& level);
// FNV-1a of the level file's bytes (see levelChecksum); empty when it
// cannot be read.
std::string checksum(const LevelRef& ref);

// The pack's records, level by level, as far as its table can be read.
std::map<int32_t, int32_t> records(const std::string& pack);
// Records a win in the pack's table in the background (see RecordKeeper).
// A pack without a table gets an empty one first; a table that is a link is
// never written.
// `moveLog` (letters) is kept in replays.txt when the win is a new record,
// under the table's lock.
std::unique_ptr<RecordKeeper> keepRecord(const LevelRef& level, int32_t moves, const std::string& moveLog = "");
// The same at once, for tools, tests and the journal (whose record brings
// the way it was won, kept in replays.txt by the same rule).
WinRecord recordWin(const LevelRef& level, int32_t moves, int patienceMs = 3000, const std::string& checksum = "",
                    const std::string& moveLog = "");

}  // namespace catalogue
