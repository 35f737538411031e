// EntryClock calls mktime once per distinct whole second and shares the result
// between the frames of that second. It must give exactly what computing every
// frame on its own gives, across month and year ends and the daylight-saving and
// offset changes of zones with whole-hour, half-hour and no shifts.

#include "entry_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

namespace {

class ScopedZone {
public:
    explicit ScopedZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) {
            m_hadOld = true;
            m_old = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedZone()
    {
        if (m_hadOld)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_hadOld = false;
    std::string m_old;
};

struct Start {
    int year, month, day, hour, minute, second, hundredths;
};

// A few hours before a change, so that the counters walk through it.
const Start kStarts[] = {
    {2021, 3, 14, 0, 30, 0, 0},    // New York springs forward
    {2021, 11, 7, 0, 0, 59, 99},   // New York falls back
    {2021, 3, 28, 0, 0, 0, 50},    // London springs forward
    {2021, 10, 31, 0, 15, 30, 0},  // London falls back
    {2021, 4, 4, 0, 0, 0, 0},      // Lord Howe: half an hour back
    {2021, 10, 3, 0, 45, 0, 25},   // Lord Howe: half an hour forward
    {2009, 12, 31, 22, 59, 59, 99}, // year end
    {2012, 2, 28, 23, 0, 0, 0},    // leap day and month end
    {2037, 12, 31, 23, 0, 0, 0},   // toward the end of the 32-bit range
    {1970, 1, 1, 0, 0, 0, 200},    // hundredths byte 200 counts as -56
};

const char* const kZones[] = {"America/New_York", "Europe/London", "Australia/Lord_Howe", "Asia/Tokyo", "UTC"};

void Words(const Start& s, std::uint8_t time[4], std::uint8_t date[4])
{
    time[0] = static_cast<std::uint8_t>(s.hundredths);
    time[1] = static_cast<std::uint8_t>(s.second);
    time[2] = static_cast<std::uint8_t>(s.minute);
    time[3] = static_cast<std::uint8_t>(s.hour);
    date[0] = static_cast<std::uint8_t>(s.day);
    date[1] = static_cast<std::uint8_t>(s.month);
    date[2] = static_cast<std::uint8_t>(s.year & 0xFF);
    date[3] = static_cast<std::uint8_t>(s.year >> 8);
}

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

} // namespace

TEST(EntryClockIdentity, SharedSecondsEqualPerFrameMktimeAcrossZoneChanges)
{
    std::mt19937 random(20261207);
    for (const char* zone : kZones) {
        ScopedZone scoped(zone);
        for (const Start& start : kStarts) {
            std::uint8_t time[4], date[4];
            Words(start, time, date);
            for (std::uint8_t code : {1, 2, 3, 0}) {
                EntryClock clock(time, date, code);
                std::uint64_t counter = 0;
                for (int frame = 0; frame < 4000 && counter <= 0xFFFFFFFFu; ++frame) {
                    std::uint32_t sharedSeconds, sharedMicros, ownSeconds, ownMicros;
                    clock.Compute(counter, sharedSeconds, sharedMicros);
                    ComputeEntryTime(time, date, code, counter, ownSeconds, ownMicros);
                    ASSERT_EQ(sharedSeconds, ownSeconds) << zone << " code " << int(code) << " counter " << counter;
                    ASSERT_EQ(sharedMicros, ownMicros) << zone << " code " << int(code) << " counter " << counter;
                    counter = NextCounter(random, counter, TickMicroseconds(code));
                }
            }
        }
    }
}

TEST(EntryClockIdentity, CountersInAnyOrderAndAtTheTopOfTheRange)
{
    ScopedZone scoped("Europe/London");
    std::mt19937 random(7);
    const Start start = {2021, 10, 31, 0, 59, 0, 0};
    std::uint8_t time[4], date[4];
    Words(start, time, date);
    for (std::uint8_t code : {1, 3, 255}) {
        EntryClock clock(time, date, code);
        for (int frame = 0; frame < 20000; ++frame) {
            // Counters jump back and forth, and the highest ones take part too.
            std::uint64_t counter = frame % 5 == 0 ? 0xFFFFFFFFu - random() % 4000000 : random() % 20000000;
            std::uint32_t a, b, c, d;
            clock.Compute(counter, a, b);
            ComputeEntryTime(time, date, code, counter, c, d);
            ASSERT_EQ(a, c) << "counter " << counter;
            ASSERT_EQ(b, d) << "counter " << counter;
        }
    }
}
