#pragma once

#include <string>

// The ".pcap" beside the input: the extension of the file name (from its last
// dot) replaced by ".pcap", or ".pcap" appended when the name has no dot.
// Dots in directory names are left alone.
std::string OutputPathFor(const std::string& inputPath);
