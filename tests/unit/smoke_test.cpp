#include <gtest/gtest.h>

#include "harness.h"

TEST(Harness, RestAdvancesTheClockAndRunsScriptedKeys) {
    harness::holdKey(KEY_RIGHT, 100, 200);
    rest(150);
    EXPECT_NE(key[KEY_RIGHT], 0);
    rest(60);
    EXPECT_EQ(key[KEY_RIGHT], 0);
    EXPECT_EQ(harness::nowMs, 210u);
    EXPECT_EQ(SCREEN_W, 640);
}
