// A level as stored: the title, the dog's and the bone's cells and the 20 by
// 15 tile codes, with the one reader and the one writer of the level file's
// bytes. The game, the editor, the tools and the solver all go through here.
//
// The file: a title line, a line "dogColumn dogRow boneColumn boneRow", then
// 15 rows of 20 raw tile bytes each followed by a space. Lines end in CR LF;
// a bare LF reads the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "rules/rules.h"

struct Level {
    static constexpr int kColumns = RuleState::boardWidth;
    static constexpr int kRows = RuleState::boardHeight;
    std::string title;
    uint8_t cells[kRows][kColumns] = {};
    int32_t dogColumn = 0, dogRow = 0;
    int32_t boneColumn = 0, boneRow = 0;

    bool operator==(const Level& other) const;
    bool operator!=(const Level& other) const { return !(*this == other); }
};

// Reads level-file bytes over `level`: each field the bytes supply replaces
// the one in `level`, the rest keep their values (a reader fills `level` with
// its defaults first). Reading stops at the first field that cannot be read;
// a position outside the board counts as unread. True when the dog and the
// bone were both placed on the board: without them there is no level to play.
bool readLevel(const std::string& bytes, Level& level);
// A title keeps at most this many characters: the reader cuts a longer one
// here, the writer writes no more, and the editor's prompt takes no more.
constexpr size_t kLongestTitle = 4096;
// The title line of level-file bytes, without its line end; long titles are
// cut at kLongestTitle characters.
std::string levelTitleOf(const std::string& bytes);
// The level as file bytes. A line break in the title is stored as a space, so
// the title stays one line.
std::string formatLevel(const Level& level);

// The level's cells, dog and bone put into a rule state, and taken from one.
void placeLevel(const Level& level, RuleState& state);
Level levelOf(const RuleState& state, const std::string& title);
