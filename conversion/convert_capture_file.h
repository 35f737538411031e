#pragma once

// The conversion library's entry for the front ends: both windows, dt2pcap
// and the web page.
//
// How a failure travels from the library to them:
// - A conversion shows it through its MessageHost: one message naming the
//   file and the step (a refused output, "Write file Open error", with a
//   second line naming it and why). It then returns -1, and the caller only
//   tests the result.
// - A failed write is the one exception: WriteError, raised where the system
//   refuses to write the output (a full disk) and let out of the conversion,
//   since it ends the whole batch. Each batch catches it and shows it with
//   ShowWriteError.
// Within the library, the file layer answers false and leaves the reason in
// file_layer::LastErrorText(). Anything else thrown (memory running out) is
// caught only where a program meets the system's code: dt2pcap's main and
// the windows' command handlers.

#include "message_host.h"
#include "output_place.h"

#include <string>

// Converts one ".DT" capture file into a pcap file, by default the ".pcap"
// beside it. Returns 0 when the pcap file was written completely, -1 after a
// failure that it has shown through `host`, or after the host asked it to
// stop. A file output takes its name only when finished: failures before the
// entry walk, a stop, a failed read or write and a capture that changed while
// read leave an existing output file as it was and nothing new; a capture cut
// short during the walk leaves the whole records before the cut.
int ConvertCaptureFile(std::string inputPath, MessageHost& host,
                       const OutputPlace& output = OutputPlace::BesideCapture());
