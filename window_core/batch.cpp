#include "batch.h"

#include "conversion_outcome.h"

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
        std::size_t number = 0;
        for (const std::string& name : names) {
            host.FileStarted(++number, name);
            if (!ConvertOne(folder + name, host)) {
                complete = false;
                break;
            }
        }
    }
    if (complete)
        host.ShowMessage("Done.");
    return complete;
}
