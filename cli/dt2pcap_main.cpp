// dt2pcap: converts ".DT" capture files into ".pcap" files, for scripts and pipes.

#include "batch.h"
#include "console_host.h"
#include "line_terminal.h"
#include "messages.h"
#include "options.h"
#include "platform.h"
#include "progress_line.h"
#include "safe_name.h"
#include "text_output.h"
#include "time_zone.h"

#include <memory>
#include <new>
#include <string>

namespace {

int UsageError(const std::string& reason)
{
    if (!reason.empty())
        WriteStandardError("dt2pcap: " + reason + "\n");
    WriteStandardError("Try 'dt2pcap --help' for more information.\n");
    return 2;
}

// --help and --version: what they print must arrive, or the exit status says so.
int PrintAndExit(const char* text)
{
    std::string reason;
    if (WriteStandardOutput(text, reason))
        return 0;
    WriteStandardError("dt2pcap: write error: " + reason + "\n");
    return 1;
}

int Run(int argc, char** argv, bool ownConsole)
{
    Options options;
    std::string error;
    switch (ParseOptions(argc, argv, options, error)) {
    case ParseResult::Help:
        return PrintAndExit(kUsage);
    case ParseResult::Version:
        // The name and version, then the copyright and licence as GNU programs print them.
        return PrintAndExit("dt2pcap " DT2PCAP_VERSION "\n"
                            "Copyright (C) 2026 TAVRINO pcap converter maintainers\n"
                            "License MIT: The MIT License <https://opensource.org/licenses/MIT>.\n"
                            "This is free software: you are free to change and redistribute it.\n"
                            "There is NO WARRANTY, to the extent permitted by law.\n");
    case ParseResult::NoFiles:
        WriteStandardError(kUsage);
        if (ownConsole)
            WriteStandardError("\nTo convert captures without a command prompt, drop their .DT files onto\n"
                               "dt2pcap.exe.\n");
        return 2;
    case ParseResult::UsageError:
        return UsageError(error);
    case ParseResult::Run:
        break;
    }
    // Dropped files: each one's result, not just the first failure's.
    if (ownConsole) {
        options.keepGoing = true;
        options.verbose = true;
    }
    ExpandWildcards(options.files);
    if (!options.output.empty() && options.files.size() > 1)
        return UsageError("-o/--output takes exactly one capture file");

    if (options.output == "-" && StandardOutputIsTerminal())
        return UsageError("refusing to write a capture to a terminal; redirect standard output or use -o FILE");
    // Checked before any file is opened, which would take its place.
    if (options.output == "-" && !StandardOutputIsOpen()) {
        WriteStandardError(message::OutputRefused(message::kStandardOutput, "it is closed") + "\n");
        return 1;
    }
    if (options.timeZone) {
        if (!IsKnownTimeZone(*options.timeZone))
            return UsageError(UnknownTimeZoneText(*options.timeZone));
        const std::string refusal = RefusedTimeZoneText(*options.timeZone);
        if (!refusal.empty())
            return UsageError(refusal);
        UseTimeZone(*options.timeZone);
    } else {
        const std::string warning = EnvironmentZoneWarning();
        if (!warning.empty())
            WriteStandardError("dt2pcap: warning: " + warning + "\n");
    }

    std::unique_ptr<LineTerminal> terminal;
    std::unique_ptr<ProgressLine> progress;
    if (!options.quiet && StandardErrorIsTerminal()) {
        terminal = StandardErrorTerminal();
        progress = std::make_unique<ProgressLine>(*terminal);
    }
    ConsoleHost host(progress.get(), options.verbose);
    try {
        return ConvertAll(options, host);
    } catch (const std::bad_alloc&) {
        // The unfinished output went with the conversion's objects on the way here.
        if (progress)
            progress->Clear();
        WriteStandardError("dt2pcap: out of memory\n");
        return 1;
    }
}

} // namespace

int Dt2pcapMain(int argc, char** argv)
{
    PrepareProcess();
    if (!ConsoleIsItsOwn())
        return Run(argc, argv, false);
    const int status = Run(argc, argv, true);
    WaitForKey();
    return status;
}
