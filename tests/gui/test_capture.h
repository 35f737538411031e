#pragma once

// Small ".DT" captures written byte by byte for the window's tests.

#include <cstddef>
#include <string>
#include <vector>

// A valid capture whose MONL chunk holds one frame entry per length in
// `frameLengths`. Its pcap file is PcapSizeFor(frameLengths) bytes long.
std::string ValidCapture(const std::vector<std::size_t>& frameLengths);
std::size_t PcapSizeFor(const std::vector<std::size_t>& frameLengths);

// 16 bytes that are not a TAVRINO header: " File header error".
std::string BrokenCapture();

void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// -1 when the file does not exist.
long long FileSize(const std::string& path);
