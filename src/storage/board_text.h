// Boards written as text: one character per cell, so that levels can be
// authored and read in a plain editor, and tests can state a board at a glance.
//
//   ^ sky (2)        = ground line (19)     _ broken ground line (21)
//   . dirt (16)      (space) tunnel (17)    # rock (1)      o black rock (0)
//   D dog, B bone on the row's usual cell (sky, ground line or dirt)
//   d dog, b bone on a tunnel
//
// A grid row may be written between two '|' so that its trailing spaces
// survive editors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rules/rules.h"
#include "storage/level.h"

// The code a character stands for, given the row it is in; -1 when unknown.
// Dog and bone characters give the code of the cell under them.
int codeForChar(char c, int row);
// The character for a cell code; '?' for a code with none.
char charForCode(uint8_t code);

// A level source: a title line, then exactly 15 rows of 20 cells, one dog and
// one bone. Lines after the grid must be blank. On failure, error says why.
bool parseLevelText(const std::string& text, Level& level, std::string& error);
// The same level as source text.
std::string levelToText(const Level& level);

// Lays a grid over the blank layout (sky, ground line, dirt) of a rule
// state's board, for tests and tools. Rows may be short or missing. A dog or
// bone mark moves the dog or bone there. False on an unknown character.
bool applyGrid(RuleState& state, const std::vector<std::string>& rows);
// The board as grid rows, the dog and bone marked where the cell lets the
// mark be read back.
std::vector<std::string> boardRows(const RuleState& state);
