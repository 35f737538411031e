#pragma once

#include "message_host.h"

#include <string>

// Converts one ".DT" capture file into the ".pcap" file beside it.
// Returns 0 when the pcap file was written completely, -1 after a failure that
// it has already shown through `host`: the input path followed by the failing
// step's text, or "Write file Open error" alone. Failures before the output is
// created leave no output file (and an existing one untouched). A failed write
// raises WriteError, which is left to the caller.
int ConvertCaptureFile(std::string inputPath, MessageHost& host);

// Where a conversion writes: a path, or an already open descriptor (standard
// output) when `fd` is not -1, `path` then only naming it in messages.
struct OutputTarget {
    std::string path;
    int fd = -1;
};

// The same conversion writing to `target` instead of beside the input.
int ConvertCaptureFileTo(std::string inputPath, const OutputTarget& target, MessageHost& host);
