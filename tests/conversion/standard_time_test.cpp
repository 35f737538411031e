// Standard time from a zone's offsets alone, as the web edition computes it,
// against the C runtime's mktime with daylight saving off; and what "daylight
// saving off" means in Ireland, where glibc's data has negative daylight saving.

#include "civil_time.h"
#include "local_time.h"
#include "pcap_expect.h"
#include "scoped_time_zone.h"
#include "standard_time_rule.h"
#include "zone_offset_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

namespace {

LocalTime Local(int year, int month, int day, int hour, int minute, std::int64_t second)
{
    LocalTime local;
    local.year = year;
    local.month = month;
    local.day = day;
    local.hour = hour;
    local.minute = minute;
    local.second = second;
    return local;
}

// The broken-down fields of `local`, daylight saving off.
struct tm Fields(const LocalTime& local)
{
    struct tm fields;
    std::memset(&fields, 0, sizeof fields);
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = static_cast<int>(local.second);
    return fields;
}

// mktime with daylight saving off, as the programs used it before Ireland.
bool MktimeStandard(const LocalTime& local, std::int64_t& utc)
{
    struct tm fields = Fields(local);
    const time_t result = std::mktime(&fields);
    utc = result;
    return result != static_cast<time_t>(-1);
}

TEST(CivilSeconds, NormalisesLikeTimegm)
{
    const LocalTime cases[] = {
        Local(2010, 3, 15, 9, 30, 0),      Local(2010, 13, 1, 0, 0, 0),   Local(2010, 0, 0, 0, 0, 0),
        Local(2012, 2, 29, 23, 59, 61),    Local(2000, -11, 31, -1, -1, -1), Local(1969, 12, 31, 23, 59, 59),
        Local(2150, 6, 1, 0, 0, 4294967), Local(2038, 1, 19, 3, 14, 8),   Local(-32768, -128, -128, -128, -128, -128),
        Local(32767, 127, 127, 127, 127, 4295094), Local(1900, 3, 1, 0, 0, 0), Local(1600, 2, 29, 12, 0, 0),
    };
    for (const LocalTime& local : cases) {
        struct tm fields = Fields(local);
        EXPECT_EQ(CivilSeconds(local), static_cast<std::int64_t>(timegm(&fields)))
            << local.year << "-" << local.month << "-" << local.day;
    }
    EXPECT_EQ(CivilSeconds(Local(2150, 1, 1, 0, 0, 0)), 5680281600);  // past 32-bit time
}

TEST(StandardTimeRule, ShortRaiseIsDaylightSavingLongOneIsStandard)
{
    const std::int64_t day = 86400;
    const StandardTimeRule rule({{0, 3600}, {100 * day, 7200}, {300 * day, 3600}, {400 * day, 7200}, {800 * day, 3600}});
    EXPECT_EQ(rule.StandardOffsetAt(50 * day), 3600);
    EXPECT_EQ(rule.StandardOffsetAt(150 * day), 3600);  // seven months higher: daylight saving
    EXPECT_EQ(rule.StandardOffsetAt(500 * day), 7200);  // over a year higher: standard time
    EXPECT_EQ(rule.StandardOffsetAt(900 * day), 3600);
    EXPECT_EQ(StandardTimeRule().StandardOffsetAt(5 * day), 0);
}

// Daylight saving (+2 from 1000000 s to 3000001 s) takes the offset of the
// standard time mktime finds first from the wall-clock time read in daylight
// saving (t): it looks 601200 s before t, then after, then twice as far
// before... Before t = 1000000 + 2 * 601200 the look before finds +1 first;
// from there the look after finds +0 first. Both in wall-clock terms.
TEST(StandardTimeRule, DaylightSavingHandsOverWhereMktimeFindsTheNextStandardTimeFirst)
{
    const StandardTimeRule rule({{0, 3600}, {1000000, 7200}, {3000001, 0}});
    const std::int64_t handOver = 1000000 + 2 * 601200;
    std::int64_t utc = 0;
    EXPECT_TRUE(rule.ToUtc(handOver - 1 + 7200, utc));
    EXPECT_EQ(utc, handOver - 1 + 7200 - 3600);
    EXPECT_TRUE(rule.ToUtc(handOver + 7200, utc));
    EXPECT_EQ(utc, handOver + 7200);
    // A raise shorter than one look: the standard time before it throughout.
    const StandardTimeRule brief({{0, 0}, {1000000, 3600}, {1400000, -3600}});
    EXPECT_TRUE(brief.ToUtc(1399999 + 3600, utc));
    EXPECT_EQ(utc, 1399999 + 3600);
}

// The runtime's offsets change at the very second the zone data says, not a
// second early or late.
TEST(ZoneOffsetScan, FindsTheSecondOfEachChange)
{
    const auto changeAt = [](const std::vector<ZoneOffsetChange>& changes, std::int64_t from, std::int64_t to) {
        for (const ZoneOffsetChange& change : changes)
            if (change.utc >= from && change.utc < to)
                return change;
        return ZoneOffsetChange{-1, -1};
    };
    {
        ScopedTimeZone scoped("America/New_York");
        const std::vector<ZoneOffsetChange> changes = ScanZoneOffsets().changes;
        const ZoneOffsetChange spring = changeAt(changes, UtcSeconds(2010, 3, 1, 0, 0, 0), UtcSeconds(2010, 4, 1, 0, 0, 0));
        EXPECT_EQ(spring.utc, UtcSeconds(2010, 3, 14, 7, 0, 0));
        EXPECT_EQ(spring.offset, -4 * 3600);
        const ZoneOffsetChange autumn = changeAt(changes, UtcSeconds(2010, 10, 1, 0, 0, 0), UtcSeconds(2010, 12, 1, 0, 0, 0));
        EXPECT_EQ(autumn.utc, UtcSeconds(2010, 11, 7, 6, 0, 0));
        EXPECT_EQ(autumn.offset, -5 * 3600);
    }
    {
        // Half an hour back at 02:00 local, +11 to +10:30.
        ScopedTimeZone scoped("Australia/Lord_Howe");
        const ZoneOffsetChange change = changeAt(ScanZoneOffsets().changes, UtcSeconds(2021, 4, 1, 0, 0, 0),
                                                 UtcSeconds(2021, 5, 1, 0, 0, 0));
        EXPECT_EQ(change.utc, UtcSeconds(2021, 4, 3, 15, 0, 0));
        EXPECT_EQ(change.offset, 10 * 3600 + 1800);
    }
}

TEST(StandardTimeRule, WallClockSkippedByStandardTimeFails)
{
    // Standard time moves from +3 to +4 at 1000 s: wall clock 1000+3h .. 1000+4h never happens.
    const StandardTimeRule rule({{0, 3 * 3600}, {1000, 4 * 3600}});
    std::int64_t utc = 0;
    EXPECT_TRUE(rule.ToUtc(999 + 3 * 3600, utc));
    EXPECT_EQ(utc, 999);
    EXPECT_FALSE(rule.ToUtc(1000 + 3 * 3600 + 1800, utc));
    EXPECT_TRUE(rule.ToUtc(1000 + 4 * 3600, utc));
    EXPECT_EQ(utc, 1000);
}

// Standard time falls from +3 to +2 at 1000000 s: wall clock 1000000+2h ..
// 1000000+3h happens twice, and mktime takes the earlier (Khartoum, 2017).
TEST(StandardTimeRule, WallClockRepeatedByStandardTimeTakesTheEarlierInstant)
{
    const StandardTimeRule rule({{0, 3 * 3600}, {1000000, 2 * 3600}});
    std::int64_t utc = 0;
    EXPECT_TRUE(rule.ToUtc(1000000 + 2 * 3600 + 1800, utc));
    EXPECT_EQ(utc, 1000000 - 1800);
    EXPECT_TRUE(rule.ToUtc(1000000 + 3 * 3600, utc));
    EXPECT_EQ(utc, 1000000 + 3600);
    EXPECT_TRUE(rule.ToUtc(1000000 + 2 * 3600 - 1, utc));
    EXPECT_EQ(utc, 1000000 - 3600 - 1);
}

// Daylight saving that offsets alone cannot tell: the flag set without the
// clock moving (Moscow 1991), standard time changed within it (Tehran 1977,
// Apia's leap over the date line). mktime takes the nearest standard time.
struct Episode {
    const char* zone;
    std::int64_t from, to;  // wall clock read as UTC
};
const Episode kOffsetsCannotTell[] = {
    {"Europe/Moscow", UtcSeconds(1991, 3, 31, 0, 0, 0), UtcSeconds(1991, 9, 30, 0, 0, 0)},
    {"Asia/Tehran", UtcSeconds(1977, 3, 21, 0, 0, 0), UtcSeconds(1977, 10, 21, 0, 0, 0)},
    {"Pacific/Apia", UtcSeconds(2011, 9, 24, 0, 0, 0), UtcSeconds(2012, 4, 1, 0, 0, 0)},
};

bool OffsetsCannotTell(const char* zone, std::int64_t wall)
{
    for (const Episode& episode : kOffsetsCannotTell)
        if (std::strcmp(zone, episode.zone) == 0 && wall >= episode.from && wall < episode.to)
            return true;
    return false;
}

// The rule fed with the runtime's own offsets gives what mktime gives, every
// seven hours from 1970 to 2037, in zones with and without daylight saving.
TEST(StandardTimeRule, MatchesMktimeOnTheRuntimesOffsets)
{
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Asia/Tokyo", "Australia/Sydney", "Europe/London",
                             "Europe/Moscow", "America/Sao_Paulo", "Asia/Tehran", "Pacific/Apia", "America/St_Johns"}) {
        ScopedTimeZone scoped(zone);
        const StandardTimeRule rule(ScanZoneOffsets().changes);
        int differences = 0;
        for (std::int64_t hours = 0; hours < 68 * 8766; hours += 7) {
            if (OffsetsCannotTell(zone, hours * 3600))
                continue;
            // Every wall-clock hour of the day in turn, some with seconds far past 59.
            const time_t wall = static_cast<time_t>(hours * 3600 + 1234);
            struct tm fields {};
            gmtime_r(&wall, &fields);
            const LocalTime local = Local(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour,
                                          fields.tm_min, fields.tm_sec + (hours % 3) * 400000);
            std::int64_t expected = 0, got = 0;
            const bool expectedOk = MktimeStandard(local, expected);
            const bool gotOk = rule.LocalToUtc(local, got);
            if ((expectedOk != gotOk || (expectedOk && expected != got)) && ++differences <= 3)
                ADD_FAILURE() << zone << " " << std::asctime(&fields) << " + " << local.second << " s: mktime " << (expectedOk ? expected : -1)
                              << ", rule " << (gotOk ? got : -1);
        }
    }
}

