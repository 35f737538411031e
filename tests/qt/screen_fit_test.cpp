// The dialog on a screen too small for it at the desktop's font: the font is
// scaled down until the dialog with its frame fits, and the title bar stays on
// the screen.

#include "dialog_fit.h"
#include "dialog_fixture.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <QScreen>

namespace {

std::string Shown(const QRect& r)
{
    return std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" + std::to_string(r.x()) + "+" +
           std::to_string(r.y());
}

} // namespace

TEST(DialogFit, ScaleIsTheLargestStepAtWhichItFits)
{
    // 736 x 844 with a 60-pixel frame at the desktop's size, as with a 2x font.
    const auto outer = [](double scale) {
        return QSize(static_cast<int>(736 * scale) + 12, static_cast<int>(844 * scale) + 60);
    };
    EXPECT_DOUBLE_EQ(FittingScale(outer, QSize(1920, 1200)), 1.0);
    // 844 x 0.88 + 60 = 802 is too tall for 800; 0.86 gives 785.
    EXPECT_NEAR(FittingScale(outer, QSize(1280, 800)), 0.86, 1e-9);
    EXPECT_NEAR(FittingScale(outer, QSize(600, 1200)), 0.8, 1e-9);  // (600 - 12) / 736 = 0.799
    EXPECT_DOUBLE_EQ(FittingScale(outer, QSize(100, 100)), 0.3);
}

TEST(DialogFit, FrameIsMovedInsideKeepingItsTitleBar)
{
    const QRect screen(1920, 0, 1280, 800);
    EXPECT_EQ(FrameInside(QRect(2000, 100, 400, 300), screen), QPoint(2000, 100));
    EXPECT_EQ(FrameInside(QRect(2000, -40, 400, 300), screen), QPoint(2000, 0));
    EXPECT_EQ(FrameInside(QRect(3000, 700, 400, 300), screen), QPoint(2800, 500));
    // Taller or wider than the screen: the top left corner is what stays.
    EXPECT_EQ(FrameInside(QRect(2000, -20, 1400, 900), screen), QPoint(1920, 0));
}

TEST(DialogFit, ClientIsPlacedWithRoomForTheTitleBar)
{
    // A 2x desktop font: 640 x 400 in Qt's coordinates; a 30-pixel title bar.
    const QRect screen(0, 0, 640, 400);
    const QMargins frame(1, 30, 1, 4);
    // Centred: the frame of 317 x 365 at 161, 17.
    EXPECT_EQ(ClientPlacement(QSize(315, 331), frame, screen), QPoint(162, 47));
    // Taller than the screen with its frame: the title bar stays on it.
    EXPECT_EQ(ClientPlacement(QSize(315, 380), frame, screen), QPoint(162, 30));
}

class SmallScreen : public DialogTest {
protected:
    void SetUp() override
    {
        desktop = QApplication::font();
        if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
            GTEST_SKIP() << "the small screen is one of the offscreen platform's";
        for (QScreen* screen : QGuiApplication::screens()) {
            if (screen->geometry().size() == QSize(1280, 800))
                small = screen;
        }
        ASSERT_NE(small, nullptr) << "the tests' offscreen screens are not configured";
        QCursor::setPos(small->geometry().center());
    }
    void TearDown() override
    {
        QApplication::setFont(desktop);
        QCursor::setPos(0, 0);
        DialogTest::TearDown();
    }

    QScreen* small = nullptr;
    QFont desktop;
};

TEST_F(SmallScreen, LargeFontIsScaledDownUntilTheWholeDialogIsOnScreen)
{
    QFont large = desktop;
    large.setPointSizeF(desktop.pointSizeF() * 2);
    QApplication::setFont(large);
    OpenDialog();

    const QRect area = small->availableGeometry();
    const QMargins frame = EstimatedFrame(large);
    EXPECT_TRUE(area.contains(dlg->frameGeometry())) << Shown(dlg->frameGeometry()) << " on " << Shown(area);
    EXPECT_LE(dlg->height() + frame.top() + frame.bottom(), area.height());
    EXPECT_LT(dlg->font().pointSizeF(), large.pointSizeF());

    // The controls are laid out with the smaller font: "Start conversion" is
    // inside the dialog.
    const QRect button = dlg->m_btnStartConversion->geometry();
    EXPECT_TRUE(dlg->rect().contains(button)) << Shown(button);

    // Only as much smaller as needed: the dialog at a font larger by 3% of the
    // desktop's size, opened on the large screen where it has room, is too
    // tall for this one.
    const double chosen = dlg->font().pointSizeF();
    dlg.reset();
    QFont larger = large;
    larger.setPointSizeF(chosen + 0.03 * large.pointSizeF());
    QApplication::setFont(larger);
    QCursor::setPos(0, 0);
    OpenDialog();
    ASSERT_EQ(dlg->font().pointSizeF(), larger.pointSizeF()) << "made smaller on the large screen too";
    EXPECT_GT(dlg->height() + frame.top() + frame.bottom(), area.height()) << dlg->height();
}
