// Levels written as text: the source reader's complaints, and the level file
// it makes read back by the game's own reader.
#include "rules_fixture.h"

namespace {

std::string source(const std::string& title, std::vector<std::string> rows) {
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

std::string parseError(const std::string& text) {
    LevelText level;
    std::string error;
    if (parseLevelText(text, level, error)) return "";
    return error;
}

}  // namespace

using BoardTextTest = RulesTest;

TEST_F(BoardTextTest, ASourceReadsWithEveryCellDogAndBone) {
    LevelText level;
    std::string error;
    ASSERT_TRUE(parseLevelText(source("  Two  words ", fullRows()), level, error)) << error;
    EXPECT_EQ(level.title, "  Two  words ");
    EXPECT_EQ(level.dogColumn, 5);
    EXPECT_EQ(level.dogRow, 1);
    EXPECT_EQ(level.boneColumn, 14);
    EXPECT_EQ(level.boneRow, 6);
    EXPECT_EQ(level.cells[1][5], SkyBottom);  // the dog stands on the ground line
    EXPECT_EQ(level.cells[6][14], Tunnel);    // a lower-case mark stands on a tunnel
    EXPECT_EQ(level.cells[6][2], Rock);
    EXPECT_EQ(level.cells[6][3], BlackRock);
    EXPECT_EQ(level.cells[6][4], Tunnel);
    EXPECT_EQ(level.cells[6][6], SkyBottomDestroyed);
    EXPECT_EQ(levelToText(level), source("  Two  words ", fullRows()));

    // Unframed rows and CR LF line ends read the same.
    std::string crlf = "  Two  words \r\n";
    for (std::string row : fullRows()) crlf += row.substr(1, 20) + "\r\n";
    LevelText again;
    ASSERT_TRUE(parseLevelText(crlf, again, error)) << error;
    EXPECT_EQ(levelToText(again), levelToText(level));
}

TEST_F(BoardTextTest, ASourceThatIsNotALevelSaysWhy) {
    std::vector<std::string> rows = fullRows();
    EXPECT_EQ(parseError(""), "no title line");
    EXPECT_EQ(parseError(source("T", {rows[0], rows[1]})), "the grid has 2 rows, not 15");

    rows[4] = "|...................|";
    EXPECT_EQ(parseError(source("T", rows)), "row 4 has 19 cells, not 20");
    rows = fullRows();
    rows[7][3] = 'x';
    EXPECT_EQ(parseError(source("T", rows)), "unknown cell 'x' in row 7, column 2");
    rows = fullRows();
    rows[9][1] = 'B';
    EXPECT_EQ(parseError(source("T", rows)), "a second bone in row 9");
    rows = fullRows();
    rows[1] = "|====================|";
    EXPECT_EQ(parseError(source("T", rows)), "no dog (D or d) in the grid");
    EXPECT_EQ(parseError(source("T", fullRows()) + "\n  \nmore\n"), "text after the 15 grid rows");
    EXPECT_EQ(parseError(source("T", fullRows()) + "\n\n"), "");
}

TEST_F(BoardTextTest, TheLevelFileReadsBackThroughTheGamesReader) {
    LevelText level;
    std::string error;
    ASSERT_TRUE(parseLevelText(source("Round trip", fullRows()), level, error));
    std::string bytes = levelFileBytes(level);
    // Title, "5 1 14 6", and 15 rows of 20 byte-and-space pairs, CR LF each.
    EXPECT_EQ(bytes.size(), std::string("Round trip").size() + std::string("5 1 14 6").size() + 634);
    EXPECT_EQ(bytes.substr(0, 22), "Round trip\r\n5 1 14 6\r\n");
    EXPECT_EQ(bytes.substr(22, 4), std::string("\x02 \x02 ", 4));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x10 \r\n", 4));

    dir.write("level.lvl", bytes);
    ASSERT_TRUE(game.loadLevelFile("level.lvl"));
    EXPECT_EQ(game.levelTitle, "Round trip");
    EXPECT_EQ(game.dogColumn, 5);
    EXPECT_EQ(game.dogRow, 1);
    EXPECT_EQ(game.boneColumn, 14);
    EXPECT_EQ(game.boneRow, 6);
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 20; ++c) EXPECT_EQ(cell(c, r), level.cells[r][c]) << c << "," << r;
}
