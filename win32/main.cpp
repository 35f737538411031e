// tavrino-pcap-converter.exe: the converter window on Windows.

#include "converter_dlg.h"
#include "runtime_zone.h"
#include "windows_text.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

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
    {
        CConverterDlg dialog(StartPlaceFor(commandLine));
        // The C runtime reads a TZ it does not understand as some other zone
        // without a word: say so, and which zone the time stamps will use.
        dialog.WarnAtStart(runtime_zone::EnvironmentZoneWarning());
        dialog.DoModal();
    }
    if (com)
        CoUninitialize();
    return 0;
}
