// tavrino-pcap-converter: the converter window.

#include "converter_app.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv)
{
    // Past a file-size limit a write fails and its message box says so,
    // instead of the signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // The arguments are the folder or captures to open on (the menu entry's %F);
    // Qt is given only the program's name.
    theApp.m_commandLine.assign(argv, argv + argc);
    int status = 0;
    if (theApp.AnswerWithoutWindow(status))
        return status;
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    // Where the window manager takes icons from the menu entry (Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral(TPC_APP_ID));
    if (!theApp.InitInstance())
        return 0;
    return application.exec();
}
