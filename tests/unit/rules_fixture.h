// Boards written as text (play/board_text.h) for the rule and solver tests, and a real Game driven input step by input step as the main loop drives it.
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
#include "shell/input_latch.h"

// Grid rows over the blank layout after `first` usual rows; a pocket walls in all else with sky. Without a bone mark the bone lies bottom right.
inline RuleState textBoard(std::vector<std::string> rows, int first = 0, bool pocket = false) {
    rows.insert(rows.begin(), first, "");
    if (pocket) {
        rows.resize(15);
        for (std::string& row : rows) row.resize(20, '^');
    }
    RuleState s;
    s.boneColumn = 19, s.boneRow = 14;
    EXPECT_TRUE(applyGrid(s, rows));
    s.beginTick();
    return s;
}

// The top rows of the board; a short row goes on with the row's usual cells.
inline void expectRows(const RuleState& s, const std::vector<std::string>& rows) {
    std::vector<std::string> actual = boardRows(s);
    for (size_t r = 0; r < rows.size(); ++r)
        EXPECT_EQ(actual[r], rows[r] + std::string(20 - std::min<size_t>(20, rows[r].size()),
                                                   r == 0 ? '^' : r == 1 ? '=' : '.'))
            << "row " << r;
}

class RulesTest : public ::testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};

    void setBoard(const std::vector<std::string>& rows, int first = 0) {
        game.rules = textBoard(rows, first);
        game.screenMode = Playing;
    }
    // One input step with the keys held for just that step, the keyboard's callback told of each press and release as Allegro tells it.
    void tap(const std::vector<int>& keys = {}) {
        for (int k : keys) key[k] = -1, inputLatch::onKey(k);
        game.handleInput();
        for (int k : keys) key[k] = 0, inputLatch::onKey(k | 0x80);
    }
    // Input steps until the dog stands still and no rock falls.
    void settle() {
        for (int i = 0; i < 5000 && game.screenMode == Playing && !game.rules.betweenMoves(); ++i) tap();
    }
};
