#include "batch.h"

#include "batch_outputs.h"
#include "conversion_outcome.h"
#include "output_path.h"

namespace {

// BatchEnded() however the loop ends, a thrown error included.
class BatchScope {
public:
    BatchScope(BatchHost& host, std::size_t fileCount) : m_host(host) { m_host.BatchStarted(fileCount); }
    ~BatchScope() { m_host.BatchEnded(); }
    BatchScope(const BatchScope&) = delete;
    BatchScope& operator=(const BatchScope&) = delete;

private:
    BatchHost& m_host;
};

// False when the file failed (its message shown) or the batch was cancelled.
bool ConvertOne(const std::string& path, BatchHost& host)
{
    return RunReporting([&] { return host.ConvertCaptureFile(path); }, host) == ConversionOutcome::Converted &&
           !host.Cancelled();
}

} // namespace

bool RunBatch(const std::string& folder, const std::vector<std::string>& names, BatchHost& host)
{
    bool complete = true;
    {
        BatchScope scope(host, names.size());
        const std::vector<std::size_t> earlier = EarlierSameOutput(names);
        for (std::size_t index = 0; index < names.size(); ++index) {
            host.FileStarted(index + 1, names[index]);
            // Never over what an earlier capture of this batch wrote.
            if (earlier[index] != kNoEarlierOutput) {
                host.ShowMessage(
                    SameOutputMessage(OutputPathFor(folder + names[index]), names[earlier[index]], names[index]));
                complete = false;
                break;
            }
            if (!ConvertOne(folder + names[index], host)) {
                complete = false;
                break;
            }
        }
    }
    if (complete)
        host.ShowMessage("Done.");
    return complete;
}
