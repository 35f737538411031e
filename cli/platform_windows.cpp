#include "platform.h"

#include "file_layer.h"
#include "line_terminal.h"
#include "windows_text.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace {

UINT originalOutputCodePage = 0;

void RestoreCodePage()
{
    if (originalOutputCodePage != 0)
        SetConsoleOutputCP(originalOutputCodePage);
}

// Ctrl+C, Ctrl+Break, a closed console: remove the unfinished output and the
// progress line, give the console back its code page, and end with the status
// a stop by Ctrl+C gives (the system's own handling neither restores the one
// nor reliably gives the other).
BOOL WINAPI OnConsoleControl(DWORD)
{
    file_layer::RemoveUnfinishedFiles();
    WipeProgressLineOnStop();
    RestoreCodePage();
    ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

// A console, not a file, a pipe or the NUL device (which the C runtime's
// isatty takes for a terminal).
bool IsConsole(DWORD which)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

} // namespace

void PrepareProcess()
{
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    // Messages and the help text byte for byte as on other systems: "\n", not "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Names are UTF-8; so is what a console shows while we run.
    if (IsConsole(STD_ERROR_HANDLE) || IsConsole(STD_OUTPUT_HANDLE)) {
        originalOutputCodePage = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
        std::atexit(RestoreCodePage);
    }
}

bool StandardOutputIsTerminal() { return IsConsole(STD_OUTPUT_HANDLE); }

bool StandardOutputIsOpen()
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    return output != nullptr && output != INVALID_HANDLE_VALUE;
}

bool StandardErrorIsTerminal() { return IsConsole(STD_ERROR_HANDLE); }

// The arguments arrive as UTF-16; everything inside works on UTF-8.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(windows_text::WideToUtf8(argv[i]));
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(&argument[0]);
    pointers.push_back(nullptr);
    return Dt2pcapMain(argc, pointers.data());
}
