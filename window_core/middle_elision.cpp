#include "middle_elision.h"

std::size_t MostThatFits(std::size_t most, const std::function<bool(std::size_t)>& fits)
{
    std::size_t low = 0, high = most;
    while (low < high) {
        const std::size_t middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

ElidedSpan ElideMiddle(const std::vector<std::size_t>& cuts, const std::function<bool(ElidedSpan)>& fits)
{
    if (cuts.size() < 2)
        return {0, cuts.empty() ? 0 : cuts.back()};
    const std::size_t characters = cuts.size() - 1;
    const auto keeping = [&](std::size_t each) { return ElidedSpan{cuts[each], cuts[characters - each]}; };
    // The most characters kept at each end; one at least is dropped, or the
    // text would come back whole with an ellipsis in it.
    return keeping(MostThatFits((characters - 1) / 2, [&](std::size_t each) { return fits(keeping(each)); }));
}
