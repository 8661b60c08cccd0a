#include "session/session.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "rules/tiles.h"
#include "session/catalogue.h"
#include "session/move_log.h"
#include "storage/level.h"

Session::Session(std::function<void()> onAnswer) : play(rules, std::move(onAnswer)) {
    play.watchTicks([this](const RuleState& before, const RuleState& after) { notes.tick(before, after); });
}

void Session::resetBoard(int mode) {
    rules.rockFalling = false;
    rules.moveCount = 0;
    rules.stopStep();
    for (int32_t r = 0; r < RuleState::boardHeight; ++r)
        for (int32_t c = 0; c < RuleState::boardWidth; ++c) {
            // In mode 1 rows 0 and 1 draw too, though they are overwritten below.
            if (mode == 0)
                rules.board[r][c] = Dirt;
            else
                rules.board[r][c] = (std::rand() % 4 == 0) ? Rock : Dirt;
        }
    for (int32_t c = 0; c < RuleState::boardWidth; ++c) {
        rules.board[0][c] = SkyTop;
        rules.board[1][c] = SkyBottom;
    }
    rules.dogColumn = std::rand() % RuleState::boardWidth;
    rules.dogRow = 1;
    rules.boneColumn = std::rand() % RuleState::boardWidth;
    // The blank layout keeps the bone out of the first dirt row.
    if (mode == 0)
        rules.boneRow = std::rand() % (RuleState::boardHeight - 3) + 3;
    else
        rules.boneRow = std::rand() % (RuleState::boardHeight - 2) + 2;
    rules.beginTick();
}

void Session::begin() {
    const std::map<int32_t, int32_t> records = catalogue::records(pack);
    const auto found = records.find(number);
    const bool recorded = !boardEdited && !unreadable && found != records.end();
    won_ = false;
    play.begin(recorded ? found->second : fewest::kNotKnown);
}

void Session::resumeProgress(std::string& note) {
    note.clear();
    Progress kept;
    std::string reason;
    const progress::Found found = progress::read(kept, reason);
    if (found == progress::Found::Unusable)
        note = "Your place in the game could not be read (\"progress.txt\": " + reason + "), so play starts afresh.";
    Progress now;
    if (found != progress::Found::Kept) {
        // Nothing to keep until the player moves: a damaged file is rewritten only with a game's content.
        loadLevel(LevelRef{"", 1});
        if (progressNow(now)) progressKept_ = progress::format(now);
        return;
    }
    std::vector<int32_t> moves;
    moveLog::fromText(kept.moves, moves);
    const std::string where =
        "Level " + std::to_string(kept.level.number) + (kept.level.shipped() ? "" : " of " + packKey(kept.level.pack));
    if (!loadLevel(kept.level)) {
        note = where + ", where you left off, could not be read, so play starts afresh.";
        loadLevel(LevelRef{"", 1});
    } else if (checksum != kept.checksum) {
        if (!moves.empty()) note = where + " has changed since you left it, so it starts afresh.";
    } else if (!play.resume(moves)) {
        note = "Your moves on " + where + " could not be played again, so it starts afresh.";
    }
    // Nothing to write until play changes something.
    if (progressNow(now)) progressKept_ = progress::format(now);
}

bool Session::progressNow(Progress& p) const {
    if (boardEdited || unreadable || checksum.empty()) return false;
    p.level = level();
    p.checksum = checksum;
    p.moves = moveLog::text(play.moves());
    LevelRef after;
    if (won_) {
        // A level won is done with: the next start opens on the next one, afresh.
        p.moves.clear();
        if (catalogue::next(level(), after)) {
            const std::string sum = catalogue::checksum(after);
            if (!sum.empty()) p.level = after, p.checksum = sum;
        }
    }
    return true;
}

bool Session::keepProgress(unsigned long nowMs, bool now, std::string& reason) {
    Progress p;
    if (!progressNow(p)) return true;
    const std::string text = progress::format(p);
    if (text == progressKept_) return true;
    if (!now && progressWritten_ && nowMs - progressAt_ < 1000) return true;
    progressAt_ = nowMs;
    progressWritten_ = true;
    progressKept_ = text;  // tried once: a failure is tried again only when play changes it
    const files::Outcome wrote = files::writeReplacing(progress::kFile, text);
    if (!wrote) reason = wrote.reason;
    return bool(wrote);
}

bool Session::loadLevel(const LevelRef& ref) {
    resetBoard(0);
    // What the file does not supply keeps the blank layout.
    Level read = levelOf(rules, "");
    pack = ref.pack;
    number = ref.number;
    boardEdited = false;
    unreadable = !catalogue::readPlayable(ref, read);
    checksum = unreadable ? "" : catalogue::checksum(ref);
    if (unreadable) {
        title.clear();
        boardFile = 0;
    } else {
        placeLevel(read, rules);
        title = read.title;
        boardFile = number;
    }
    rules.beginTick();
    begin();
    return !unreadable;
}

void Session::restartLevel() { loadLevel(number); }

std::string Session::unreadableText() const { return filePath() + " could not be read"; }

std::map<int32_t, int32_t> Session::winsIn(const std::string& inPack) const {
    std::map<int32_t, int32_t> found;
    for (const auto& [won, moves] : wins_)
        if (won.pack == inPack) found[won.number] = moves;
    return found;
}

