// A real Game in an empty directory, with a board written as text, driven
// tick by tick as the main loop drives a playing screen.
#pragma once

#include <gtest/gtest.h>

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

    // Lays out the board from grid rows (see board_text.h) and starts playing.
    // Without a bone mark the bone goes to the bottom right corner, out of
    // the way.
    void setBoard(const std::vector<std::string>& rows) {
        ASSERT_TRUE(applyGrid(game, rows));
        bool bone = false;
        for (const std::string& row : rows)
            if (row.find_first_of("Bb") != std::string::npos) bone = true;
        if (!bone) {
            game.boneColumn = 19;
            game.boneRow = 14;
        }
        game.screenMode = Playing;
        game.selection = None;
        game.dogOffsetX = game.dogOffsetY = 0;
        game.rockFalling = false;
        game.moveCount = 0;
    }

    // One playing input step, with the preamble every input step has.
    void tick() {
        game.stepStartColumn = game.dogColumn;
        game.stepStartRow = game.dogRow;
        game.redrawNeeded = false;
        game.handlePlayInput();
    }

    // The keys are down for exactly one input step, as a quick tap.
    void tap(std::initializer_list<int> keys) {
        for (int k : keys) key[k] = -1;
        tick();
        for (int k : keys) key[k] = 0;
    }

    bool busy() const { return game.selection != None || game.rockFalling; }

    // Ticks until the dog stands still and no rock falls; the ticks it took.
    int settle(int limit = 5000) {
        int ticks = 0;
        while (busy() && game.screenMode == Playing && ticks < limit) {
            tick();
            ++ticks;
        }
        return ticks;
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

    // Compares the top rows of the board with the expected grid; a short
    // expected row goes on with the row's usual cells.
    void expectRows(const std::vector<std::string>& rows) const {
        std::vector<std::string> actual = boardRows(game);
        for (size_t r = 0; r < rows.size(); ++r) {
            std::string want = rows[r];
            char usual = r == 0 ? '^' : r == 1 ? '=' : '.';
            if (want.size() < 20) want += std::string(20 - want.size(), usual);
            EXPECT_EQ(actual[r], want) << "row " << r;
        }
    }

    // Fifteen rows, all usual, to fill in by index.
    static std::vector<std::string> blankRows() { return std::vector<std::string>(15, ""); }
};
