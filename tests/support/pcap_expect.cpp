#include "pcap_expect.h"

std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second)
{
    // Days from 1970-01-01 to the first of the month (proleptic Gregorian calendar).
    const int y = year - (month <= 2);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t days = std::int64_t{era} * 146097 + dayOfEra - 719468 + (day - 1);
    return days * 86400 + hour * 3600 + minute * 60 + second;
}

Bytes PcapGlobalHeader()
{
    Bytes out{0xD4, 0xC3, 0xB2, 0xA1};
    AppendU16(out, 2);
    AppendU16(out, 4);
    AppendU32(out, 0);       // time-zone correction
    AppendU32(out, 0);       // accuracy
    AppendU32(out, 0xFFFF);  // snapshot length
    AppendU32(out, 1);       // Ethernet
    return out;
}

void AppendRecordHeader(Bytes& out, std::uint32_t seconds, std::uint32_t microseconds, std::uint32_t length)
{
    AppendU32(out, seconds);
    AppendU32(out, microseconds);
    AppendU32(out, length);
    AppendU32(out, length);
}

void AppendRecord(Bytes& out, std::uint32_t seconds, std::uint32_t microseconds, const Bytes& data)
{
    AppendRecordHeader(out, seconds, microseconds, static_cast<std::uint32_t>(data.size()));
    Append(out, data);
}

std::ostream& operator<<(std::ostream& out, const PcapRecord& record)
{
    return out << "{" << record.seconds << "." << record.microseconds << " caplen " << record.capturedLength
               << " len " << record.originalLength << " data " << record.data.size() << " bytes}";
}
