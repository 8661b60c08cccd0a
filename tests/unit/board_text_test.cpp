// Levels written as text: the source reader's complaints, and the level file
// it makes read back by the game's own reader.
#include "rules_fixture.h"

namespace {

std::string source(const std::string& title, const std::vector<std::string>& rows) {
    std::string text = title + "\n";
    for (const std::string& row : rows) text += row + "\n";
    return text;
}

std::vector<std::string> fullRows() {
    std::vector<std::string> rows(15, "|....................|");
    rows[0] = "|^^^^^^^^^^^^^^^^^^^^|";
    rows[1] = "|=====D==============|";
    rows[6] = "|..#o  _.......b.....|";
    return rows;
}

}  // namespace

using BoardTextTest = RulesTest;

TEST_F(BoardTextTest, ASourceReadsWithEveryCellDogAndBone) {
    Level level;
    std::string error;
    ASSERT_TRUE(parseLevelText(source("  Two  words ", fullRows()), level, error)) << error;
    EXPECT_EQ(level.title, "  Two  words ");
    EXPECT_EQ(std::vector<int>({level.dogColumn, level.dogRow, level.boneColumn, level.boneRow}),
              std::vector<int>({5, 1, 14, 6}));
    // The dog stands on the ground line, a lower-case mark on a tunnel.
    EXPECT_EQ(level.cells[1][5], SkyBottom);
    const uint8_t row6[] = {Dirt, Dirt, Rock, BlackRock, Tunnel, Tunnel, SkyBottomDestroyed, Dirt};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(level.cells[6][c], row6[c]) << c;
    EXPECT_EQ(level.cells[6][14], Tunnel);
    EXPECT_EQ(levelToText(level), source("  Two  words ", fullRows()));

    // Unframed rows and CR LF line ends read the same.
    std::string crlf = "  Two  words \r\n";
    for (const std::string& row : fullRows()) crlf += row.substr(1, 20) + "\r\n";
    Level again;
    ASSERT_TRUE(parseLevelText(crlf, again, error)) << error;
    EXPECT_EQ(levelToText(again), levelToText(level));
}

TEST_F(BoardTextTest, ASourceThatIsNotALevelSaysWhy) {
    auto with = [](int row, int column, char c) {
        std::vector<std::string> rows = fullRows();
        if (column < 0) rows[row] = "|===================|";
        else rows[row][column] = c;
        return source("T", rows);
    };
    const std::pair<std::string, std::string> cases[] = {
        {"", "no title line"},
        {source("T", {fullRows()[0], fullRows()[1]}), "the grid has 2 rows, not 15"},
        {with(4, -1, 0), "row 4 has 19 cells, not 20"},
        {with(7, 3, 'x'), "unknown cell 'x' in row 7, column 2"},
        {with(9, 1, 'B'), "a second bone in row 9"},
        {with(1, 6, '='), "no dog (D or d) in the grid"},
        {source("T", fullRows()) + "\n  \nmore\n", "text after the 15 grid rows"},
        {source("T", fullRows()) + "\n\n", ""},
    };
    for (const auto& c : cases) {
        Level level;
        std::string error;
        EXPECT_EQ(parseLevelText(c.first, level, error), c.second.empty()) << c.second;
        EXPECT_EQ(error, c.second);
    }
}

TEST_F(BoardTextTest, TheLevelFileReadsBackThroughTheGamesReader) {
    Level level;
    std::string error;
    ASSERT_TRUE(parseLevelText(source("Round trip", fullRows()), level, error));
    std::string bytes = formatLevel(level);
    // Title, positions, and 15 rows of 20 byte-and-space pairs, CR LF each.
    EXPECT_EQ(bytes.size(), 22u + 15 * 42);
    EXPECT_EQ(bytes.substr(0, 26), std::string("Round trip\r\n5 1 14 6\r\n\x02 \x02 ", 26));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x10 \r\n", 4));

    dir.write("level.lvl", bytes);
    ASSERT_TRUE(game.loadLevelFile("level.lvl"));
    EXPECT_EQ(game.levelTitle, "Round trip");
    EXPECT_EQ(std::vector<int>({game.dogColumn, game.dogRow, game.boneColumn, game.boneRow}),
              std::vector<int>({5, 1, 14, 6}));
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 20; ++c) EXPECT_EQ(cell(c, r), level.cells[r][c]) << c << "," << r;
}
