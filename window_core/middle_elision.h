#pragma once

// A name too long for its place gives up its middle to an ellipsis, so that
// names differing only at the end (…その１.DT, …その２.DT) stay apart. As many
// characters are kept at its start as at its end, the most that fit: the rule
// of the Linux window's list (Qt's middle elision). Each window measures with
// its own toolkit.

#include <cstddef>
#include <functional>
#include <vector>

// What stays of a text: [0, headEnd) before the ellipsis, [tailStart, end) after it.
struct ElidedSpan {
    std::size_t headEnd;
    std::size_t tailStart;
};

// The largest count in [0, most] for which `fits(count)` holds, fits(0)
// taken for granted; `fits` holds for every count below one it holds for.
std::size_t MostThatFits(std::size_t most, const std::function<bool(std::size_t)>& fits);

// `cuts`: where the text may be cut, rising, from 0 to its length (never
// inside a character: a surrogate pair, a letter with its marks). `fits`:
// whether the head, the ellipsis and the tail fit, growing wider as they grow.
// For a text that does not fit whole: at least one character goes, and with
// nothing kept at either end the ellipsis stands alone.
ElidedSpan ElideMiddle(const std::vector<std::size_t>& cuts, const std::function<bool(ElidedSpan)>& fits);
