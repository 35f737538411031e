#pragma once

// Windows only: the C runtime's own zones. It knows no IANA names; TZ takes
// NAME[+|-]hh[:mm[:ss]][DST], three letters, the hours WEST of UTC and an
// optional daylight name ("JST-9", "EST5EDT", "IST-5:30"). Anything else it
// reads without complaint as some other zone, mostly UTC.

#include <string>

namespace runtime_zone {

// True when `zone` is in that form with its offset stated, or is "UTC" or
// "GMT" alone (which mean what they say). "EST" alone is not: the runtime
// would take it for UTC.
bool IsStatedZone(const std::string& zone);

// The offset east of UTC as "UTC", "UTC+09:00", "UTC-05:30".
std::string UtcOffsetText(long secondsWest);

// When TZ is set to something the runtime would silently read as another
// zone (an IANA name, a name without its offset): one sentence saying so and
// naming the zone it will use. Empty when TZ is unset, empty or stated.
std::string EnvironmentZoneWarning();

} // namespace runtime_zone
