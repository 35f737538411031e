// Local time for the web edition: its C runtime's 32-bit mktime wraps after
// 2038 and misplaces the skipped daylight-saving hour, so the wall-clock time
// is counted in 64-bit arithmetic and the zone's standard offset, derived from
// the browser's zone data, taken off.

#include "local_time_web.h"

#include "local_time.h"

namespace {

StandardTimeRule& CurrentRule()
{
    static StandardTimeRule rule;
    return rule;
}

} // namespace

void UseZone(const ZoneOffsetAt& offsetAt)
{
    CurrentRule() = StandardTimeRule(ScanZoneOffsets(offsetAt).changes);
}

void RefreshTimeZone() {}

bool LocalTimeToUtc(const LocalTime& local, std::int64_t& utc)
{
    return CurrentRule().LocalToUtc(local, utc);
}
