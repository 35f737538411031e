#pragma once

#include <string>
#include <vector>

class QWidget;

// The application object: runs the converter dialog once, modally.
class CConverterApp {
public:
    CConverterApp() = default;

    // What is asked instead of the window: --help and --version are answered
    // on standard output. True when the program ends there, with `status`
    // (1 when the answer could not be written); false when the window opens.
    // Needs no display, so it comes before the application object.
    bool AnswerWithoutWindow(int& status) const;

    // Reports the arguments the window does not open on, then runs the dialog
    // and returns false: the program ends when it closes, without entering an
    // event loop of its own.
    bool InitInstance();

    // The command line as main() got it: the program as started, then the
    // folder or the captures to open on.
    std::vector<std::string> m_commandLine;

    // The main window: the dialog, while it exists.
    QWidget* m_pMainWnd = nullptr;
};

extern CConverterApp theApp;
