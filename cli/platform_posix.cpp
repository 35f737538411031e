#include "platform.h"

#include "file_layer.h"
#include "line_terminal.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Interrupted, hung up or told to stop: remove the unfinished output, then end
// the way that signal ends a program, so that shells and scripts see it.
extern "C" void OnStopSignal(int signalNumber)
{
    file_layer::RemoveUnfinishedFiles();
    WipeProgressLineOnStop();
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

// A terminal outlives the program: nothing to wait for.
bool ConsoleIsItsOwn() { return false; }

void WaitForKey() {}

int main(int argc, char** argv) { return Dt2pcapMain(argc, argv); }

void ExpandWildcards(std::vector<std::string>&) {}
