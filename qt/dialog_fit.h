#pragma once

// A dialog laid out in dialog units grows with the desktop's font; with a
// large font on a small screen it would outgrow the screen. Then the font is
// scaled down until the dialog, with its window frame, fits the screen's free
// area; whenever it fits at the desktop's size, nothing changes.

#include <QFont>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>

class QScreen;
class QWidget;

// The largest of the scales 1, 1 - step, 1 - 2 step ... down to `smallest`
// at which `outerSizeAt(scale)` fits within `available`; `smallest` when none
// does.
double FittingScale(const std::function<QSize(double)>& outerSizeAt, QSize available, double step = 0.02,
                    double smallest = 0.3);

// `font` with its size (points, or pixels for a font given in pixels) times `scale`.
QFont ScaledFont(const QFont& font, double scale);

// A window frame's room, before the window manager has told it: a title bar
// of about two lines of `font` and thin borders.
QMargins EstimatedFrame(const QFont& font);

// `font`, or the largest scaled-down size of it at which a dialog of `cx` by
// `cy` dialog units with its frame fits `available`.
QFont FontThatFits(const QFont& font, int cx, int cy, const QRect& available);

// Where a window's frame goes so that it lies within `available`: moved as
// little as possible, and when larger than the area, its top left corner (the
// title bar) is the part kept on screen.
QPoint FrameInside(const QRect& frame, const QRect& available);

// Where a window's client area goes so that its frame, `frame` around it, is
// centred in `available`, or kept inside it with its title bar on screen.
QPoint ClientPlacement(const QSize& client, const QMargins& frame, const QRect& available);

// The screen a new top-level window opens on: the one under the pointer.
QScreen* ScreenForNewWindow();

// Keeps `window`'s title bar on its screen: it opens centred on its screen
// with room for a frame, and once the window manager has framed it, a frame
// reaching past the screen's free area is moved back inside.
void KeepOnScreen(QWidget& window);
