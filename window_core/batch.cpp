#include "batch.h"

#include "batch_outputs.h"
#include "output_path.h"
#include "path_parts.h"
#include "write_error.h"

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
    try {
        return host.ConvertCaptureFile(path) == 0 && !host.Cancelled();
    } catch (const WriteError& error) {
        ShowWriteError(error, host);
        return false;
    }
}

} // namespace

bool RunBatch(const std::string& folder, const std::vector<std::string>& names, BatchHost& host)
{
    bool complete = true;
    {
        BatchScope scope(host, names.size());
        BatchOutputs outputs;
        for (std::size_t index = 0; index < names.size(); ++index) {
            host.FileStarted(index + 1, names[index]);
            // Never over what an earlier capture of this batch wrote.
            const std::string capture = JoinPath(folder, names[index]);
            const std::string output = OutputPathFor(capture);
            if (!outputs.MayWrite(output, names[index], host) || !ConvertOne(capture, host)) {
                complete = false;
                break;
            }
            outputs.Wrote(output, names[index]);
        }
    }
    if (complete)
        host.ShowMessage("Done.");
    return complete;
}
