#include "dialog_fit.h"

#include "dialog_units.h"

#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

double FittingScale(const std::function<QSize(double)>& outerSizeAt, QSize available, double step, double smallest)
{
    for (int i = 0;; ++i) {
        const double scale = 1.0 - i * step;
        if (scale <= smallest)
            return smallest;
        const QSize size = outerSizeAt(scale);
        if (size.width() <= available.width() && size.height() <= available.height())
            return scale;
    }
}

QFont ScaledFont(const QFont& font, double scale)
{
    QFont scaled = font;
    if (font.pointSizeF() > 0)
        scaled.setPointSizeF(font.pointSizeF() * scale);
    else
        scaled.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * scale))));
    return scaled;
}

QMargins EstimatedFrame(const QFont& font)
{
    const int line = QFontMetrics(font).height();
    const int border = std::max(4, line / 4);
    return {border, std::max(30, 2 * line), border, border};
}

QFont FontThatFits(const QFont& font, int cx, int cy, const QRect& available)
{
    // The frame is the window manager's, drawn at the desktop's size whatever
    // font the dialog ends up with.
    const QMargins frame = EstimatedFrame(font);
    const auto outerSizeAt = [&](double scale) {
        const PixelRect client = MapDialogRect(0, 0, cx, cy, BaseUnitsOf(ScaledFont(font, scale)));
        return QSize(client.width + frame.left() + frame.right(), client.height + frame.top() + frame.bottom());
    };
    const double scale = FittingScale(outerSizeAt, available.size());
    return scale == 1.0 ? font : ScaledFont(font, scale);
}

QPoint FrameInside(const QRect& frame, const QRect& available)
{
    int x = frame.x();
    int y = frame.y();
    if (frame.right() > available.right())
        x -= frame.right() - available.right();
    if (frame.bottom() > available.bottom())
        y -= frame.bottom() - available.bottom();
    return {std::max(x, available.left()), std::max(y, available.top())};
}

QScreen* ScreenForNewWindow()
{
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    return screen ? screen : QGuiApplication::primaryScreen();
}

namespace {

// Acts when the window is shown and when its frame changes (the window
// manager has framed it), never on a move of the user's own.
class ScreenKeeper : public QObject {
public:
    explicit ScreenKeeper(QWidget& window) : QObject(&window), m_window(window) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Once shown, after the dialog has placed itself (which it does as it
        // handles the same event).
        if (watched == &m_window && event->type() == QEvent::Show)
            QMetaObject::invokeMethod(this, [this] { Check(true); }, Qt::QueuedConnection);
        if (watched == &m_window && event->type() == QEvent::Move && m_placed)
            Check(false);
        return false;
    }

private:
    void Check(bool shown)
    {
        const QRect frame = m_window.frameGeometry();
        const QRect client = m_window.geometry();
        const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                               frame.right() - client.right(), frame.bottom() - client.bottom());
        if (!shown && margins == m_margins)
            return;
        m_margins = margins;
        m_placed = true;
        const QScreen* screen = m_window.screen();
        if (!screen)
            return;
        const QPoint inside = FrameInside(frame, screen->availableGeometry());
        if (inside != frame.topLeft())
            m_window.move(inside);  // a top-level's position is its frame's
    }

    QWidget& m_window;
    QMargins m_margins;
    bool m_placed = false;  // shown and placed by the dialog itself
};

} // namespace

void KeepOnScreen(QWidget& window)
{
    new ScreenKeeper(window);
}
