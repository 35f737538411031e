#pragma once

#include <cstddef>
#include <string>

// Length of the valid UTF-8 sequence at `at` in `s`, 0 when there is none
// (a stray continuation byte, an overlong form, a surrogate, a cut-off end);
// `code` gets the character it encodes.
std::size_t Utf8Length(const std::string& s, std::size_t at, char32_t& code);
