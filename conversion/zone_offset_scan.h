#pragma once

// The offsets the C runtime's zone data gives the zone in force (TZ or the
// system's) from 1960 to 2040, found with localtime.

#include "standard_time_rule.h"

#include <vector>

struct ZoneOffsetHistory {
    std::vector<ZoneOffsetChange> changes;
};

ZoneOffsetHistory ScanZoneOffsets();

// Whether some time is flagged daylight saving yet runs behind the standard
// time before it: glibc's data for Ireland, whose summer time is its standard.
// Weekly samples, no bisection: quick, so that other zones skip the scan.
bool HasNegativeDaylightSaving();
