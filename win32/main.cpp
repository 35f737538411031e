// tavrino-pcap-converter.exe: the converter window on Windows.

#include "converter_dlg.h"

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // The folder chooser is a COM object of the shell.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    {
        CConverterDlg dialog;
        dialog.DoModal();
    }
    if (com)
        CoUninitialize();
    return 0;
}
