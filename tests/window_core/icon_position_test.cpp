// Where both windows draw their icon when minimised.

#include "icon_position.h"

#include <gtest/gtest.h>

TEST(MinimisedIcon, CentreTruncatesTowardZero)
{
    EXPECT_EQ(IconCentreOffset(33, 32), 1);
    EXPECT_EQ(IconCentreOffset(32, 32), 0);
    EXPECT_EQ(IconCentreOffset(0, 32), -15);  // -31 / 2, not -16
    EXPECT_EQ(IconCentreOffset(2, 32), -14);
    EXPECT_EQ(IconCentreOffset(100, 32), 34);
}
