#include "line_terminal.h"

#include "progress_line.h"

#include <windows.h>

#include <cstdio>

namespace {

HANDLE ErrorHandle() { return GetStdHandle(STD_ERROR_HANDLE); }

// Blanks the rows of a line of `shown` cells that begins a row and ends at the
// cursor, and puts the cursor where it began. The console says where its
// cursor is, so this holds whether a resize rewrapped the line (Windows 10's
// console, Windows Terminal) or kept it on its row (older consoles, whose
// buffer keeps its width). Counted back from the cursor, which may stand on
// the line's last cell or after it, and whole rows, so that the padding cell
// a wide character leaves at a row's end does not matter.
void WipeBeforeCursor(std::size_t shown)
{
    const HANDLE console = ErrorHandle();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console, &info) || info.dwSize.X <= 0)
        return;
    const long width = info.dwSize.X;
    const long cursor = static_cast<long>(info.dwCursorPosition.Y) * width + info.dwCursorPosition.X;
    const long from = cursor + 1 - static_cast<long>(shown);
    const long firstRow = from > 0 ? from / width : 0;
    const COORD start{0, static_cast<SHORT>(firstRow)};
    DWORD written = 0;
    FillConsoleOutputCharacterW(console, L' ', static_cast<DWORD>((info.dwCursorPosition.Y + 1 - firstRow) * width),
                                start, &written);
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
        std::fflush(stderr);
        if (shown != 0)
            WipeBeforeCursor(shown);
        const std::string out = "\r" + text;
        std::fwrite(out.data(), 1, out.size(), stderr);
        std::fflush(stderr);
    }
};

} // namespace

std::unique_ptr<LineTerminal> StandardErrorTerminal() { return std::make_unique<ConsoleTerminal>(); }

// The control handler runs on a thread of its own and may call anything.
void WipeProgressLineOnStop()
{
    const std::size_t shown = ProgressLineWidthOnScreen();
    if (shown != 0)
        WipeBeforeCursor(shown);
}
