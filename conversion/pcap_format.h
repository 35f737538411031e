#pragma once

// libpcap capture file as written: microsecond time stamps, Ethernet frames,
// little-endian, a 24-byte global header then one 16-byte header per record.

#include <cstdint>

class OutputFile;

namespace pcap {

constexpr std::uint32_t kMagicMicroseconds = 0xA1B2C3D4;
constexpr std::uint16_t kVersionMajor = 2;
constexpr std::uint16_t kVersionMinor = 4;
// Record seconds are already UTC (mktime of local time), so no zone correction.
constexpr std::uint32_t kTimeZoneCorrection = 0;
constexpr std::uint32_t kSnapshotLength = 65535;
constexpr std::uint32_t kLinkTypeEthernet = 1;

constexpr unsigned kGlobalHeaderSize = 24;
constexpr unsigned kRecordHeaderSize = 16;

void WriteGlobalHeader(OutputFile& out);
// Seconds, microseconds, captured length and original length (both `frameLength`).
void WriteRecordHeader(OutputFile& out, std::uint32_t seconds, std::uint32_t microseconds, std::uint32_t frameLength);

} // namespace pcap
