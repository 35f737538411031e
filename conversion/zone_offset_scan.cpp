#include "zone_offset_scan.h"

#include "civil_time.h"

#include <ctime>

namespace {

constexpr std::int64_t kScanStart = -315619200;  // 1960-01-01
constexpr std::int64_t kScanEnd = 2208988800;    // 2040-01-01
// Shorter than any daylight-saving stretch in the zone data (about a week).
constexpr std::int64_t kStep = 3 * 86400;

struct Sample {
    std::int32_t offset = 0;
    bool daylightSaving = false;
};

Sample SampleAt(std::int64_t utc)
{
    const time_t when = static_cast<time_t>(utc);
    struct tm fields {};
#ifdef _WIN32
    localtime_s(&fields, &when);
#else
    localtime_r(&when, &fields);
#endif
    LocalTime local;
    local.year = fields.tm_year + 1900;
    local.month = fields.tm_mon + 1;
    local.day = fields.tm_mday;
    local.hour = fields.tm_hour;
    local.minute = fields.tm_min;
    local.second = fields.tm_sec;
    return {static_cast<std::int32_t>(CivilSeconds(local) - utc), fields.tm_isdst > 0};
}

} // namespace

ZoneOffsetHistory ScanZoneOffsets(const ZoneOffsetAt& offsetAt)
{
    ZoneOffsetHistory history;
    std::int32_t last = offsetAt(kScanStart);
    history.changes.push_back({kScanStart, last});
    for (std::int64_t at = kScanStart + kStep; at < kScanEnd; at += kStep) {
        const std::int32_t offset = offsetAt(at);
        if (offset == last)
            continue;
        // Bisect to the second the offset changed.
        std::int64_t before = at - kStep, after = at;
        while (after - before > 1) {
            const std::int64_t middle = before + (after - before) / 2;
            (offsetAt(middle) == last ? before : after) = middle;
        }
        history.changes.push_back({after, offset});
        last = offset;
    }
    return history;
}

ZoneOffsetHistory ScanZoneOffsets()
{
    return ScanZoneOffsets([](std::int64_t utc) { return SampleAt(utc).offset; });
}

bool HasNegativeDaylightSaving()
{
    // A week is shorter than any negative stretch in the zone data (Morocco's
    // Ramadan months are the shortest).
    constexpr std::int64_t kWeek = 7 * 86400;
    std::int32_t lastStandard = SampleAt(kScanStart).offset;
    for (std::int64_t at = kScanStart + kWeek; at < kScanEnd; at += kWeek) {
        const Sample sample = SampleAt(at);
        if (sample.daylightSaving && sample.offset < lastStandard)
            return true;
        if (!sample.daylightSaving)
            lastStandard = sample.offset;
    }
    return false;
}
