#include "line_terminal.h"

#include "progress_line.h"
#include "text_output.h"
#include "text_width.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The cursor is kept at the start of the line, and each line is written over
// the last followed by "\x1b[J" (erase to the end of the screen), which holds
// after the terminal narrowed, whatever it did with the old line: one that
// cuts its rows (xterm) left it on the cursor's row, erased to its last
// column, where spaces could not reach without a wrap; one that rewraps its
// rows (VTE, tmux, kitty) moved the line's tail onto the rows below, erased
// too. Had the cursor stayed at the end of the line, the head would have gone
// to a row above, which could not be told from the user's own output. Nothing
// is ever below the line. Terminals that claim to understand nothing
// (TERM=dumb, no TERM) get spaces instead.
//
// An empty line is not "\r\x1b[J": from the screen's top-left corner tmux
// takes that for clearing the screen and keeps a copy of the screen in its
// history (its scroll-on-clear), so a line on the top row would outlive its
// wipe there. A space first takes the cursor off the row's start; the row is
// then erased on its own ("\x1b[K", which no terminal copies).
constexpr char kWipe[] = "\r \x1b[J\r\x1b[K";
std::atomic<bool> g_erases{false};
std::atomic<bool> g_resized{false};
// The width last read, for the stop handler's spaces.
std::atomic<std::size_t> g_columns{80};

extern "C" void OnResize(int) { g_resized.store(true); }

void Put(const char* bytes, std::size_t size)
{
    const ssize_t ignored = ::write(STDERR_FILENO, bytes, size);
    (void)ignored;
}

// Where no escape is understood: spaces over `shown` columns, short of the
// last column, where writing wraps on some terminals.
std::size_t Blank(std::size_t shown)
{
    const std::size_t columns = g_columns.load();
    return std::min(shown, columns > 1 ? columns - 1 : 0);
}

std::size_t ReadColumns()
{
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

class PosixTerminal final : public LineTerminal {
public:
    PosixTerminal() { g_columns.store(ReadColumns()); }

    std::size_t Columns() override
    {
        // Cleared before the width is read: a resize during the read is read next time.
        if (g_resized.exchange(false))
            g_columns.store(ReadColumns());
        return g_columns.load();
    }

    void Replace(std::size_t shown, const std::string& text) override
    {
        if (g_erases.load() && text.empty()) {
            WriteStandardError(kWipe);
            return;
        }
        std::string out = "\r" + text;
        if (g_erases.load()) {
            out += "\x1b[J";
        } else {
            Columns();  // a wipe comes without a redraw that would have asked
            const std::size_t blank = Blank(shown);
            const std::size_t width = TextColumns(text);
            if (blank > width)
                out.append(blank - width, ' ');
        }
        out += '\r';
        WriteStandardError(out);
    }
};

} // namespace

std::unique_ptr<LineTerminal> StandardErrorTerminal()
{
    const char* term = std::getenv("TERM");
    g_erases.store(term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0);
    // Only a flag in the handler; the next redraw reads the width. SA_RESTART
    // keeps the conversion's reads and writes from failing with EINTR.
    struct sigaction action {};
    action.sa_handler = OnResize;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGWINCH, &action, nullptr);
    return std::make_unique<PosixTerminal>();
}

void WipeProgressLineOnStop()
{
    const std::size_t shown = ProgressLineWidthOnScreen();
    if (shown == 0)
        return;
    if (g_erases.load()) {
        Put(kWipe, sizeof kWipe - 1);
        return;
    }
    static const char kSpaces[] = "                                                                ";
    Put("\r", 1);
    for (std::size_t left = Blank(shown); left > 0;) {
        const std::size_t now = std::min(left, sizeof kSpaces - 1);
        Put(kSpaces, now);
        left -= now;
    }
    Put("\r", 1);
}
