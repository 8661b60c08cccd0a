// The game's record without a window: the board being played or edited,
// its level number, title and file, the level in play, and what the editor
// does to the board. Screens drive it with calls and read its fields; it
// knows nothing of keys, pictures or sound.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "rules/rules.h"
#include "session/catalogue.h"
#include "session/level_ref.h"
#include "session/play.h"
#include "session/progress.h"
#include "session/rule_notes.h"

class Session {
public:
    // `onAnswer` wakes the main loop when the advisor has news (any thread).
    explicit Session(std::function<void()> onAnswer = nullptr);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    RuleState rules;
    std::string title;
    // The level: its pack ("" the shipped set) and number. The editor saves
    // into this pack, and the next level after a win is in it too.
    std::string pack;
    int32_t number = 1;
    LevelRef level() const { return {pack, number}; }
    // The level file the board was last loaded from or saved to (0: none),
    // and whether the board or its number changed since. An edited board
    // keeps no record, and S asks before it replaces a file.
    int32_t boardFile = 0;
    bool boardEdited = false;
    // The level of `number` could not be read: there is nothing to play.
    bool unreadable = false;
    Play play;
    // The rules told the first time they happen in play.
    RuleNotes notes;

    // --- levels ------------------------------------------------------------
    // Loads and begins a level. When it cannot be read, the board is blank,
    // the level is marked unreadable, and false comes back.
    bool loadLevel(const LevelRef& level);
    // Level n of the pack being played.
    bool loadLevel(int32_t n) { return loadLevel(LevelRef{pack, n}); }
    // The level again from its file.
    void restartLevel();
    // "levels/N.lvl could not be read" for the current level.
    std::string unreadableText() const;
    // Whether the player may move on this board now.
    bool playable() const { return !unreadable; }

    // The level file's checksum when it was loaded ("" when it could not be read).
    std::string checksum;

    // --- the level in progress across a restart ----------------------------
    // Opens the level left at the last quit, its moves played again with
    // their undo history (progress.txt); else level 1. `note` says what could
    // not be used, and why ("" when there is nothing to say).
    void resumeProgress(std::string& note);
    // Keeps the level in play and its moves in progress.txt when they
    // changed: at once when the last write is a second old or `now` is set,
    // else on a later call. False when a write failed, with `reason`.
    bool keepProgress(unsigned long nowMs, bool now, std::string& reason);

    // --- winning -----------------------------------------------------------
    // Records a win of the board being played: the table is written in the
    // background, waiting while another game holds it, and the keeper says
    // when it is done (it lives as long as the session, so a record is not
    // dropped when the won screen goes). Null for an edited or unreadable
    // board, which keeps no record.
    const RecordKeeper* recordWin();
    // The fewest moves of each level won in this game, kept or not (the
    // table may still be waiting to be written).
    const std::map<LevelRef, int32_t>& wins() const { return wins_; }
    // The same for one pack, by number.
    std::map<int32_t, int32_t> winsIn(const std::string& pack) const;
    // Records kept from an earlier game while their table was busy: written
    // now where the table is free, and in the background as soon as the
    // others are. What happened, a line each, for standard error.
    std::vector<std::string> applyPendingRecords();
    // A win of this game still waits for its table.
    bool recordsWaiting() const;
    // Stops the waiting (the game closes): what became of each win that
    // waited, a line each, for standard error.
    std::vector<std::string> letRecordsGo();
    // One kept record written into its pack's table, as a win is; a pack key
    // naming no pack folder there is gives Unreadable.
    static WinRecord recordKept(const PendingRecord& record, int patienceMs);

    // --- the editor --------------------------------------------------------
    // Mode 0: sky, ground line and plain dirt. Mode 1: the editor's random
    // board. rand() is drawn in a fixed order so that a seeded run is repeatable.
    void resetBoard(int mode);
    // The editor opens on a random board, untitled, under the current number.
    void openEditor();
    // E: a blank board, a new level under the current number.
    void blankBoard();
    // A click with a brush (a tile code, or the dog or bone picture slot).
    // False when the cell is off the board.
    bool paint(int32_t column, int32_t row, int32_t brush);
    void setTitle(const std::string& text) { title = text; }
    void setNumber(int32_t n);
    // S would replace a file that holds another board than this one.
    bool saveNeedsQuestion() const;
    // Where S saves: the number's file in the pack being played.
    std::string filePath() const { return catalogue::levelPath(level()); }
    // Saves the board as its number's file; on failure `reason` says why.
    bool save(std::string& reason);
    // L: the current number's file again; false (nothing changes) when it
    // cannot be read.
    bool reload();
    // V: the board as edited, as the player would start on it.
    RuleState boardToCheck() const;

private:
    void begin();
    // What progress.txt should say now; false when nothing is to be kept
    // (an edited board, an unreadable level).
    bool progressNow(Progress& p) const;
    bool won_ = false;          // the level in play was won
    std::string progressKept_;  // what progress.txt was last written with
    unsigned long progressAt_ = 0;
    bool progressWritten_ = false;
    std::vector<std::unique_ptr<RecordKeeper>> keepers_;
    std::unique_ptr<RecordKeeper> journal_;
    std::map<LevelRef, int32_t> wins_;
};
