#include "screen_fit.h"

#include <algorithm>

namespace screen_fit {

double FittingScale(const std::function<Size(double)>& outerSizeAt, Size available, double step, double smallest)
{
    for (int i = 0;; ++i) {
        const double scale = 1.0 - i * step;
        if (scale <= smallest)
            return smallest;
        const Size size = outerSizeAt(scale);
        if (size.width <= available.width && size.height <= available.height)
            return scale;
    }
}

Point FrameInside(const Rect& frame, const Rect& available)
{
    int x = frame.left;
    int y = frame.top;
    if (frame.right > available.right)
        x -= frame.right - available.right;
    if (frame.bottom > available.bottom)
        y -= frame.bottom - available.bottom;
    return {std::max(x, available.left), std::max(y, available.top)};
}

} // namespace screen_fit
