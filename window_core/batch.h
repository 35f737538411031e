#pragma once

// A window's batch: the selected captures converted one after the other in
// list order, the same in both windows. Each window implements BatchHost for
// what only it can do (its cursor, its progress dialog, its message box).

#include "message_host.h"

#include <cstddef>
#include <string>
#include <vector>

class BatchHost : public MessageHost {
public:
    // Converts one capture with this host as the owner of its messages (the
    // library's ConvertCaptureFile): 0, or -1 after a failure it has shown.
    virtual int ConvertCaptureFile(std::string path) = 0;
    // Before the first file: the busy cursor, and the progress of `fileCount` files.
    virtual void BatchStarted(std::size_t fileCount) = 0;
    // `number` counts from 1; `name` as the list shows it.
    virtual void FileStarted(std::size_t number, const std::string& name) = 0;
    // True once the user has cancelled the batch (Cancel or Esc).
    virtual bool Cancelled() const = 0;
    // However the batch ends, before "Done.": the progress and the busy cursor go.
    virtual void BatchEnded() = 0;
};

// Converts the captures `names` of `folder` (ending with its separator) in
// that order. The first failure ends the batch: one the conversion shows
// through `host` (a failed write too, shown here), or a capture
// whose output an earlier one of the batch wrote. So does a cancel. A batch
// that converted every file ends with "Done."; returns whether it did.
bool RunBatch(const std::string& folder, const std::vector<std::string>& names, BatchHost& host);
