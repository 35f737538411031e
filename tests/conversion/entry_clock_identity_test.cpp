// EntryClock converts local time once per local hour and counts seconds within
// it. It must give exactly what computing every frame on its own gives, across
// month and year ends and the daylight-saving and offset changes of zones with
// whole-hour, half-hour and no shifts, and in a zone of the test's own whose
// offset steps inside an hour, which only the hour check can notice.

#include "capture_builder.h"
#include "civil_time.h"
#include "entry_time.h"
#include "scoped_time_zone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// Each counter through the shared clock and computed on its own: same seconds, same microseconds.
void ExpectSameTimes(const StartWords& start, std::uint8_t code, const std::vector<std::uint64_t>& counters)
{
    const Bytes time = start.TimeWord(), date = start.DateWord();
    EntryClock clock(time.data(), date.data(), code);
    for (std::uint64_t counter : counters) {
        std::uint32_t sharedSeconds = 1, sharedMicros = 1, ownSeconds = 2, ownMicros = 2;
        clock.Compute(counter, sharedSeconds, sharedMicros);
        ComputeEntryTime(time.data(), date.data(), code, counter, ownSeconds, ownMicros);
        ASSERT_EQ(sharedSeconds, ownSeconds) << "code " << int{code} << " counter " << counter;
        ASSERT_EQ(sharedMicros, ownMicros) << "code " << int{code} << " counter " << counter;
    }
}

// A few hours before a change, so that the counters walk through it.
// hundredths, second, minute, hour, day, month, year
const StartWords kStarts[] = {
    {0, 0, 30, 0, 14, 3, 2021},     // New York springs forward
    {99, 59, 0, 0, 7, 11, 2021},    // New York falls back
    {50, 0, 0, 0, 28, 3, 2021},     // London springs forward
    {0, 30, 15, 0, 31, 10, 2021},   // London falls back
    {0, 0, 0, 0, 4, 4, 2021},       // Lord Howe: half an hour back
    {25, 0, 45, 0, 3, 10, 2021},    // Lord Howe: half an hour forward
    {99, 59, 59, 22, 31, 12, 2009}, // year end
    {0, 0, 0, 23, 28, 2, 2012},     // leap day and month end
    {0, 0, 0, 23, 31, 12, 2037},    // toward the end of the 32-bit range
    {200, 0, 0, 0, 1, 1, 1970},     // hundredths byte 200 counts as -56
};

const char* const kZones[] = {"America/New_York", "Europe/London", "Australia/Lord_Howe", "Asia/Tokyo", "UTC"};

// Counters as a capture has them: mostly rising, many frames per second, some
// long gaps; about six hours of capture per run whatever the tick.
std::uint64_t NextCounter(std::mt19937& random, std::uint64_t counter, std::uint32_t tickMicros)
{
    const std::uint64_t ticksPerSecond = 1000000 / tickMicros;
    switch (random() % 8) {
    case 0: return counter;                                      // same tick
    case 1: return counter + ticksPerSecond * (1 + random() % 30); // a gap
    default: return counter + random() % (ticksPerSecond / 3 + 1);
    }
}

TEST(EntryClockIdentity, SharedSecondsEqualPerFrameMktimeAcrossZoneChanges)
{
    std::mt19937 random(20261207);
    for (const char* zone : kZones) {
        ScopedTimeZone scoped(zone);
        for (const StartWords& start : kStarts) {
            for (std::uint8_t code : {1, 2, 3, 0}) {
                std::vector<std::uint64_t> counters;
                for (std::uint64_t counter = 0; counters.size() < 4000 && counter <= 0xFFFFFFFFu;
                     counter = NextCounter(random, counter, TickMicroseconds(code)))
                    counters.push_back(counter);
                SCOPED_TRACE(zone);
                ExpectSameTimes(start, code, counters);
            }
        }
    }
}

TEST(EntryClockIdentity, CountersInAnyOrderAndAtTheTopOfTheRange)
{
    ScopedTimeZone scoped("Europe/London");
    std::mt19937 random(7);
    for (std::uint8_t code : {1, 3, 255}) {
        // Counters jump back and forth, and the highest ones take part too.
        std::vector<std::uint64_t> counters;
        for (int frame = 0; frame < 20000; ++frame)
            counters.push_back(frame % 5 == 0 ? 0xFFFFFFFFu - random() % 4000000 : random() % 20000000);
        ExpectSameTimes({0, 0, 59, 0, 31, 10, 2021}, code, counters);
    }
}

