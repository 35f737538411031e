#pragma once

// Expected pcap contents, built in the tests from the file format's rules,
// and a reader that goes through libpcap rather than our own code.

#include "capture_builder.h"

#include <cstdint>
#include <ostream>
#include <string>

// Seconds since 1970 of a UTC civil time, counted a year and a month at a
// time (neither mktime nor the converter's calendar).
// Month 1-12; day, hour, minute and second may run over (day 0, second 61).
std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second);

Bytes PcapGlobalHeader();
void AppendRecordHeader(Bytes& out, std::uint32_t seconds, std::uint32_t microseconds, std::uint32_t length);
void AppendRecord(Bytes& out, std::uint32_t seconds, std::uint32_t microseconds, const Bytes& data);

struct PcapRecord {
    std::uint32_t seconds, microseconds, capturedLength, originalLength;
    Bytes data;

    bool operator==(const PcapRecord& other) const
    {
        return seconds == other.seconds && microseconds == other.microseconds &&
               capturedLength == other.capturedLength && originalLength == other.originalLength &&
               data == other.data;
    }
};
// Prints the header fields and the data length, not every byte.
std::ostream& operator<<(std::ostream& out, const PcapRecord& record);

struct PcapContents {
    std::string error;  // libpcap's complaint, empty when the file opened and read cleanly
    int linkType = -1;
    int snapshotLength = -1;
    int versionMajor = -1, versionMinor = -1;
    std::vector<PcapRecord> records;
};

PcapContents ReadPcap(const std::string& path);
