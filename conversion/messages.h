#pragma once

// Every text the conversion shows, written once. A failure message names the
// file it concerns -- as the host spells names (MessageHost::NameForMessage)
// -- followed by the failing step's text; an output that cannot be created is
// "Write file Open error" alone, then a line naming it and the reason.

#include <string>

namespace message {

// The steps of reading a capture; each text follows the capture's name.
constexpr char kOpenError[] = " Open error";
constexpr char kHeaderCut[] = " Read error:TAVRINO Header";
constexpr char kHeaderWrong[] = " File header error";
constexpr char kChunksCut[] = " Read error:Header scan";
constexpr char kCaptureInfoCut[] = " Read error:Get timestamp";
constexpr char kEntryHeaderCut[] = " Read error:offset0";
constexpr char kTimeFieldCut[] = " Read error:offset4";
constexpr char kFrameDataCut[] = " Read error:packet";
constexpr char kTrailerCut[] = " Read error:last";

constexpr char kWriteFileOpenError[] = "Write file Open error";
// What messages call the process's standard output.
constexpr char kStandardOutput[] = "standard output";

// "Write file Open error" and the line naming the output and why.
inline std::string OutputRefused(const std::string& output, const std::string& reason)
{
    return std::string(kWriteFileOpenError) + "\n" + output + ": " + reason;
}

// The system refused a write to `output`: "OUT Write error: REASON".
inline std::string WriteFailed(const std::string& output, const std::string& reason)
{
    return output + " Write error: " + reason;
}

// The system failed to read `capture` (not its end): "IN Read error: REASON".
inline std::string ReadFailed(const std::string& capture, const std::string& reason)
{
    return capture + " Read error: " + reason;
}

// The capture's size moved while it was read.
inline std::string ChangedWhileRead(const std::string& capture)
{
    return capture + " changed while being read (is it still being copied?); convert it again once it is complete";
}

} // namespace message
