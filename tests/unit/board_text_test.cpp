// Levels written as text: read with every cell, written back the same, turned into the level file the game reads; and the reader's complaints.
#include "fixture.h"

namespace {

std::string source(const std::vector<std::string>& rows, const std::string& title = "  Two  words ",
                   const char* eol = "\n") {
    std::string text = title + eol;
    for (const std::string& row : rows) text += row + eol;
    return text;
}

std::vector<std::string> fullRows() {
    std::vector<std::string> rows(15, "|....................|");
    rows[0] = "|^^^^^^^^^^^^^^^^^^^^|", rows[1] = "|=====D==============|", rows[6] = "|..#o  _.......b.....|";
    return rows;
}

TEST(BoardText, ASourceReadsWithEveryCellAndMakesTheLevelFile) {
    Level level, again, read;
    std::string error;
    ASSERT_TRUE(parseLevelText(source(fullRows()), level, error)) << error;
    EXPECT_EQ(std::make_tuple(level.title, level.dogColumn, level.dogRow, level.boneColumn, level.boneRow),
              std::make_tuple("  Two  words ", 5, 1, 14, 6));
    const uint8_t row6[] = {Dirt, Dirt, Rock, BlackRock, Tunnel, Tunnel, SkyBottomDestroyed, Dirt};
    EXPECT_EQ(std::vector<uint8_t>(level.cells[6], level.cells[6] + 8), std::vector<uint8_t>(row6, row6 + 8));
    EXPECT_EQ(std::make_pair(level.cells[1][5], level.cells[6][14]), std::make_pair(uint8_t(SkyBottom), uint8_t(Tunnel)));
    EXPECT_EQ(levelToText(level), source(fullRows()));
    // Unframed rows and CR LF line ends read the same.
    std::vector<std::string> bare = fullRows();
    for (std::string& row : bare) row = row.substr(1, 20);
    ASSERT_TRUE(parseLevelText(source(bare, "  Two  words ", "\r\n"), again, error)) << error;
    EXPECT_EQ(again, level);
    readLevel(formatLevel(level), read);  // the file's bytes: level_file_test.cpp
    EXPECT_EQ(read, level);
}

TEST(BoardText, ASourceThatIsNotALevelSaysWhy) {
    auto with = [](int row, int column, char c) {
        std::vector<std::string> rows = fullRows();
        rows[row] = column < 0 ? "|===================|" : rows[row].replace(column, 1, 1, c);
        return source(rows, "T");
    };
    const std::pair<std::string, std::string> cases[] = {
        {"", "no title line"},
        {source({fullRows()[0], fullRows()[1]}, "T"), "the grid has 2 rows, not 15"},
        {with(4, -1, 0), "row 4 has 19 cells, not 20"},
        {with(7, 3, 'x'), "unknown cell 'x' in row 7, column 2"},
        {with(9, 1, 'B'), "a second bone in row 9"},
        {with(1, 6, '='), "no dog (D or d) in the grid"},
        {source(fullRows(), "T") + "\n  \nmore\n", "text after the 15 grid rows"},
        {source(fullRows(), "T") + "\n\n", ""},
    };
    for (const auto& c : cases) {
        Level level;
        std::string error;
        EXPECT_EQ(parseLevelText(c.first, level, error), c.second.empty()) << c.second;
        EXPECT_EQ(error, c.second);
    }
}

}  // namespace
