#include "platform.h"

#include "file_layer.h"
#include "line_terminal.h"
#include "windows_text.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Ctrl+C, Ctrl+Break, a closed console: remove the unfinished output and the
// progress line, and end with the status a stop by Ctrl+C gives (the
// system's own handling does not reliably give it).
BOOL WINAPI OnConsoleControl(DWORD)
{
    file_layer::RemoveUnfinishedFiles();
    WipeProgressLineOnStop();
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
    // The console's code page is left as it is: text reaches a console as
    // characters (text_output_windows.cpp).
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
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
