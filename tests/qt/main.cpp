// The window's tests run offscreen: no display is needed.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv)
{
    // Two screens: a large one, where the dialog has room at any font the
    // tests use, and beside it a small one (1280 x 800) to squeeze it.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TPC_OFFSCREEN_SCREENS);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
