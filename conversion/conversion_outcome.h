#pragma once

// How one conversion ended, for the callers that go on to another file or
// stop (a window's batch, dt2pcap, the web worker): the one place where a
// failed write -- the WriteError the conversion lets out -- is caught.

#include "convert_capture_file.h"

#include <functional>
#include <string>

enum class ConversionOutcome {
    Converted,    // the output is complete
    Failed,       // a failure the host has shown, or a stop the host asked for
    WriteFailed,  // the system refused a write, shown as "OUT Write error: REASON"; the next files would fail the same way
};

// Runs `convert`, a conversion reporting to `host` (0 or -1), and turns every
// way it ends into an outcome.
ConversionOutcome RunReporting(const std::function<int()>& convert, MessageHost& host);

// Converts `inputPath` to `target`, or beside it when `target` is null.
ConversionOutcome ConvertAndReport(const std::string& inputPath, const OutputTarget* target, MessageHost& host);
