#include "conversion_summary.h"

#include "civil_time.h"
#include "entry_time.h"

#include <cinttypes>
#include <cstdio>

namespace {

// "2010-03-15 09:30:00.250000" for seconds since 1970 read as UTC; any year.
std::string DateTimeText(std::int64_t seconds, std::uint32_t microseconds)
{
    std::int64_t days = seconds / 86400;
    std::int64_t secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    const CivilDate date = CivilDateOfDay(days);
    char text[80];
    std::snprintf(text, sizeof text, "%04" PRId64 "-%02d-%02d %02" PRId64 ":%02" PRId64 ":%02" PRId64 ".%06u", date.year,
                  date.month, date.day, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60, microseconds);
    return text;
}

std::string StampText(const ConversionSummary::Stamp& stamp)
{
    const std::string utc = stamp.seconds == 0xFFFFFFFFu ? "outside the pcap's time range in UTC"
                                                         : DateTimeText(stamp.seconds, stamp.microseconds) + " UTC";
    return DateTimeText(stamp.wallClock, stamp.microseconds) + " (" + utc + ")";
}

} // namespace

ConversionSummary SummaryCounter::Finish(const CaptureInfo& info) const
{
    ConversionSummary summary;
    summary.frames = m_frames;
    summary.headerOnlyEntries = m_headerOnly;
    if (m_frames == 0)
        return summary;
    const auto stamp = [&](std::uint64_t counter, std::int64_t& sinceStart) {
        ConversionSummary::Stamp made;
        ComputeEntryTime(info.TimeWord(), info.DateWord(), info.resolutionCode, counter, made.seconds, made.microseconds);
        made.wallClock = EntryWallClock(info.TimeWord(), info.DateWord(), info.resolutionCode, counter, sinceStart);
        return made;
    };
    std::int64_t firstSinceStart = 0, lastSinceStart = 0;
    summary.first = stamp(m_firstCounter, firstSinceStart);
    summary.last = stamp(m_lastCounter, lastSinceStart);
    summary.durationMicroseconds = lastSinceStart - firstSinceStart;
    return summary;
}

std::string SummaryLine(const std::string& name, const ConversionSummary& summary)
{
    std::string line = name + ": " + std::to_string(summary.frames) + (summary.frames == 1 ? " frame, " : " frames, ") +
                       std::to_string(summary.headerOnlyEntries) +
                       (summary.headerOnlyEntries == 1 ? " header-only entry skipped" : " header-only entries skipped");
    if (summary.frames == 0)
        return line;
    const std::int64_t duration = summary.durationMicroseconds;
    const std::uint64_t magnitude = duration < 0 ? 0 - static_cast<std::uint64_t>(duration) : static_cast<std::uint64_t>(duration);
    char durationText[64];
    std::snprintf(durationText, sizeof durationText, "%s%" PRIu64 ".%06" PRIu64 " s", duration < 0 ? "-" : "",
                  magnitude / 1000000, magnitude % 1000000);
    return line + ", first " + StampText(summary.first) + ", last " + StampText(summary.last) + ", duration " + durationText;
}
