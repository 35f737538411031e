#pragma once

// The order captures are listed and converted in, by the window and by
// dt2pcap's own wildcard expansion on Windows.

#include <string>

// A letter a-z in upper case, any other byte as it is: how capture names are
// compared and matched, whatever the system's locale.
inline char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Name order as the original platform's file systems return a directory:
// compared in upper case, then byte by byte.
bool CaptureNameLess(const std::string& a, const std::string& b);
