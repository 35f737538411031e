#include "batch.h"

#include "batch_outputs.h"
#include "conversion_outcome.h"
#include "output_path.h"
#include "safe_name.h"

#include <cstdio>
#include <unordered_map>

namespace {

ConversionOutcome ConvertOne(const std::string& file, const std::string& output, ConsoleHost& host)
{
    host.StartFile(file);
    OutputTarget target;
    if (output == "-") {
        target.path = "standard output";
        target.standardOutput = true;
    } else {
        target.path = output;
    }
    const ConversionOutcome outcome = ConvertAndReport(file, output.empty() ? nullptr : &target, host);
    host.EndFile();
    return outcome;
}

} // namespace

int ConvertAll(const Options& options, ConsoleHost& host)
{
    const std::size_t count = options.files.size();
    std::size_t visited = 0, failed = 0;
    bool writeFailed = false;
    // Beside their captures two of them may share an output: never over what
    // an earlier file of this run wrote.
    std::unordered_map<std::string, const std::string*> writtenFrom;
    for (const std::string& file : options.files) {
        ++visited;
        const std::string outputPath = options.output.empty() ? OutputPathFor(file) : options.output;
        const auto written = writtenFrom.find(outputPath);
        ConversionOutcome outcome = ConversionOutcome::Failed;
        if (written != writtenFrom.end() && *written->second != file)
            host.ShowMessage(SameOutputMessage(SafeName(outputPath), SafeName(*written->second), SafeName(file)));
        else
            outcome = ConvertOne(file, options.output, host);
        if (outcome == ConversionOutcome::Converted) {
            writtenFrom.emplace(outputPath, &file);
            continue;
        }
        ++failed;
        writeFailed = outcome == ConversionOutcome::WriteFailed;
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
