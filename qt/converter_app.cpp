#include "converter_app.h"

#include "converter_dlg.h"
#include "file_layer.h"
#include "program_file.h"
#include "start_place.h"
#include "window_answers.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

CConverterApp theApp;

namespace {

// What is printed must arrive, or the status says so.
int Print(const std::string& text)
{
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    const std::string reason = file_layer::SystemErrorText(errno);
    std::fprintf(stderr, "%s: write error: %s\n", ApplicationName().c_str(), reason.c_str());
    return 1;
}

} // namespace

bool CConverterApp::AnswerWithoutWindow(int& status) const
{
    switch (WindowRequestFor(m_commandLine)) {
    case WindowRequest::kHelp:
        status = Print(WindowUsageText());
        return true;
    case WindowRequest::kVersion:
        status = Print(WindowVersionText());
        return true;
    case WindowRequest::kOpen:
        break;
    }
    return false;
}

bool CConverterApp::InitInstance()
{
    CConverterDlg dlg;
    if (!m_commandLine.empty()) {
        StartPlace place = StartPlaceFor(m_commandLine);
        // On standard error for a terminal, in a box for the desktop; then
        // the window opens as if they had not been given.
        if (!place.refused.empty()) {
            for (const RefusedArgument& refused : place.refused)
                std::fprintf(stderr, "%s: %s\n", ApplicationName().c_str(), RefusalText(refused).c_str());
            std::fflush(stderr);
            ShowApplicationMessage(RefusalLines(place.refused), nullptr);
        }
        dlg.SetStartPlace(std::move(place));
    }
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
