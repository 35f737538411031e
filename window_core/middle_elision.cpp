#include "middle_elision.h"

ElidedSpan ElideMiddle(const std::vector<std::size_t>& cuts, const std::function<bool(ElidedSpan)>& fits)
{
    if (cuts.size() < 2)
        return {0, cuts.empty() ? 0 : cuts.back()};
    const std::size_t characters = cuts.size() - 1;
    const auto keeping = [&](std::size_t each) { return ElidedSpan{cuts[each], cuts[characters - each]}; };
    // Binary search for the most characters kept at each end; one at least
    // is dropped, or the text would come back whole with an ellipsis in it.
    std::size_t low = 0, high = (characters - 1) / 2;
    while (low < high) {
        const std::size_t middle = low + (high - low + 1) / 2;
        if (fits(keeping(middle)))
            low = middle;
        else
            high = middle - 1;
    }
    return keeping(low);
}
