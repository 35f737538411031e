// tavrino-pcap-converter.exe: the converter window on Windows.

#include "converter_dlg.h"
#include "program_file.h"
#include "runtime_zone.h"
#include "window_answers.h"
#include "windows_text.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

namespace {

// A box of its own, before any window: the answer to --help or --version.
void ShowAnswer(const std::string& text)
{
    std::wstring wideText, wideCaption;
    windows_text::Utf8ToWide(text, wideText);
    windows_text::Utf8ToWide(ApplicationName(), wideCaption);
    MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), MB_OK);
}

// The arguments refused, then a time zone the runtime would misread: what
// the window says once it is up, in one box.
std::string StartWarning(const StartPlace& place)
{
    const std::string refused = RefusalLines(place.refused);
    const std::string zone = runtime_zone::EnvironmentZoneWarning();
    return refused + (refused.empty() || zone.empty() ? "" : "\n\n") + zone;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // The folder chooser is a COM object of the shell.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    // Files dropped on the program, or "Open with", arrive as arguments.
    std::vector<std::string> commandLine;
    int count = 0;
    if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            commandLine.push_back(windows_text::WideToUtf8(argv[i]));
        LocalFree(argv);
    }
    const WindowRequest request = WindowRequestFor(commandLine);
    if (request != WindowRequest::kOpen) {
        ShowAnswer(request == WindowRequest::kHelp ? WindowUsageText() : WindowVersionText());
    } else {
        StartPlace place = StartPlaceFor(commandLine);
        // An argument it cannot open on is named with its reason, and the
        // window opens where it would have without it. The C runtime reads a
        // TZ it does not understand as some other zone without a word: say
        // so, and which zone the time stamps will use.
        const std::string warning = StartWarning(place);
        CConverterDlg dialog(std::move(place));
        dialog.WarnAtStart(warning);
        dialog.DoModal();
    }
    if (com)
        CoUninitialize();
    return 0;
}
