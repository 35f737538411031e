#pragma once

// The offsets the C runtime's zone data gives the zone in force (TZ or the
// system's) from 1960 to 2040, found with localtime.

#include "standard_time_rule.h"

#include <vector>

struct ZoneOffsetHistory {
    std::vector<ZoneOffsetChange> changes;
    // Some time is flagged daylight saving yet runs behind the standard time
    // before it: glibc's data for Ireland, whose summer time is its standard.
    bool negativeDaylightSaving = false;
};

ZoneOffsetHistory ScanZoneOffsets();

// Whether the zone has such negative daylight saving at all: a quicker look
// (weekly samples, no bisection), so that other zones skip the full scan.
bool HasNegativeDaylightSaving();
