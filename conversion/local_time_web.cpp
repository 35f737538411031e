// Local time for the web edition: its C runtime's 32-bit mktime wraps after
// 2038 and misplaces the skipped daylight-saving hour, so the wall-clock time
// is counted in 64-bit arithmetic and the zone's standard offset, as the page
// found it, taken off.

#include "local_time_web.h"

#include "local_time.h"

namespace {

StandardTimeRule& CurrentRule()
{
    static StandardTimeRule rule;
    return rule;
}

} // namespace

void UseZoneOffsetChanges(const std::vector<ZoneOffsetChange>& changes)
{
    CurrentRule() = StandardTimeRule(changes);
}

void RefreshTimeZone() {}

bool LocalTimeToUtc(const LocalTime& local, std::int64_t& utc)
{
    return CurrentRule().LocalToUtc(local, utc);
}
