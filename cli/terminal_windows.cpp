#include "line_terminal.h"

#include "progress_line.h"
#include "text_output.h"

#include <windows.h>

#include <algorithm>

namespace {

HANDLE ErrorHandle() { return GetStdHandle(STD_ERROR_HANDLE); }

// Blanks the line of `shown` cells that begins at the cursor, on as many
// rows as it may take now, and one more for the cells that wide characters
// leave blank at rows' ends; nothing is ever below it. The cursor, kept at the
// line's start, stays on the line's first row whether a narrower window had
// the console rewrap the line (Windows 10's console, Windows Terminal) or
// not (older consoles, whose buffer keeps its width).
void WipeFromCursor(std::size_t shown)
{
    const HANDLE console = ErrorHandle();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console, &info) || info.dwSize.X <= 0)
        return;
    const long width = info.dwSize.X;
    const long row = info.dwCursorPosition.Y;
    const long rows = std::min((static_cast<long>(shown) + width - 1) / width + 1, info.dwSize.Y - row);
    const COORD start{0, static_cast<SHORT>(row)};
    DWORD written = 0;
    FillConsoleOutputCharacterW(console, L' ', static_cast<DWORD>(rows * width), start, &written);
    SetConsoleCursorPosition(console, start);
}

class ConsoleTerminal final : public LineTerminal {
public:
    // The window's width, which may be narrower than the buffer's.
    std::size_t Columns() override
    {
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (!GetConsoleScreenBufferInfo(ErrorHandle(), &info))
            return 80;
        const int columns = info.srWindow.Right - info.srWindow.Left + 1;
        return columns > 0 ? static_cast<std::size_t>(columns) : 80;
    }

    void Replace(std::size_t shown, const std::string& text) override
    {
        if (shown != 0)
            WipeFromCursor(shown);
        WriteStandardError("\r" + text + "\r");
    }
};

} // namespace

std::unique_ptr<LineTerminal> StandardErrorTerminal() { return std::make_unique<ConsoleTerminal>(); }

// The control handler runs on a thread of its own and may call anything.
void WipeProgressLineOnStop()
{
    const std::size_t shown = ProgressLineWidthOnScreen();
    if (shown != 0)
        WipeFromCursor(shown);
}
