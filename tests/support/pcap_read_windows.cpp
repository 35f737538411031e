// Reading a pcap back where libpcap is not available (the Windows build): a
// reader of our own, as strict as libpcap about what it accepts, written from
// the file format and sharing nothing with the converter's writer.

#include "pcap_expect.h"
#include "test_files.h"

namespace {

std::uint32_t U32(const Bytes& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t U16(const Bytes& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

} // namespace

PcapContents ReadPcap(const std::string& path)
{
    PcapContents contents;
    Bytes bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const std::exception& error) {
        contents.error = error.what();
        return contents;
    }
    if (bytes.size() < 24) {
        contents.error = "truncated dump file; tried to read 24 file header bytes, only got " +
                         std::to_string(bytes.size());
        return contents;
    }
    if (U32(bytes, 0) != 0xa1b2c3d4) {
        contents.error = "bad dump file format";
        return contents;
    }
    contents.versionMajor = U16(bytes, 4);
    contents.versionMinor = U16(bytes, 6);
    contents.snapshotLength = static_cast<int>(U32(bytes, 16));
    contents.linkType = static_cast<int>(U32(bytes, 20));
    if (contents.versionMajor != 2) {
        contents.error = "unsupported pcap version";
        return contents;
    }
    std::size_t at = 24;
    while (at < bytes.size()) {
        if (bytes.size() - at < 16) {
            contents.error = "truncated dump file; tried to read 16 header bytes, only got " +
                             std::to_string(bytes.size() - at);
            return contents;
        }
        PcapRecord record{U32(bytes, at), U32(bytes, at + 4), U32(bytes, at + 8), U32(bytes, at + 12), {}};
        at += 16;
        if (record.capturedLength > 262144) {
            contents.error = "invalid record header";
            return contents;
        }
        if (bytes.size() - at < record.capturedLength) {
            contents.error = "truncated dump file; tried to read " + std::to_string(record.capturedLength) +
                             " captured bytes, only got " + std::to_string(bytes.size() - at);
            return contents;
        }
        record.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                           bytes.begin() + static_cast<std::ptrdiff_t>(at + record.capturedLength));
        at += record.capturedLength;
        contents.records.push_back(std::move(record));
    }
    return contents;
}
