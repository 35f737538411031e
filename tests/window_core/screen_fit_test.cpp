// A dialog too large for its screen: the largest font step at which it fits,
// and its frame moved inside the screen's free area with the title bar kept.

#include "screen_fit.h"

#include <gtest/gtest.h>

namespace {

using screen_fit::FittingScale;
using screen_fit::FrameInside;

// The Windows dialog at 192 dpi under a Japanese desktop font: a client of
// 630 x 904 and a frame of 6 x 43.
screen_fit::Size Outer(double scale)
{
    return {static_cast<int>(630 * scale) + 6, static_cast<int>(904 * scale) + 43};
}

TEST(ScreenFit, ScaleIsTheLargestStepAtWhichTheDialogFits)
{
    EXPECT_DOUBLE_EQ(FittingScale(Outer, {1920, 1200}), 1.0);
    // 904 x 0.84 + 43 = 802 is taller than 800; 0.82 gives 784.
    EXPECT_NEAR(FittingScale(Outer, {1280, 800}), 0.82, 1e-9);
    // Too narrow: (500 - 6) / 630 = 0.784, the step below is 0.78.
    EXPECT_NEAR(FittingScale(Outer, {500, 2000}), 0.78, 1e-9);
    EXPECT_DOUBLE_EQ(FittingScale(Outer, {100, 100}), 0.3);
    // Exactly the free area fits.
    EXPECT_DOUBLE_EQ(FittingScale(Outer, {636, 947}), 1.0);
}

TEST(ScreenFit, FrameIsMovedInsideKeepingItsTitleBar)
{
    const screen_fit::Rect second{1920, 0, 3200, 800};
    const auto at = [&](screen_fit::Rect frame) {
        const screen_fit::Point point = FrameInside(frame, second);
        return std::to_string(point.x) + "," + std::to_string(point.y);
    };
    EXPECT_EQ(at({2000, 100, 2400, 400}), "2000,100");
    EXPECT_EQ(at({2000, -40, 2400, 260}), "2000,0");
    EXPECT_EQ(at({3000, 700, 3400, 1000}), "2800,500");
    // Larger than the area: the top left corner is what stays.
    EXPECT_EQ(at({2000, -20, 3400, 880}), "1920,0");
    // A monitor left of the main one, at negative coordinates.
    const screen_fit::Point left = FrameInside({-100, 50, 300, 450}, {-1280, 0, 0, 800});
    EXPECT_EQ(left.x, -400);
    EXPECT_EQ(left.y, 50);
}

} // namespace
