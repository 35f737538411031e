#pragma once

// The order captures are listed and converted in, by the window and by
// dt2pcap's own wildcard expansion on Windows.

#include <string>

// Name order as the original platform's file systems return a directory:
// compared in upper case, then byte by byte.
bool CaptureNameLess(const std::string& a, const std::string& b);
