// A real Game in an empty directory, its board written as text (board_text.h),
// driven tick by tick as the main loop drives the playing screen.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <string>
#include <vector>

#include "harness.h"
#include "play/board_text.h"
#include "play/tiles.h"
#include "shell/game.h"

class RulesTest : public ::testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};

    // Without a bone mark the bone lies in the bottom right corner, out of the way.
    void setBoard(const std::vector<std::string>& rows) {
        ASSERT_TRUE(applyGrid(game.rules, rows));
        bool bone = false;
        for (const std::string& row : rows) bone = bone || row.find_first_of("Bb") != std::string::npos;
        if (!bone) game.boneColumn = 19, game.boneRow = 14;
        game.screenMode = Playing;
        game.stopStep();
        game.rockFalling = false;
        game.moveCount = 0;
    }

    // Grid rows starting at row `first`; the rows above are usual.
    static std::vector<std::string> at(int first, std::vector<std::string> rows) {
        rows.insert(rows.begin(), first, "");
        return rows;
    }

    // One playing input step, with the preamble every input step has.
    void tick() {
        game.stepStartColumn = game.dogColumn;
        game.stepStartRow = game.dogRow;
        game.redrawNeeded = false;
        game.handlePlayInput();
    }

    // The keys are down for exactly one input step, as a quick tap; the
    // keyboard's callback hears of it as Allegro's would.
    void tap(std::initializer_list<int> keys) {
        for (int k : keys) key[k] = -1, inputLatch::onKey(k);
        tick();
        for (int k : keys) key[k] = 0, inputLatch::onKey(k | 0x80);
    }

    // Ticks until the dog stands still and no rock falls.
    void settle() {
        for (int i = 0; i < 5000 && game.screenMode == Playing && (game.selection != None || game.rockFalling); ++i)
            tick();
    }

    void move(int k) {
        tap({k});
        settle();
    }

    uint8_t cell(int column, int row) const { return game.board[row][column]; }

    void expectDog(int column, int row) const {
        EXPECT_EQ(game.dogColumn, column);
        EXPECT_EQ(game.dogRow, row);
        EXPECT_EQ(game.dogOffsetX, 0);
        EXPECT_EQ(game.dogOffsetY, 0);
    }

    // Compares the top rows of the board; a short row goes on with the row's
    // usual cells.
    void expectRows(const std::vector<std::string>& rows) const {
        std::vector<std::string> actual = boardRows(game.rules);
        for (size_t r = 0; r < rows.size(); ++r) {
            char usual = r == 0 ? '^' : r == 1 ? '=' : '.';
            EXPECT_EQ(actual[r], rows[r] + std::string(20 - std::min<size_t>(20, rows[r].size()), usual))
                << "row " << r;
        }
    }
};
