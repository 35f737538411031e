#include "dialog_fit.h"

#include "dialog_units.h"
#include "screen_fit.h"

#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

screen_fit::Rect ToFitRect(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

} // namespace

// The window core's rule, in Qt's types.
double FittingScale(const std::function<QSize(double)>& outerSizeAt, QSize available, double step, double smallest)
{
    const auto fitSizeAt = [&](double scale) {
        const QSize size = outerSizeAt(scale);
        return screen_fit::Size{size.width(), size.height()};
    };
    return screen_fit::FittingScale(fitSizeAt, {available.width(), available.height()}, step, smallest);
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
    const screen_fit::Point at = screen_fit::FrameInside(ToFitRect(frame), ToFitRect(available));
    return {at.x, at.y};
}

QPoint ClientPlacement(const QSize& client, const QMargins& frame, const QRect& available)
{
    const QSize outer = client.grownBy(frame);
    const QRect centred(available.center() - QPoint(outer.width() / 2, outer.height() / 2), outer);
    return FrameInside(centred, available) + QPoint(frame.left(), frame.top());
}

QScreen* ScreenForNewWindow()
{
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    return screen ? screen : QGuiApplication::primaryScreen();
}

namespace {

// A top-level window is placed before the window manager has framed it, so by
// its client area; the keeper places it with room for a frame of the usual
// size. The real frame arrives some time after the window is shown, with no
// event of its own: the keeper looks now and then until the frame is known
// (or a while has passed), and moves the window once more if its frame
// reaches past the screen. Moves of the user's own are left alone.
class ScreenKeeper : public QObject {
public:
    explicit ScreenKeeper(QWidget& window) : QObject(&window), m_window(window)
    {
        window.installEventFilter(this);
        m_timer.setInterval(kLookEveryMs);
        connect(&m_timer, &QTimer::timeout, this, [this] { Look(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // After the dialog has placed itself, which it does as it handles
        // the same event.
        if (watched == &m_window && event->type() == QEvent::Show) {
            // Placed here, before the dialog would place it by its client
            // area alone: centred on its screen with room for a frame.
            const QScreen* screen = ScreenForNewWindow();
            if (screen && !m_window.testAttribute(Qt::WA_Moved)) {
                const QMargins frame = EstimatedFrame(m_window.font());
                m_window.move(ClientPlacement(m_window.size(), frame, screen->availableGeometry()));
            }
            m_looks = 0;
            m_timer.start();
        }
        return false;
    }

private:
    static constexpr int kLookEveryMs = 50;
    static constexpr int kLooks = 40;

    void Look()
    {
        const QRect frame = m_window.frameGeometry();
        const bool framed = frame != m_window.geometry();
        if (!framed && ++m_looks < kLooks)
            return;
        m_timer.stop();
        const QScreen* screen = m_window.screen();
        if (!screen || !m_window.isVisible())
            return;
        const QPoint inside = FrameInside(frame, screen->availableGeometry());
        if (inside != frame.topLeft())
            m_window.move(inside);  // a top-level's position is its frame's
    }

    QWidget& m_window;
    QTimer m_timer;
    int m_looks = 0;
};

} // namespace

void KeepOnScreen(QWidget& window)
{
    new ScreenKeeper(window);
}
