#include "local_time.h"

#include <cstring>
#include <ctime>

void RefreshTimeZone() { tzset(); }

bool LocalTimeToUtc(const LocalTime& local, std::int64_t& utc)
{
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
