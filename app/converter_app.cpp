#include "converter_app.h"

#include "converter_dlg.h"
#include "program_path.h"
#include "start_place.h"

#include <cstdlib>

CConverterApp theApp;

bool CConverterApp::InitInstance()
{
    CConverterDlg dlg;
    if (!m_commandLine.empty()) {
        const char* searchPath = std::getenv("PATH");
        const std::string working = WorkingFolder();
        std::string started = StartedProgramPath(m_commandLine[0], searchPath ? searchPath : "", working);
        if (started.empty())
            started = ProgramFilePath();
        dlg.SetStartPlace(ChooseStartPlace({m_commandLine.begin() + 1, m_commandLine.end()}, started, working));
    }
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
