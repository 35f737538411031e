// The progress line's text: never wider than the terminal in columns, and a
// long name cut between whole characters, combining marks kept with theirs.

#include "progress_line.h"
#include "text_width.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 42% of 100 bytes in 21 microseconds.
std::string Line(const std::string& name, std::size_t maxWidth) { return FormatProgress(name, 42, 100, 21e-6, maxWidth); }
const std::string kTail = "   42%  2.0 MB/s";

} // namespace

TEST(ProgressText, HalfWidthKatakanaTakeOneColumnEach)
{
    // ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄ.DT: 23 columns in 63 bytes; with its 18 columns of
    // numbers it fits a 60-column terminal's 59 whole.
    const std::string name = "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄ.DT";
    ASSERT_EQ(name.size(), 63u);
    EXPECT_EQ(FormatProgress(name, 183500000, 183500000, 1.0, 59), name + "  100%  183.5 MB/s");
}

TEST(ProgressText, WideNameIsCutToTheColumnsLeft)
{
    const std::string name = "\xe4\xb8\x80\xe4\xba\x8c\xe4\xb8\x89\xe5\x9b\x9b\xe4\xba\x94"  // 一二三四五
                             "\xe5\x85\xad\xe4\xb8\x83\xe5\x85\xab\xe4\xb9\x9d\xe5\x8d\x81.DT";  // 六七八九十.DT
    EXPECT_EQ(Line(name, 39), name + kTail);  // 23 + 16 columns
    // 30 columns leave 11 for the name: ".DT" and four of its characters.
    EXPECT_EQ(Line(name, 30), "...\xe4\xb8\x83\xe5\x85\xab\xe4\xb9\x9d\xe5\x8d\x81.DT" + kTail);
    // One more is not room for a fifth: the line stays one column short.
    EXPECT_EQ(Line(name, 31), Line(name, 30));
    EXPECT_EQ(Line(name, 32), "...\xe5\x85\xad\xe4\xb8\x83\xe5\x85\xab\xe4\xb9\x9d\xe5\x8d\x81.DT" + kTail);

    for (std::size_t width = 0; width <= 40; ++width) {
        SCOPED_TRACE(width);
        EXPECT_LE(TextColumns(Line(name, width)), width);
    }
}

TEST(ProgressText, CombiningMarksStayWithTheirLetter)
{
    std::string name;
    for (int i = 0; i < 10; ++i)
        name += "e\xcc\x81";  // é as e and U+0301: one column in three bytes
    name += ".DT";
    EXPECT_EQ(Line(name, 29), name + kTail);
    EXPECT_EQ(Line(name, 24), "...e\xcc\x81" "e\xcc\x81.DT" + kTail);
    EXPECT_EQ(Line(name, 23), "...e\xcc\x81.DT" + kTail);
}

TEST(ProgressText, TooNarrowForANameShowsThePercentageAlone)
{
    EXPECT_EQ(Line("run1.DT", 19), "..." + kTail);
    EXPECT_EQ(Line("run1.DT", 18), "42%");
    EXPECT_EQ(Line("run1.DT", 3), "42%");
    EXPECT_EQ(Line("run1.DT", 2), "");
}
