#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "presentation_fixture.h"

using presentation_test::isColour;
using presentation_test::solid;

namespace {

// The red level of one screen pixel at every retrace: the frame shown
// before it (each frame is copied to the screen right after its retrace).
std::shared_ptr<std::vector<int>> watchRetraces(int frames) {
    auto reds = std::make_shared<std::vector<int>>();
    for (int i = 1; i <= frames + 1; ++i)
        harness::at(16UL * i, [reds] { reds->push_back(getr(getpixel(screen, 50, 50))); });
    return reds;
}

TEST(Fade, FrameCountsFollowTheSpeed) {
    BITMAP* image = solid(640, 480, 255, 255, 255);
    const int in[][2] = {{9, 29}, {16, 16}, {0, 16}, {-3, 16}, {255, 2}, {256, 1}, {2147483647, 1}};
    for (auto [speed, frames] : in) {
        unsigned long before = harness::vsyncCount;
        fadeIn(image, speed);
        EXPECT_EQ(harness::vsyncCount - before, static_cast<unsigned long>(frames)) << "in " << speed;
    }
    const int out[][2] = {{9, 28}, {5, 50}, {4, 63}, {3, 84}, {90, 2}, {0, 15}, {-1, 15},
                          {254, 1}, {255, 0}, {256, 0}, {2147483647, 0}};
    for (auto [speed, frames] : out) {
        unsigned long before = harness::vsyncCount;
        fadeOut(speed);
        EXPECT_EQ(harness::vsyncCount - before, static_cast<unsigned long>(frames)) << "out " << speed;
    }
    destroy_bitmap(image);
}

TEST(Fade, InRisesFromBlackAndEndsOnThePicture) {
    BITMAP* image = solid(640, 480, 255, 255, 255);
    clear_to_color(screen, makecol(0, 0, 255));
    auto reds = watchRetraces(29);
    fadeIn(image, 9);
    // reds[0] is the screen before the first frame; reds[1] the black frame.
    ASSERT_EQ(reds->size(), 29u);
    EXPECT_EQ((*reds)[1], 0);
    for (size_t i = 2; i < reds->size(); ++i) EXPECT_GT((*reds)[i], (*reds)[i - 1]);
    EXPECT_NEAR(reds->back(), 243, 3);  // opacity 243, the last frame but one
    EXPECT_TRUE(isColour(screen, 639, 479, 255, 255, 255));
    destroy_bitmap(image);

    // A small picture leaves the rest black; a missing one is harmless.
    image = solid(100, 80, 200, 100, 50);
    clear_to_color(screen, makecol(0, 0, 255));
    fadeIn(image, 64);
    EXPECT_TRUE(isColour(screen, 99, 79, 200, 100, 50));
    EXPECT_TRUE(isColour(screen, 100, 10, 0, 0, 0));
    EXPECT_TRUE(isColour(screen, 639, 479, 0, 0, 0));
    destroy_bitmap(image);
    fadeIn(nullptr, 9);
}

TEST(Fade, OutDarkensStepByStepAndEndsBlack) {
    clear_to_color(screen, makecol(255, 255, 255));
    auto reds = watchRetraces(28);
    fadeOut(9);
    ASSERT_EQ(reds->size(), 28u);
    EXPECT_EQ((*reds)[0], 255);       // the untouched screen
    EXPECT_NEAR((*reds)[1], 246, 3);  // never a full-brightness frame
    for (size_t i = 2; i < reds->size(); ++i) EXPECT_LT((*reds)[i], (*reds)[i - 1]);
    EXPECT_GT(reds->back(), 0);
    for (int x : {0, 320, 639})
        for (int y : {0, 240, 479}) EXPECT_TRUE(isColour(screen, x, y, 0, 0, 0));

    // Even with no frame at all the screen ends black.
    clear_to_color(screen, makecol(255, 255, 255));
    fadeOut(300);
    EXPECT_TRUE(isColour(screen, 639, 479, 0, 0, 0));
}

}  // namespace
