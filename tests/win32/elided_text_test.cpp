// Names elided in the middle as the Windows window draws them: measured in a
// real font, cut only between whole characters.

#include "elided_text_windows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

const std::wstring kStem = L"東京_回線1_夜間監視_第二ビル_北側ラック_上段_スイッチ_ポート全部_長期記録_二〇二四年四月分_月曜_";

TEST(ElidedText, CharactersStayWhole)
{
    // a, a fish (a surrogate pair), か with a combining voiced mark, b.
    EXPECT_EQ(CharacterCuts(L"a\U0001F41F\u304B\u3099b"), (std::vector<std::size_t>{0, 1, 3, 5, 6}));
    // Joined by a zero width joiner: one character.
    EXPECT_EQ(CharacterCuts(L"x\U0001F469\u200D\U0001F4BBy"), (std::vector<std::size_t>{0, 1, 6, 7}));
    EXPECT_EQ(CharacterCuts(L""), std::vector<std::size_t>{0});
}

TEST(ElidedText, LongNamesKeepTheirStartAndEndAndStayApart)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring first = kStem + L"その１.DT", second = kStem + L"その２.DT";
    ASSERT_EQ(first.size(), 60u);
    const int room = TextWidth(dc, first) / 3;
    const std::wstring shownFirst = ElidedInMiddle(dc, first, room);
    const std::wstring shownSecond = ElidedInMiddle(dc, second, room);
    EXPECT_NE(shownFirst, shownSecond);
    EXPECT_LE(TextWidth(dc, shownFirst), room);
    EXPECT_EQ(shownFirst.substr(0, 2), L"東京") << shownFirst.size();
    EXPECT_EQ(shownFirst.substr(shownFirst.size() - 6), L"その１.DT");
    EXPECT_NE(shownFirst.find(L'\u2026'), std::wstring::npos);
    // Whole where it fits.
    EXPECT_EQ(ElidedInMiddle(dc, L"短い.DT", room), L"短い.DT");
    DeleteDC(dc);
}

} // namespace
