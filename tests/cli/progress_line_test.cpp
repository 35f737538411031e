// The progress line's text: never wider than the terminal, and a long name
// cut where a character begins.

#include "progress_line.h"

#include <gtest/gtest.h>

#include <string>

TEST(ProgressLine, LongNameLosesWholeCharactersFromItsHead)
{
    std::string name = "caps/";
    for (int i = 0; i < 30; ++i)
        name += "\xc3\xa9";  // two bytes each
    name += "\xe6\x97\xa5.DT";
    const std::string tail = "   42%  2.0 MB/s";
    ASSERT_EQ(FormatProgress(name, 42, 100, 21e-6, 1000), name + tail);
    for (std::size_t width = tail.size() + 3; width < name.size() + tail.size(); ++width) {
        const std::string line = FormatProgress(name, 42, 100, 21e-6, width);
        SCOPED_TRACE(width);
        ASSERT_LE(line.size(), width);
        ASSERT_EQ(line.substr(0, 3), "...");
        ASSERT_EQ(line.substr(line.size() - tail.size()), tail);
        const std::string kept = line.substr(3, line.size() - 3 - tail.size());
        // The end of the name, beginning on a character's first byte, at most one character short of the room.
        EXPECT_EQ(name.substr(name.size() - kept.size()), kept);
        if (!kept.empty()) {
            EXPECT_NE(static_cast<unsigned char>(kept[0]) & 0xC0, 0x80);
        }
        EXPECT_GE(kept.size() + 2, width - 3 - tail.size());
    }
}
