// Levels written as text: the source reader's complaints, and the level file
// it makes, read back by the game's own reader.
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

TEST(BoardText, ASourceReadsWithEveryCellAndMakesTheLevelFile) {
    Level level, again;
    std::string error;
    ASSERT_TRUE(parseLevelText(source("  Two  words ", fullRows()), level, error)) << error;
    EXPECT_EQ(level.title, "  Two  words ");
    EXPECT_EQ(std::make_tuple(level.dogColumn, level.dogRow, level.boneColumn, level.boneRow), std::make_tuple(5, 1, 14, 6));
    // The dog stands on the ground line, a lower-case mark on a tunnel.
    const uint8_t row6[] = {Dirt, Dirt, Rock, BlackRock, Tunnel, Tunnel, SkyBottomDestroyed, Dirt};
    EXPECT_EQ(std::vector<uint8_t>(level.cells[6], level.cells[6] + 8), std::vector<uint8_t>(row6, row6 + 8));
    EXPECT_EQ(std::make_pair(level.cells[1][5], level.cells[6][14]), std::make_pair(uint8_t(SkyBottom), uint8_t(Tunnel)));
    EXPECT_EQ(levelToText(level), source("  Two  words ", fullRows()));

    // Unframed rows and CR LF line ends read the same.
    std::string crlf = "  Two  words \r\n";
    for (const std::string& row : fullRows()) crlf += row.substr(1, 20) + "\r\n";
    ASSERT_TRUE(parseLevelText(crlf, again, error)) << error;
    EXPECT_EQ(again, level);

    // Title, positions, and 15 rows of 20 byte-and-space pairs, CR LF each.
    std::string bytes = formatLevel(level);
    EXPECT_EQ(bytes.size(), 25u + 15 * 42);
    EXPECT_EQ(bytes.substr(0, 29), std::string("  Two  words \r\n5 1 14 6\r\n\x02 \x02 ", 29));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x10 \r\n", 4));
    Level read;
    readLevel(bytes, read);
    EXPECT_EQ(read, level);
}

TEST(BoardText, ASourceThatIsNotALevelSaysWhy) {
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

}  // namespace
