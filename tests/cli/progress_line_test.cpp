// The progress line: never wider than the terminal in columns, also when
// the terminal is resized, and a long name cut between whole characters,
// combining marks kept with theirs.

#include "progress_line.h"
#include "text_width.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

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

namespace {

// A terminal whose width the test sets, keeping what it was asked to show.
class FakeTerminal : public LineTerminal {
public:
    struct Replaced {
        std::size_t shown;
        std::string text;
    };

    std::size_t Columns() override { return columns; }
    void Replace(std::size_t shown, const std::string& text) override { replaced.push_back({shown, text}); }

    std::size_t columns = 80;
    std::vector<Replaced> replaced;
};

} // namespace

TEST(ProgressLine, FollowsTheTerminalsWidthAndWipesTheColumnsItShowed)
{
    std::string name;
    for (int i = 0; i < 30; ++i)
        name += "\xe6\x97\xa5";  // 日: 2 columns in 3 bytes
    name += ".DT";
    FakeTerminal terminal;
    ProgressLine line(terminal);
    line.Start(name);
    line.Update(42, 100);
    ASSERT_EQ(terminal.replaced.size(), 1u);
    EXPECT_EQ(terminal.replaced[0].shown, 0u);
    const std::size_t first = TextColumns(terminal.replaced[0].text);
    EXPECT_LE(first, 79u);
    EXPECT_GE(first, 75u) << terminal.replaced[0].text;  // 63 of name, 16 of numbers or a little more
    EXPECT_EQ(ProgressLineWidthOnScreen(), first);

    // Narrowed to 40: the next redraw fits 39 and wipes all 75 or more columns shown.
    terminal.columns = 40;
    std::this_thread::sleep_for(std::chrono::milliseconds(110));
    line.Update(50, 100);
    ASSERT_EQ(terminal.replaced.size(), 2u);
    EXPECT_EQ(terminal.replaced[1].shown, first);
    const std::size_t second = TextColumns(terminal.replaced[1].text);
    EXPECT_LE(second, 39u) << terminal.replaced[1].text;
    EXPECT_EQ(terminal.replaced[1].text.substr(0, 3), "...");
    EXPECT_EQ(ProgressLineWidthOnScreen(), second);

    line.Clear();
    ASSERT_EQ(terminal.replaced.size(), 3u);
    EXPECT_EQ(terminal.replaced[2].shown, second);
    EXPECT_EQ(terminal.replaced[2].text, "");
    EXPECT_EQ(ProgressLineWidthOnScreen(), 0u);
    line.Clear();  // nothing left to wipe
    EXPECT_EQ(terminal.replaced.size(), 3u);
}
