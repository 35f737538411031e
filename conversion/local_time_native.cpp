#include "local_time.h"

#include "zone_offset_scan.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>

namespace {

// glibc's zone data gives Ireland negative daylight saving: its summer time is
// standard time, winter time the daylight saving. "Daylight saving off" means
// the winter clock there, as it does in every other zone, on Windows and in
// the browser's data; such zones take their standard time from their offsets
// as the web edition does.
struct NegativeDaylightSavingZone {
    std::string name;  // TZ as it was when looked at
    std::optional<StandardTimeRule> rule;
};

NegativeDaylightSavingZone& CurrentZone()
{
    static NegativeDaylightSavingZone zone{"\x01", std::nullopt};
    return zone;
}

} // namespace

void RefreshTimeZone()
{
    tzset();
    const char* tz = std::getenv("TZ");
    const std::string name = tz != nullptr ? tz : "";
    NegativeDaylightSavingZone& zone = CurrentZone();
    if (name == zone.name)
        return;
    zone.name = name;
    zone.rule.reset();
    if (HasNegativeDaylightSaving())
        zone.rule.emplace(ScanZoneOffsets().changes);
}

bool LocalTimeToUtc(const LocalTime& local, std::int64_t& utc)
{
    const NegativeDaylightSavingZone& zone = CurrentZone();
    if (zone.rule) {
        const char* tz = std::getenv("TZ");
        if (zone.name == (tz != nullptr ? tz : ""))
            return zone.rule->LocalToUtc(local, utc);
    }
    struct tm fields;
    std::memset(&fields, 0, sizeof fields);
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = static_cast<int>(local.second);
    fields.tm_isdst = 0;
    const time_t result = std::mktime(&fields);
    if (result == static_cast<time_t>(-1))
        return false;
    utc = static_cast<std::int64_t>(result);
    return true;
}
