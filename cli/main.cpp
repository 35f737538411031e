// dt2pcap: converts ".DT" capture files into ".pcap" files, for scripts and pipes.

#include "batch.h"
#include "console_host.h"
#include "options.h"
#include "progress_line.h"
#include "time_zone.h"

#include <csignal>
#include <cstdio>
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

    Options options;
    std::string error;
    switch (ParseOptions(argc, argv, options, error)) {
    case ParseResult::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case ParseResult::Version:
        std::puts("dt2pcap " DT2PCAP_VERSION);
        return 0;
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
            return UsageError("unknown time zone '" + *options.timeZone + "'");
        UseTimeZone(*options.timeZone);
    }

    std::unique_ptr<ProgressLine> progress;
    if (!options.quiet && ::isatty(STDERR_FILENO))
        progress = std::make_unique<ProgressLine>(stderr, TerminalColumns(STDERR_FILENO));
    ConsoleHost host(progress.get());
    return ConvertAll(options, host);
}
