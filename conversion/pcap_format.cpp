#include "pcap_format.h"

#include "output_file.h"

namespace pcap {

namespace {

void StoreU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

} // namespace

void WriteGlobalHeader(OutputFile& out)
{
    std::uint8_t header[kGlobalHeaderSize];
    StoreU32(header + 0, kMagicMicroseconds);
    StoreU16(header + 4, kVersionMajor);
    StoreU16(header + 6, kVersionMinor);
    StoreU32(header + 8, kTimeZoneCorrection);
    StoreU32(header + 12, 0);  // time-stamp accuracy
    StoreU32(header + 16, kSnapshotLength);
    StoreU32(header + 20, kLinkTypeEthernet);
    out.Write(header, sizeof header);
}

} // namespace pcap
