#pragma once

// libpcap capture file as written: microsecond time stamps, Ethernet frames,
// little-endian, a 24-byte global header then one 16-byte header per record.

#include "output_file.h"

#include <cstdint>
#include <cstring>

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

inline void StoreU32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

// A record header at `p`: seconds, microseconds, captured length and original
// length (both `frameLength`).
inline void StoreRecordHeader(std::uint8_t* p, std::uint32_t seconds, std::uint32_t microseconds,
                              std::uint32_t frameLength)
{
    StoreU32(p + 0, seconds);
    StoreU32(p + 4, microseconds);
    StoreU32(p + 8, frameLength);
    StoreU32(p + 12, frameLength);
}

void WriteGlobalHeader(OutputFile& out);
// One whole record, its header and the frame's `frameLength` bytes, built
// straight in the output buffer.
inline void WriteRecord(OutputFile& out, std::uint32_t seconds, std::uint32_t microseconds, const std::uint8_t* frame,
                        std::uint32_t frameLength)
{
    std::uint8_t* const record = out.Append(kRecordHeaderSize + frameLength);
    StoreRecordHeader(record, seconds, microseconds, frameLength);
    std::memcpy(record + kRecordHeaderSize, frame, frameLength);
}

} // namespace pcap
