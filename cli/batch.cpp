#include "batch.h"

#include "batch_outputs.h"
#include "convert_capture_file.h"
#include "text_output.h"
#include "write_error.h"

#include <string>

namespace {

OutputPlace PlaceFor(const std::string& output)
{
    if (output.empty())
        return OutputPlace::BesideCapture();
    return output == "-" ? OutputPlace::StandardOutput() : OutputPlace::File(output);
}

} // namespace

int ConvertAll(const Options& options, ConsoleHost& host)
{
    const OutputPlace place = PlaceFor(options.output);
    const std::size_t count = options.files.size();
    std::size_t visited = 0, failed = 0;
    bool writeFailed = false;
    // Beside their captures two of them may share an output: never over what
    // an earlier file of this run wrote.
    BatchOutputs outputs;
    for (const std::string& file : options.files) {
        ++visited;
        const std::string outputPath = place.PathFor(file);
        bool converted = false;
        if (outputs.MayWrite(outputPath, file, host)) {
            host.StartFile(file);
            try {
                converted = ConvertCaptureFile(file, host, place) == 0;
            } catch (const WriteError& error) {
                ShowWriteError(error, host);
                writeFailed = true;
            }
            host.EndFile();
        }
        if (converted) {
            outputs.Wrote(outputPath, file);
            continue;
        }
        ++failed;
        if (!options.keepGoing || writeFailed)
            break;
    }
    if (failed == 0)
        return 0;
    if (options.keepGoing) {
        const std::size_t notConverted = failed + (count - visited);
        WriteStandardError("dt2pcap: " + std::to_string(notConverted) + " of " + std::to_string(count) +
                           " files not converted" + (writeFailed ? " (stopped at a write error)" : "") + "\n");
    }
    return 1;
}
