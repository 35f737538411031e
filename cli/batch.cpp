#include "batch.h"

#include "convert_capture_file.h"
#include "write_error.h"

#include <cstdio>

namespace {

enum class Outcome { Converted, Failed, WriteFailed };

Outcome ConvertOne(const std::string& file, const std::string& output, ConsoleHost& host)
{
    host.StartFile(file);
    Outcome outcome;
    try {
        int result;
        if (output.empty()) {
            result = ConvertCaptureFile(file, host);
        } else {
            OutputTarget target;
            if (output == "-") {
                target.path = "standard output";
                target.standardOutput = true;
            } else {
                target.path = output;
            }
            result = ConvertCaptureFileTo(file, target, host);
        }
        outcome = result == 0 ? Outcome::Converted : Outcome::Failed;
    } catch (const WriteError& error) {
        host.ShowMessage(host.NameForMessage(error.Path()) + " Write error: " + error.Reason());
        outcome = Outcome::WriteFailed;
    }
    host.EndFile();
    return outcome;
}

} // namespace

int ConvertAll(const Options& options, ConsoleHost& host)
{
    const std::size_t count = options.files.size();
    std::size_t visited = 0, failed = 0;
    bool writeFailed = false;
    for (const std::string& file : options.files) {
        ++visited;
        const Outcome outcome = ConvertOne(file, options.output, host);
        if (outcome == Outcome::Converted)
            continue;
        ++failed;
        writeFailed = outcome == Outcome::WriteFailed;
        if (!options.keepGoing || writeFailed)
            break;
    }
    if (failed == 0)
        return 0;
    if (options.keepGoing) {
        const std::size_t notConverted = failed + (count - visited);
        std::fprintf(stderr, "dt2pcap: %zu of %zu files not converted%s\n", notConverted, count,
                     writeFailed ? " (stopped at a write error)" : "");
    }
    return 1;
}
