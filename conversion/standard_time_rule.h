#pragma once

// A zone's standard time (its clock with daylight saving off) derived from
// nothing but the offsets the zone had and when they changed, as a browser's
// Intl gives them. A stretch of time whose offset is higher than both the
// stretch before and the one after, and which lasts less than a year, is
// daylight saving time; it takes the offset of the neighbour glibc's mktime
// finds first (it looks a week before, a week after, two weeks before...),
// about the nearer one. Every other stretch is standard time, also the years
// Moscow kept +4 or Ireland +1.

#include "local_time.h"

#include <cstdint>
#include <vector>

struct ZoneOffsetChange {
    std::int64_t utc = 0;     // from this instant (seconds since 1970 UTC) on...
    std::int32_t offset = 0;  // ...the zone's clock is this many seconds ahead of UTC
};

class StandardTimeRule {
public:
    // `changes` sorted by instant; the first offset also holds before its
    // instant, the last one for ever after. No changes at all is UTC.
    explicit StandardTimeRule(const std::vector<ZoneOffsetChange>& changes = {});

    std::int32_t StandardOffsetAt(std::int64_t utc) const;

    // UTC of the wall-clock time `civilSeconds` (CivilSeconds) in standard
    // time. False when standard time skips that wall-clock time (a standard
    // offset that grows, as Moscow's on 27 March 2011), as mktime fails there.
    bool ToUtc(std::int64_t civilSeconds, std::int64_t& utc) const;

    // UTC of `local` in standard time the way glibc's mktime counts it, which
    // the programs use: the offset is the one of the wall-clock minute with
    // the seconds held to 0..59, the seconds beyond are added afterwards.
    bool LocalToUtc(const LocalTime& local, std::int64_t& utc) const;

private:
    struct DaylightSaving {
        std::int64_t from, to;  // UTC
        std::int32_t offset, before, after;
        std::int64_t handOver;  // from here on (UTC, read in daylight saving) `after` is found first
    };

    std::vector<ZoneOffsetChange> m_standard;  // sorted, no two neighbours equal
    std::vector<DaylightSaving> m_daylightSaving;  // sorted
};
