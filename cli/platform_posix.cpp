#include "platform.h"

#include "file_layer.h"
#include "progress_line.h"

#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Overwrites the progress line with spaces, so that the shell's next output
// starts on a clean line; write() alone, as a signal handler may.
void WipeProgressLine()
{
    static const char kSpaces[] = "                                                                ";
    std::size_t width = ProgressLineWidthOnScreen();
    if (width == 0)
        return;
    ssize_t ignored = ::write(STDERR_FILENO, "\r", 1);
    while (width > 0) {
        const std::size_t now = width < sizeof kSpaces - 1 ? width : sizeof kSpaces - 1;
        ignored = ::write(STDERR_FILENO, kSpaces, now);
        width -= now;
    }
    ignored = ::write(STDERR_FILENO, "\r", 1);
    (void)ignored;
}

// Interrupted, hung up or told to stop: remove the unfinished output, then end
// the way that signal ends a program, so that shells and scripts see it.
extern "C" void OnStopSignal(int signalNumber)
{
    file_layer::RemoveUnfinishedFiles();
    WipeProgressLine();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

} // namespace

void PrepareProcess()
{
    // Past a file-size limit, let the write fail and be reported instead of the
    // signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal ignored by whoever started us (nohup) stays ignored.
        struct sigaction action {};
        if (::sigaction(signalNumber, nullptr, &action) == 0 && action.sa_handler != SIG_IGN)
            std::signal(signalNumber, OnStopSignal);
    }
}

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO); }

bool StandardOutputIsOpen() { return ::fcntl(STDOUT_FILENO, F_GETFD) != -1; }

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO); }

std::size_t StandardErrorColumns()
{
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

int main(int argc, char** argv) { return Dt2pcapMain(argc, argv); }

void ExpandWildcards(std::vector<std::string>&) {}
