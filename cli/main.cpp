// dt2pcap: converts ".DT" capture files into ".pcap" files, for scripts and pipes.

#include "batch.h"
#include "console_host.h"
#include "file_layer.h"
#include "options.h"
#include "progress_line.h"
#include "safe_name.h"
#include "time_zone.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int UsageError(const std::string& reason)
{
    if (!reason.empty())
        std::fprintf(stderr, "dt2pcap: %s\n", reason.c_str());
    std::fputs("Try 'dt2pcap --help' for more information.\n", stderr);
    return 2;
}

// --help and --version: what they print must arrive, or the exit status says so.
int PrintAndExit(const char* text)
{
    const bool written = std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0;
    if (!written || std::ferror(stdout)) {
        std::fprintf(stderr, "dt2pcap: write error: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

// Interrupted, hung up or told to stop: remove the unfinished output, then end
// the way that signal ends a program, so that shells and scripts see it.
extern "C" void OnStopSignal(int signalNumber)
{
    file_layer::RemoveUnfinishedFiles();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

std::size_t TerminalColumns(int fd)
{
    winsize size{};
    return ::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

} // namespace

int main(int argc, char** argv)
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

    Options options;
    std::string error;
    switch (ParseOptions(argc, argv, options, error)) {
    case ParseResult::Help:
        return PrintAndExit(kUsage);
    case ParseResult::Version:
        return PrintAndExit("dt2pcap " DT2PCAP_VERSION "\n");
    case ParseResult::NoFiles:
        std::fputs(kUsage, stderr);
        return 2;
    case ParseResult::UsageError:
        return UsageError(error);
    case ParseResult::Run:
        break;
    }

    if (options.output == "-" && ::isatty(STDOUT_FILENO))
        return UsageError("refusing to write a capture to a terminal; redirect standard output or use -o FILE");
    if (options.timeZone) {
        if (!IsKnownTimeZone(*options.timeZone))
            return UsageError("unknown time zone '" + SafeName(*options.timeZone) + "'");
        UseTimeZone(*options.timeZone);
    }

    std::unique_ptr<ProgressLine> progress;
    if (!options.quiet && ::isatty(STDERR_FILENO))
        progress = std::make_unique<ProgressLine>(stderr, TerminalColumns(STDERR_FILENO));
    ConsoleHost host(progress.get());
    return ConvertAll(options, host);
}
