#pragma once

#include <cstddef>
#include <string>

// How many columns a terminal gives text, by Unicode's East Asian Width, the
// same on every system (each C library's wcwidth has its own ideas).

// 2 for Wide and Fullwidth characters, 0 for combining marks and the
// zero-width ones, 1 for the rest (half-width katakana among them).
unsigned CodePointColumns(char32_t code);

// The columns of UTF-8 text. A byte that is not part of valid UTF-8 counts
// as one column: terminals show one replacement character for it.
std::size_t TextColumns(const std::string& text);

// Where the longest tail of `text` at most `columns` wide begins: on the
// first byte of a character, never on a combining mark, which stays with the
// character it follows.
std::size_t TailFitting(const std::string& text, std::size_t columns);
