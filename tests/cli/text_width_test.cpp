// Columns as a terminal shows text, by East Asian Width; each expected value
// worked out from the Unicode character tables.

#include "text_width.h"

#include <gtest/gtest.h>

TEST(TextWidth, CodePointsTakeTheirEastAsianWidth)
{
    EXPECT_EQ(CodePointColumns(U'A'), 1u);
    EXPECT_EQ(CodePointColumns(0x00E9), 1u);   // é, Ambiguous: one column
    EXPECT_EQ(CodePointColumns(0x3042), 2u);   // あ, Wide
    EXPECT_EQ(CodePointColumns(0x4E00), 2u);   // 一, Wide
    EXPECT_EQ(CodePointColumns(0xFF76), 1u);   // ｶ, Halfwidth
    EXPECT_EQ(CodePointColumns(0xFF60), 2u);   // ｠, the last Fullwidth before the Halfwidth forms
    EXPECT_EQ(CodePointColumns(0xFF61), 1u);   // ｡, the first of them
    EXPECT_EQ(CodePointColumns(0x1F41F), 2u);  // 🐟, Wide
    EXPECT_EQ(CodePointColumns(0x2FFFD), 2u);  // unassigned in plane 2: Wide by default
    EXPECT_EQ(CodePointColumns(0x10FFFF), 1u);
}

TEST(TextWidth, CombiningMarksAndZeroWidthCharactersTakeNone)
{
    EXPECT_EQ(CodePointColumns(0x0300), 0u);  // the first combining mark (Mn)
    EXPECT_EQ(CodePointColumns(0x0301), 0u);
    EXPECT_EQ(CodePointColumns(0x3099), 0u);  // the kana voiced sound mark: Mn, though Wide
    EXPECT_EQ(CodePointColumns(0x20DD), 0u);  // enclosing circle (Me)
    EXPECT_EQ(CodePointColumns(0x200B), 0u);  // zero-width space
    EXPECT_EQ(CodePointColumns(0xFE0F), 0u);  // variation selector 16
    EXPECT_EQ(CodePointColumns(0x1160), 0u);  // a Hangul vowel, drawn into the syllable before it
}

TEST(TextWidth, TextAddsUpItsCharacters)
{
    EXPECT_EQ(TextColumns(""), 0u);
    EXPECT_EQ(TextColumns("run1.DT"), 7u);
    EXPECT_EQ(TextColumns("\xef\xbd\xb6\xef\xbe\x85.DT"), 5u);   // ｶﾅ.DT
    EXPECT_EQ(TextColumns("\xe3\x81\x82\xe3\x81\x84.DT"), 7u);   // あい.DT
    EXPECT_EQ(TextColumns("e\xcc\x81" "e\xcc\x81"), 2u);         // two é made of e and U+0301
    EXPECT_EQ(TextColumns("\xf0\x9f\x90\x9f"), 2u);              // 🐟
    EXPECT_EQ(TextColumns("a\xff\xe3\x81"), 4u);  // a stray byte and a cut-off sequence: one column a byte
}
