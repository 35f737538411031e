#pragma once

#include "message_host.h"

#include <string>

// Converts one ".DT" capture file into the ".pcap" file beside it.
// Returns 0 when the pcap file was written completely, -1 after a failure that
// it has already shown through `host` (the input path followed by the failing
// step's text, or "Write file Open error" and a line naming the output and the
// reason), or after the host asked it to stop. The output takes its name only
// when finished: failures before the entry walk, a stop and a failed write
// leave an existing output file as it was and nothing new; a failure during
// the walk leaves the whole records before it. A failed write raises
// WriteError, which is left to the caller.
int ConvertCaptureFile(std::string inputPath, MessageHost& host);

// Where a conversion writes: a file, or the process's standard output (a
// plain stream, written as it goes), `path` then only naming it in messages.
struct OutputTarget {
    std::string path;
    bool standardOutput = false;
};

// The same conversion writing to `target` instead of beside the input.
int ConvertCaptureFileTo(std::string inputPath, const OutputTarget& target, MessageHost& host);
