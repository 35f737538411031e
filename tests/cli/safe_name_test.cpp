// Names as dt2pcap prints them: the edges of what passes through unchanged.

#include "safe_name.h"

#include <gtest/gtest.h>

TEST(SafeName, ControlsOfBothRangesAndDeleteAreEscaped)
{
    EXPECT_EQ(SafeName("a\x7f" "b.DT"), "a\\x7fb.DT");           // DEL, the last ASCII byte
    EXPECT_EQ(SafeName("~.DT"), "~.DT");                          // the last printable one
    EXPECT_EQ(SafeName("a\x1f.DT"), "a\\x1f.DT");
    EXPECT_EQ(SafeName("a\xc2\x80z"), "a\\xc2\\x80z");            // U+0080, the first C1 control
    EXPECT_EQ(SafeName("a\xc2\x9b" "31m"), "a\\xc2\\x9b31m");     // U+009B, a terminal's CSI
    EXPECT_EQ(SafeName("a\xc2\x9fz"), "a\\xc2\\x9fz");            // U+009F, the last one
    EXPECT_EQ(SafeName("a\xc2\xa0z"), "a\xc2\xa0z");              // U+00A0 is text
}

TEST(SafeName, NameEndingInAMultiByteCharacterKeepsIt)
{
    EXPECT_EQ(SafeName("caf\xc3\xa9"), "caf\xc3\xa9");
    EXPECT_EQ(SafeName("run\xe6\x97\xa5"), "run\xe6\x97\xa5");
    EXPECT_EQ(SafeName("x\xf0\x9f\x93\xa6"), "x\xf0\x9f\x93\xa6");
    // Cut short at the end: each byte on its own.
    EXPECT_EQ(SafeName("caf\xc3"), "caf\\xc3");
    EXPECT_EQ(SafeName("x\xf0\x9f\x93"), "x\\xf0\\x9f\\x93");
}
