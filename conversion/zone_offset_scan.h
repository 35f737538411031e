#pragma once

// The offsets a zone had from 1960 to 2040 and the instants they changed,
// found by sampling its offset every few days and bisecting each change to
// the second. The programs sample the C runtime's zone data (TZ or the
// system's) with localtime; the web edition samples the browser's.

#include "standard_time_rule.h"

#include <cstdint>
#include <functional>
#include <vector>

struct ZoneOffsetHistory {
    std::vector<ZoneOffsetChange> changes;
};

// A zone's offset east of UTC, in seconds, at the instant `utc`.
using ZoneOffsetAt = std::function<std::int32_t(std::int64_t utc)>;

ZoneOffsetHistory ScanZoneOffsets(const ZoneOffsetAt& offsetAt);

// The scan of the C runtime's zone in force.
ZoneOffsetHistory ScanZoneOffsets();

// Whether some time is flagged daylight saving yet runs behind the standard
// time before it: glibc's data for Ireland, whose summer time is its standard.
// Weekly samples, no bisection: quick, so that other zones skip the scan.
bool HasNegativeDaylightSaving();