TEST(EntryClockIdentity, SignedWordsDatesOutOfRangeAndEveryCode)
{
    const StartWords starts[] = {{25, 9, 8, 7, 6, 5, 2010}, {0xFF, 0xC4, 0xFF, 23, 31, 12, 2009},
                                 {0, 7, 14, 3, 19, 1, 2038}, {0, 59, 59, 23, 31, 12, 1969}};
    const std::vector<std::uint64_t> counters = {0, 1, 999, 1000, 1000, 5, 0xFFFFFFFF, 0x80000000, 123456789,
                                                 123456789, 123457000, 42, 0, 86400000, 86399999};
    for (const char* zone : {"UTC", "America/New_York"}) {
        ScopedTimeZone scoped(zone);
        SCOPED_TRACE(zone);
        for (const StartWords& start : starts) {
            for (std::uint8_t code : {0, 1, 2, 3, 255})
                ExpectSameTimes(start, code, counters);
        }
    }
}

// Standard offsets that changed at half past an hour, so that one local hour
// holds two offsets: every second of the hours around the change.
TEST(EntryClockIdentity, OffsetChangesInsideALocalHour)
{
    const std::pair<const char*, StartWords> changes[] = {
        {"America/Caracas", {0, 0, 0, 1, 1, 5, 2016}},  // 02:30 became 03:00
        {"Asia/Pyongyang", {0, 0, 0, 22, 4, 5, 2018}},  // 23:30 became 24:00
        {"Australia/Lord_Howe", {0, 0, 0, 1, 3, 4, 2022}},  // half-hour saving ends
    };
    std::mt19937 random(2016);
    for (const auto& [zone, start] : changes) {
        ScopedTimeZone scoped(zone);
        SCOPED_TRACE(zone);
        for (std::uint8_t hundredths : {0, 50}) {
            StartWords shifted = start;
            shifted.hundredths = hundredths;
            std::vector<std::uint64_t> counters;
            for (std::uint64_t second = 0; second < 3 * 3600; ++second)
                counters.push_back(second * 1000 + random() % 1000);
            std::shuffle(counters.begin(), counters.end(), random);
            ExpectSameTimes(shifted, 1, counters);
        }
    }
}

// A zone of the test's own: its clock is `g_stepSeconds` further ahead of UTC
// from the wall-clock second `g_stepAt` on, a change that no hour boundary
// hides, of any size.
std::int64_t g_stepAt = 0;
std::int64_t g_stepSeconds = 0;

bool SteppingZoneToUtc(const LocalTime& local, std::int64_t& utc)
{
    const std::int64_t civil = CivilSeconds(local);
    utc = civil - (civil >= g_stepAt ? g_stepSeconds : 0);
    return true;
}

// Every second of the hours around a step that lies inside a local hour:
// each must be what the zone gives for that second on its own.
TEST(EntryClockIdentity, OffsetThatStepsInsideAnHourIsSeenByTheHourCheck)
{
    // 2021-06-01 08:00:00.50; the step at 10:17:23. In seconds since 1970 read
    // as UTC: 2021-06-01 is day 18779 (51 years, 13 of them leap years, then
    // 151 days of 2021), 1622505600 s; 08:00 is 28800 s later, 10:17:23 37043 s.
    const StartWords start{50, 0, 0, 8, 1, 6, 2021};
    const std::int64_t startUtc = 1622534400;
    g_stepAt = 1622542643;
    const Bytes time = start.TimeWord(), date = start.DateWord();
    std::mt19937 random(1017);
    for (const std::int64_t step : {1800, 1, -1, -3600}) {
        g_stepSeconds = step;
        std::vector<std::uint64_t> counters;
        for (std::uint64_t second = 0; second < 5 * 3600; ++second)
            counters.push_back(second * 1000 + random() % 1000);
        std::shuffle(counters.begin() + 3600, counters.end(), random);  // in order, then jumping about
        EntryClock clock(time.data(), date.data(), 1, SteppingZoneToUtc);
        for (const std::uint64_t counter : counters) {
            // 0.50 s of hundredths: from 0.5 s of the counter on, the next second.
            const std::int64_t whole = static_cast<std::int64_t>((counter + 500) / 1000);
            const std::int64_t civil = startUtc + whole;
            const std::int64_t expected = civil - (civil >= g_stepAt ? step : 0);
            std::uint32_t seconds = 0, micros = 0;
            clock.Compute(counter, seconds, micros);
            ASSERT_EQ(seconds, static_cast<std::uint32_t>(expected)) << "step " << step << ", counter " << counter;
            ASSERT_EQ(micros, (counter + 500) % 1000 * 1000) << "counter " << counter;
        }
    }
}

} // namespace
