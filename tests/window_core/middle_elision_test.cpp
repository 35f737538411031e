// A long name elided in the middle: equal numbers of characters kept at both
// ends, the most that fit, never a character cut in two.

#include "middle_elision.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// A text of one-unit characters with a width each, and the ellipsis' width.
struct Line {
    std::vector<int> widths;
    int ellipsis;

    std::vector<std::size_t> Cuts() const
    {
        std::vector<std::size_t> cuts;
        for (std::size_t i = 0; i <= widths.size(); ++i)
            cuts.push_back(i);
        return cuts;
    }
    int Width(ElidedSpan span) const
    {
        int width = ellipsis;
        for (std::size_t i = 0; i < widths.size(); ++i)
            width += (i < span.headEnd || i >= span.tailStart) ? widths[i] : 0;
        return width;
    }
    ElidedSpan Elide(int room) const
    {
        return ElideMiddle(Cuts(), [&](ElidedSpan span) { return Width(span) <= room; });
    }
};

std::string Shown(const std::string& text, ElidedSpan span)
{
    return text.substr(0, span.headEnd) + "~" + text.substr(span.tailStart);
}

TEST(MiddleElision, KeepsAsManyCharactersAtTheStartAsAtTheEnd)
{
    const std::string text = "abcdefghij";
    const Line narrow{std::vector<int>(10, 1), 1};
    EXPECT_EQ(Shown(text, narrow.Elide(7)), "abc~hij");  // 3 + 1 + 3
    EXPECT_EQ(Shown(text, narrow.Elide(8)), "abc~hij");  // a fourth pair needs 9
    EXPECT_EQ(Shown(text, narrow.Elide(9)), "abcd~ghij");
    // Wide characters at the start: still one each side, not by width.
    // 東 and 京 are 2 wide: 2 + 1 + 1 fits 6, 4 + 1 + 2 does not.
    const Line wideStart{{2, 2, 1, 1, 1, 1, 1, 1}, 1};
    EXPECT_EQ(wideStart.Elide(6).headEnd, 1u);
    EXPECT_EQ(wideStart.Elide(6).tailStart, 7u);
}

TEST(MiddleElision, NeverCutsInsideACharacter)
{
    // "ab" + a surrogate pair + "c" + "e" and its combining mark: code units
    // 0..7, characters starting at 0, 1, 2, 4, 5 and 7.
    const std::vector<std::size_t> cuts{0, 1, 2, 4, 5, 7};
    const auto all = [](ElidedSpan) { return true; };
    // Five characters: two kept each side at most, so the pair goes.
    EXPECT_EQ(ElideMiddle(cuts, all).headEnd, 2u);
    EXPECT_EQ(ElideMiddle(cuts, all).tailStart, 4u);
    const auto oneEach = [](ElidedSpan span) { return span.headEnd <= 1; };
    EXPECT_EQ(ElideMiddle(cuts, oneEach).tailStart, 5u);  // "e" with its mark
}

TEST(MiddleElision, WhatCannotFitKeepsTheEllipsisAlone)
{
    const Line text{{3, 3, 3}, 2};
    EXPECT_EQ(text.Elide(4).headEnd, 0u);
    EXPECT_EQ(text.Elide(4).tailStart, 3u);
    const Line one{{5}, 1};
    EXPECT_EQ(one.Elide(3).headEnd, 0u);
    EXPECT_EQ(one.Elide(3).tailStart, 1u);
    EXPECT_EQ(ElideMiddle({0}, [](ElidedSpan) { return false; }).tailStart, 0u);  // empty
}

TEST(MiddleElision, TheMostThatFitOverManyWidths)
{
    // Against counting up one pair at a time, the rule's plain reading.
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        Line text{std::vector<int>(1 + random() % 40), 1 + static_cast<int>(random() % 3)};
        for (int& width : text.widths)
            width = 1 + static_cast<int>(random() % 4);
        const int room = static_cast<int>(random() % 80);
        std::size_t each = 0;
        const std::size_t n = text.widths.size();
        while (2 * (each + 1) < n && text.Width({each + 1, n - each - 1}) <= room)
            ++each;
        const ElidedSpan span = text.Elide(room);
        EXPECT_EQ(span.headEnd, each) << round;
        EXPECT_EQ(span.tailStart, n - each) << round;
    }
}

} // namespace
