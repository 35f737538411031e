#pragma once

#include <string>
#include <vector>

class QWidget;

// The application object: runs the converter dialog once, modally.
class CConverterApp {
public:
    CConverterApp() = default;

    // Runs the dialog and returns false: the program ends when it closes,
    // without entering an event loop of its own.
    bool InitInstance();

    // The command line as main() got it: the program as started, then the
    // folder or the captures to open on.
    std::vector<std::string> m_commandLine;

    // The main window: the dialog, while it exists.
    QWidget* m_pMainWnd = nullptr;
};

extern CConverterApp theApp;
