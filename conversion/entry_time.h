#pragma once

// Time stamps of capture entries. The capture stores the wall-clock date and
// time at which it started; each frame entry carries a tick counter in units
// of the resolution code. The record time is the start time with the whole
// seconds of the offset added before normalisation, converted from the
// converting machine's local time to UTC with daylight saving treated as off
// (mktime in the programs).

#include "local_time.h"

#include <cstdint>

// How a wall-clock time becomes UTC seconds: LocalTimeToUtc, the zone in
// force; tests hand in zones of their own.
using LocalToUtcFunction = bool (*)(const LocalTime& local, std::int64_t& utc);

// Microseconds per tick: 1 -> 1000, 2 -> 100, 3 -> 10, anything else -> 1.
std::uint32_t TickMicroseconds(std::uint8_t resolutionCode);

// `timeWord`: hundredths, seconds, minutes, hours; `dateWord`: day, month,
// year (signed 16-bit). Single bytes are signed 8-bit. `seconds` is
// 0xFFFFFFFF when the conversion fails or its result lies outside
// 0..2^31-1; `microseconds` is always 0..999999. One local-time conversion
// per call: the reference the clock below must equal.
void ComputeEntryTime(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::uint8_t resolutionCode,
                      std::uint64_t entryCounter, std::uint32_t& seconds, std::uint32_t& microseconds,
                      LocalToUtcFunction toUtc = LocalTimeToUtc);

// The wall-clock time of an entry as the capture's clock reads it: seconds
// since 1970-01-01 00:00 of that date and time read as UTC (the microseconds
// are ComputeEntryTime's), with `sinceStart` its distance from the start time
// in microseconds.
std::int64_t EntryWallClock(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::uint8_t resolutionCode,
                            std::uint64_t entryCounter, std::int64_t& sinceStart);

// The same computation for one capture's entries, converting local time once
// per local hour instead of once per frame: within an hour whose first and
// last seconds convert exactly 3599 seconds apart, every second converts to
// the first one's result plus its distance from it. An hour that holds a
// change of offset (or fails to convert) is converted second by second.
// Gives exactly what ComputeEntryTime gives for every counter.
class EntryClock {
public:
    EntryClock(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::uint8_t resolutionCode,
               LocalToUtcFunction toUtc = LocalTimeToUtc);

    void Compute(std::uint64_t entryCounter, std::uint32_t& seconds, std::uint32_t& microseconds)
    {
        // Offset since the start in microseconds: signed, since a hundredths
        // byte of 128 or more counts as negative. The counter is 32-bit and
        // the multiplier at most 1000: no overflow.
        const std::int64_t offset =
            static_cast<std::int64_t>(entryCounter & 0xFFFFFFFFu) * m_tickMicroseconds + m_hundredthsMicroseconds;
        std::int64_t whole = offset / kMicrosPerSecond;
        std::int64_t rest = offset % kMicrosPerSecond;
        if (rest < 0) {
            --whole;
            rest += kMicrosPerSecond;
        }
        microseconds = static_cast<std::uint32_t>(rest);
        if (whole < m_spanFirst || whole > m_spanLast)
            FindSpan(whole);
        const std::int64_t utc = m_spanUtc + (whole - m_spanFirst);
        // Failure (-1), and anything the 32-bit time of the format cannot hold.
        seconds = utc >= 0 && utc <= 0x7FFFFFFF ? static_cast<std::uint32_t>(utc) : 0xFFFFFFFFu;
    }

private:
    static constexpr std::int64_t kMicrosPerSecond = 1000000;
    static constexpr std::int64_t kSpanSeconds = 3600;

    // Sets the span to the local hour holding `whole`, or to `whole` alone.
    void FindSpan(std::int64_t whole);

    LocalToUtcFunction m_toUtc;
    std::uint8_t m_timeWord[4];
    std::uint8_t m_dateWord[4];
    std::int64_t m_tickMicroseconds;
    std::int64_t m_hundredthsMicroseconds;
    std::int64_t m_secondOfHour;  // the start's minutes and seconds, to align spans on local hours
    // Whole seconds m_spanFirst..m_spanLast convert to m_spanUtc + (whole - m_spanFirst).
    std::int64_t m_spanFirst = 1;
    std::int64_t m_spanLast = 0;
    std::int64_t m_spanUtc = -1;
    // First second of the last hour found not to be linear, so that its
    // seconds do not try it again.
    std::int64_t m_brokenFirst = INT64_MIN;
};