// Irish summer time is the daylight saving there, as everywhere else: with it
// off, Dublin keeps GMT all year (glibc's data alone would give +1 all year).
TEST(LocalTimeToUtc, DublinKeepsGmtWithDaylightSavingOff)
{
    ScopedTimeZone dublin("Europe/Dublin");
    RefreshTimeZone();
    std::int64_t utc = 0;
    ASSERT_TRUE(LocalTimeToUtc(Local(2010, 7, 1, 12, 0, 0), utc));
    EXPECT_EQ(utc, UtcSeconds(2010, 7, 1, 12, 0, 0));
    ASSERT_TRUE(LocalTimeToUtc(Local(2010, 1, 15, 12, 0, 0), utc));
    EXPECT_EQ(utc, UtcSeconds(2010, 1, 15, 12, 0, 0));
    ASSERT_TRUE(LocalTimeToUtc(Local(2010, 3, 28, 1, 30, 0), utc));  // the skipped hour
    EXPECT_EQ(utc, UtcSeconds(2010, 3, 28, 1, 30, 0));
    // Until October 1971 Ireland kept +1 all year: that was its standard time.
    ASSERT_TRUE(LocalTimeToUtc(Local(1970, 6, 1, 12, 0, 0), utc));
    EXPECT_EQ(utc, UtcSeconds(1970, 6, 1, 11, 0, 0));
}

TEST(LocalTimeToUtc, OtherZonesStillUseMktime)
{
    ScopedTimeZone dublin("Europe/Dublin");
    RefreshTimeZone();
    ScopedTimeZone berlin("Europe/Berlin");
    RefreshTimeZone();
    std::int64_t utc = 0;
    ASSERT_TRUE(LocalTimeToUtc(Local(2010, 7, 1, 12, 0, 0), utc));
    EXPECT_EQ(utc, UtcSeconds(2010, 7, 1, 11, 0, 0));
}

} // namespace
