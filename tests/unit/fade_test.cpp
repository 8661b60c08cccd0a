#include <gtest/gtest.h>

#include <vector>

#include "harness.h"
#include "presentation_fixture.h"
#include "shell/game.h"

using presentation_test::isColour;
using presentation_test::solid;

namespace {

// The red level of one screen pixel at every retrace: the frame shown
// before it (each frame is copied to the screen right after its retrace).
struct RetraceProbe {
    std::vector<int> reds;
    void watch(int frames) {
        for (int i = 1; i <= frames + 1; ++i)
            harness::at(16UL * i, [this] { reds.push_back(getr(getpixel(screen, 50, 50))); });
    }
};

unsigned long fadeInFrames(int speed) {
    BITMAP* image = solid(640, 480, 255, 255, 255);
    unsigned long before = harness::vsyncCount;
    fadeIn(image, speed);
    destroy_bitmap(image);
    return harness::vsyncCount - before;
}

unsigned long fadeOutFrames(int speed) {
    clear_to_color(screen, makecol(255, 255, 255));
    unsigned long before = harness::vsyncCount;
    fadeOut(speed);
    return harness::vsyncCount - before;
}

TEST(Fade, FrameCountsFollowTheSpeed) {
    EXPECT_EQ(fadeInFrames(9), 29u);
    EXPECT_EQ(fadeInFrames(16), 16u);
    EXPECT_EQ(fadeInFrames(0), 16u);
    EXPECT_EQ(fadeInFrames(-3), 16u);
    EXPECT_EQ(fadeInFrames(255), 2u);
    EXPECT_EQ(fadeInFrames(256), 1u);
    EXPECT_EQ(fadeInFrames(2147483647), 1u);

    EXPECT_EQ(fadeOutFrames(9), 28u);
    EXPECT_EQ(fadeOutFrames(5), 50u);
    EXPECT_EQ(fadeOutFrames(4), 63u);
    EXPECT_EQ(fadeOutFrames(3), 84u);
    EXPECT_EQ(fadeOutFrames(90), 2u);
    EXPECT_EQ(fadeOutFrames(0), 15u);
    EXPECT_EQ(fadeOutFrames(-1), 15u);
    EXPECT_EQ(fadeOutFrames(254), 1u);
    EXPECT_EQ(fadeOutFrames(255), 0u);
    EXPECT_EQ(fadeOutFrames(256), 0u);
    EXPECT_EQ(fadeOutFrames(2147483647), 0u);
}

TEST(Fade, InRisesFromBlackAndEndsOnThePicture) {
    BITMAP* image = solid(640, 480, 255, 255, 255);
    clear_to_color(screen, makecol(0, 0, 255));
    RetraceProbe probe;
    probe.watch(29);
    fadeIn(image, 9);
    // reds[0] is the screen before the first frame; reds[1] the black frame.
    ASSERT_EQ(probe.reds.size(), 29u);
    EXPECT_EQ(probe.reds[1], 0);
    for (size_t i = 2; i < probe.reds.size(); ++i) EXPECT_GT(probe.reds[i], probe.reds[i - 1]);
    EXPECT_NEAR(probe.reds.back(), 243, 3);  // opacity 243, the last frame but one
    EXPECT_TRUE(isColour(screen, 50, 50, 255, 255, 255));
    EXPECT_TRUE(isColour(screen, 639, 479, 255, 255, 255));
    destroy_bitmap(image);
}

TEST(Fade, InOfASmallPictureLeavesTheRestBlack) {
    BITMAP* image = solid(100, 80, 200, 100, 50);
    clear_to_color(screen, makecol(0, 0, 255));
    fadeIn(image, 64);
    EXPECT_TRUE(isColour(screen, 99, 79, 200, 100, 50));
    EXPECT_TRUE(isColour(screen, 100, 10, 0, 0, 0));
    EXPECT_TRUE(isColour(screen, 639, 479, 0, 0, 0));
    destroy_bitmap(image);
    fadeIn(nullptr, 9);  // a missing picture is harmless
}

TEST(Fade, OutDarkensStepByStepAndEndsBlack) {
    clear_to_color(screen, makecol(255, 255, 255));
    RetraceProbe probe;
    probe.watch(28);
    fadeOut(9);
    ASSERT_EQ(probe.reds.size(), 28u);
    EXPECT_EQ(probe.reds[0], 255);           // the untouched screen
    EXPECT_NEAR(probe.reds[1], 246, 3);      // never a full-brightness frame
    for (size_t i = 2; i < probe.reds.size(); ++i) EXPECT_LT(probe.reds[i], probe.reds[i - 1]);
    EXPECT_GT(probe.reds.back(), 0);
    for (int x : {0, 320, 639})
        for (int y : {0, 240, 479}) EXPECT_TRUE(isColour(screen, x, y, 0, 0, 0));

    // Even with no frame at all the screen ends black.
    clear_to_color(screen, makecol(255, 255, 255));
    fadeOut(300);
    EXPECT_TRUE(isColour(screen, 639, 479, 0, 0, 0));
}

}  // namespace
