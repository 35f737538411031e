#include "pcap_expect.h"

namespace {

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInYear(int year) { return IsLeapYear(year) ? 366 : 365; }

} // namespace

std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second)
{
    // Counted the long way, a year and a month at a time from 1970-01-01, so
    // that the expected times owe nothing to the converter's own calendar
    // arithmetic (eras of 400 years counted from March).
    static const int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::int64_t days = 0;
    for (int y = 1970; y < year; ++y)
        days += DaysInYear(y);
    for (int y = year; y < 1970; ++y)
        days -= DaysInYear(y);
    for (int m = 1; m < month; ++m)
        days += kDaysInMonth[m - 1] + (m == 2 && IsLeapYear(year) ? 1 : 0);
    days += day - 1;
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
