#pragma once

// Every line of text dt2pcap prints goes through these two, so that none
// reaches a Windows console as bytes in a code page it may not be: there a
// console gets characters (WriteConsoleW) whatever its code page, and files
// and pipes get the UTF-8 bytes as everywhere else. text_output_posix.cpp and
// text_output_windows.cpp.

#include <string>
#include <string_view>

// `text` (UTF-8) whole on standard output; false when it did not all arrive,
// with the system's reason in `reason`.
bool WriteStandardOutput(std::string_view text, std::string& reason);

// The same on standard error, where a failure has nowhere to be reported.
void WriteStandardError(std::string_view text);
