// Zones on Windows: the C runtime knows no IANA names, only TZ in its own
// form (runtime_zone.h). Without TZ it uses the Windows zone.

#include "time_zone.h"

#include "runtime_zone.h"
#include "safe_name.h"

#include <cstdlib>

bool IsKnownTimeZone(const std::string& zone)
{
    return runtime_zone::IsStatedZone(zone);
}

std::string UnknownTimeZoneText(const std::string& zone)
{
    if (zone.find('/') != std::string::npos)
        return "time zone '" + SafeName(zone) +
               "' is an IANA name, which Windows' C runtime does not know; give its own form, such as JST-9";
    return "unknown time zone '" + SafeName(zone) +
           "'; give the C runtime's form: a name, the hours west of UTC, an optional daylight name, "
           "such as EST5EDT, JST-9 or IST-5:30";
}

std::string EnvironmentZoneWarning()
{
    const std::string warning = runtime_zone::EnvironmentZoneWarning();
    return warning.empty() ? warning : SafeName(warning);  // SafeName("") would read ''
}

void UseTimeZone(const std::string& zone)
{
    // The conversion calls tzset() itself at its start.
    _putenv_s("TZ", zone.c_str());
}

std::string RefusedTimeZoneText(const std::string&) { return ""; }
