#include "own_console.h"
#include "platform.h"
#include "text_output.h"

#include <windows.h>

namespace {

// Shift, Ctrl or Alt alone is no answer: Alt+Tab back to the window would
// otherwise close it.
bool IsModifier(WORD key)
{
    switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
        return true;
    default:
        return false;
    }
}

} // namespace

bool ConsoleIsItsOwn()
{
    ConsoleAtStart console;
    DWORD list[2];
    console.processes = GetConsoleProcessList(list, 2);
    DWORD mode = 0;
    console.inputIsConsole = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
    console.outputIsConsole = StandardOutputIsTerminal();
    console.errorIsConsole = StandardErrorIsTerminal();
    const HWND window = GetConsoleWindow();
    console.windowShown = window != nullptr && IsWindowVisible(window);
    return IsConsoleOfItsOwn(console);
}

void WaitForKey()
{
    // Keys pressed during the conversion are no answer to a question not yet asked.
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    FlushConsoleInputBuffer(input);
    WriteStandardError("\nPress any key to close this window.");
    INPUT_RECORD record;
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
            !IsModifier(record.Event.KeyEvent.wVirtualKeyCode))
            break;
    }
}
