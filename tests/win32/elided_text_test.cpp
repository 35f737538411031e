// Where the Windows window may cut a name it elides: only between whole
// characters, as the system classifies them.

#include "elided_text_windows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

TEST(ElidedText, CharactersStayWhole)
{
    // a, a fish (a surrogate pair), か with a combining voiced mark, b.
    EXPECT_EQ(CharacterCuts(L"a\U0001F41F\u304B\u3099b"), (std::vector<std::size_t>{0, 1, 3, 5, 6}));
    // Joined by a zero width joiner: one character.
    EXPECT_EQ(CharacterCuts(L"x\U0001F469\u200D\U0001F4BBy"), (std::vector<std::size_t>{0, 1, 6, 7}));
    EXPECT_EQ(CharacterCuts(L""), std::vector<std::size_t>{0});
}

} // namespace
