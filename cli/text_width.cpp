#include "text_width.h"

#include "text_width_table.h"
#include "utf8.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// The character at `at` and its length in bytes; a byte that begins no valid
// sequence stands alone, as one column.
std::size_t Next(const std::string& text, std::size_t at, unsigned& columns)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    char32_t code = lead;
    const std::size_t length = lead < 0x80 ? 1 : Utf8Length(text, at, code);
    columns = length == 0 ? 1 : CodePointColumns(code);
    return length == 0 ? 1 : length;
}

} // namespace

unsigned CodePointColumns(char32_t code)
{
    using text_width_table::kRanges;
    const auto after = std::upper_bound(std::begin(kRanges), std::end(kRanges), code,
                                        [](char32_t c, const text_width_table::Range& range) { return c < range.first; });
    if (after == std::begin(kRanges))
        return 1;
    const text_width_table::Range& range = *std::prev(after);
    return code <= range.last ? range.columns : 1;
}

std::size_t TextColumns(const std::string& text)
{
    std::size_t total = 0;
    for (std::size_t at = 0; at < text.size();) {
        unsigned columns = 0;
        at += Next(text, at, columns);
        total += columns;
    }
    return total;
}

std::size_t TailFitting(const std::string& text, std::size_t columns)
{
    // Each character with the zero-width ones that follow it, as one piece.
    struct Piece {
        std::size_t start, columns;
    };
    std::vector<Piece> pieces;
    for (std::size_t at = 0; at < text.size();) {
        unsigned width = 0;
        const std::size_t length = Next(text, at, width);
        if (width != 0 || pieces.empty())
            pieces.push_back({at, width});
        at += length;
    }
    std::size_t start = text.size(), used = 0;
    for (auto piece = pieces.rbegin(); piece != pieces.rend() && used + piece->columns <= columns; ++piece) {
        used += piece->columns;
        start = piece->start;
    }
    return start;
}