const RecordKeeper* Session::recordWin() {
    // A board changed in the editor is not the level its number names, and
    // a level that could not be read is none at all: neither is recorded.
    if (boardEdited || unreadable) return nullptr;
    won_ = true;
    auto won = wins_.emplace(level(), rules.moveCount).first;
    won->second = std::min(won->second, rules.moveCount);
    // Those done with are let go; one still waiting for the table stays.
    WinRecord ignored;
    for (auto it = keepers_.begin(); it != keepers_.end();) it = (*it)->done(ignored) ? keepers_.erase(it) : it + 1;
    // The way it was won is kept with a new record. The checksum is the one
    // the level was loaded with, so a file changed during play keeps none.
    const bool same = !checksum.empty() && catalogue::checksum(level()) == checksum;
    keepers_.push_back(catalogue::keepRecord(level(), rules.moveCount, same ? moveLog::text(play.moves()) : ""));
    return keepers_.back().get();
}

WinRecord Session::recordKept(const PendingRecord& record, int patienceMs) {
    LevelRef ref;
    ref.number = record.level;
    struct stat st;
    // A pack deleted since (or a key no game writes) has no table to take it.
    if (!packFromKey(record.pack, ref.pack) ||
        (!ref.shipped() && !(catalogue::usableFolder(ref.pack) && lstat(catalogue::folderPath(ref.pack).c_str(), &st) == 0 &&
                             S_ISDIR(st.st_mode)))) {
        WinRecord none;
        none.outcome = WinRecord::Unreadable;
        none.reason = "no pack " + record.pack;
        return none;
    }
    return catalogue::recordWin(ref, record.moves, patienceMs, record.checksum, record.way);
}

std::vector<std::string> Session::applyPendingRecords() {
    pending::Applied applied = pending::apply(recordKept, 100);
    if (applied.waiting && !journal_) journal_.reset(new RecordKeeper(recordKept));
    return applied.said;
}

bool Session::recordsWaiting() const {
    return std::any_of(keepers_.begin(), keepers_.end(),
                       [](const std::unique_ptr<RecordKeeper>& k) { return k->pending(); });
}

std::vector<std::string> Session::letRecordsGo() {
    std::vector<std::string> said;
    for (std::unique_ptr<RecordKeeper>& k : keepers_) {
        const bool waited = k->waiting();
        k->stop();
        WinRecord r;
        std::string why;
        k->done(r);
        const std::string what = "The record of " + k->win.pack + " level " + std::to_string(k->win.level) + " (" +
                                 std::to_string(k->win.moves) + (k->win.moves == 1 ? " move)" : " moves)");
        if (r.outcome == WinRecord::Busy)
            said.push_back(k->kept(why) ? what + " waits in " + pending::kJournalPath + ": another program holds " +
                                              k->table + "; it is written there once the table is free"
                                        : what + " is lost: another program holds " + k->table +
                                              ", and it could not be kept in " + pending::kJournalPath + " (" + why +
                                              ")");
        else if (waited && r.outcome == WinRecord::NewRecord)
            said.push_back(what + " is in " + k->table + " now");
    }
    keepers_.clear();
    journal_.reset();
    return said;
}

void Session::openEditor() {
    resetBoard(1);  // the level number stays that of the loaded level
    // A random board: no file's, no title yet, and no record for it.
    title.clear();
    boardFile = 0;
    boardEdited = true;
    unreadable = false;
    begin();
}

void Session::blankBoard() {
    resetBoard(0);
    // A new level: no file's, untitled.
    title.clear();
    boardFile = 0;
    boardEdited = true;
    unreadable = false;
    begin();
}

bool Session::paint(int32_t column, int32_t row, int32_t brush) {
    if (!rules.onBoard(column, row)) return false;
    boardEdited = true;
    if (brush == BoneTile) {
        rules.boneColumn = column;
        rules.boneRow = row;
    } else if (brush == DogTile) {
        rules.dogColumn = column;
        rules.dogRow = row;
    } else {
        rules.board[row][column] = static_cast<uint8_t>(brush);
    }
    return true;
}

void Session::setNumber(int32_t n) {
    // The board is no longer that of the file its number names.
    if (n != number) boardEdited = true;
    number = n;
}

bool Session::saveNeedsQuestion() const { return (boardFile != number || boardEdited) && catalogue::exists(level()); }

bool Session::save(std::string& reason) {
    const files::Outcome saved = catalogue::save(level(), levelOf(rules, title));
    if (!saved) {
        reason = saved.reason;
        return false;
    }
    boardFile = number;
    boardEdited = false;
    return true;
}

bool Session::reload() {
    const RuleState kept = rules;
    resetBoard(0);
    // Only what play would take: a file play refuses (noise, a title of
    // megabytes) would give a board no file holds, and a record for it.
    Level read = levelOf(rules, "");
    if (!catalogue::readPlayable(level(), read)) {
        rules = kept;
        return false;
    }
    placeLevel(read, rules);
    rules.beginTick();
    title = read.title;
    boardFile = number;
    boardEdited = false;
    unreadable = false;
    begin();
    return true;
}

RuleState Session::boardToCheck() const {
    RuleState edited = rules;
    edited.stopStep();
    edited.rockFalling = false;
    edited.moveCount = 0;
    edited.beginTick();
    return edited;
}
