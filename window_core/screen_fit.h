#pragma once

// A dialog laid out in dialog units grows with the desktop's font, and with a
// large font on a small screen it would outgrow the screen's free area. Then
// its font is made smaller, step by step, until the dialog with its frame
// fits; where it fits at the desktop's size nothing changes. The rule of both
// windows; each measures its dialog with its own toolkit.

#include <functional>

namespace screen_fit {

struct Size {
    int width;
    int height;
};

// Edges as the Windows API has them: right and bottom just outside.
struct Rect {
    int left, top, right, bottom;
};

struct Point {
    int x, y;
};

// The largest of the scales 1, 1 - step, 1 - 2 step ... above `smallest` at
// which `outerSizeAt(scale)` fits within `available`; `smallest` when none does.
double FittingScale(const std::function<Size(double)>& outerSizeAt, Size available, double step = 0.02,
                    double smallest = 0.3);

// Where a window's frame goes so that it lies within `available`: moved as
// little as possible, and when larger than the area, its top left corner (the
// title bar) is the part kept on screen.
Point FrameInside(const Rect& frame, const Rect& available);

} // namespace screen_fit
