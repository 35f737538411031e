#pragma once

// Small ".DT" captures written byte by byte, independent of the converter's
// own reading code and of the sample generator.

#include <cstdint>
#include <string>
#include <vector>

namespace dt2pcap_harness {

struct HandFrame {
    std::vector<std::uint8_t> data;
    std::uint32_t counter = 0;  // ticks since the start time
};

struct HandCapture {
    // Start of recording, the recording machine's wall-clock time.
    int year = 2021, month = 6, day = 15, hour = 12, minute = 45, second = 30, hundredths = 0;
    std::uint8_t resolutionCode = 1;  // 1 ms ticks
    std::vector<HandFrame> frames;
    bool headerOnlyBetweenFrames = true;
};

// `count` Ethernet frames of 60 to 90 bytes, 1.5 s apart.
HandCapture SomeFrames(int count);

void WriteCapture(const std::string& path, const HandCapture& capture);
// A file whose header is not a capture's: fails with " File header error".
void WriteBrokenCapture(const std::string& path);

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

// Time stamp seconds of every record of a pcap file, as libpcap reads them.
// Throws if libpcap refuses the file.
std::vector<long> PcapRecordSeconds(const std::string& path);

} // namespace dt2pcap_harness
