#pragma once

// Time stamps of capture entries. The capture stores the wall-clock date and
// time at which it started; each frame entry carries a tick counter in units
// of the resolution code. The record time is mktime() of the start time with
// the whole seconds of the offset added before normalisation, in the local
// time zone of the converting machine, daylight saving treated as off.

#include <cstdint>

// Microseconds per tick: 1 -> 1000, 2 -> 100, 3 -> 10, anything else -> 1.
std::uint32_t TickMicroseconds(std::uint8_t resolutionCode);

// `timeWord`: hundredths, seconds, minutes, hours; `dateWord`: day, month,
// year (signed 16-bit). Single bytes are signed 8-bit. `seconds` is
// 0xFFFFFFFF when mktime fails or its result lies outside 0..2^31-1;
// `microseconds` is always 0..999999.
void ComputeEntryTime(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::uint8_t resolutionCode,
                      std::uint64_t entryCounter, std::uint32_t& seconds, std::uint32_t& microseconds);

// The same computation for one capture's entries, calling mktime once per
// distinct whole second instead of once per frame. Gives exactly what
// ComputeEntryTime gives for every counter.
class EntryClock {
public:
    EntryClock(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::uint8_t resolutionCode);

    void Compute(std::uint64_t entryCounter, std::uint32_t& seconds, std::uint32_t& microseconds);

private:
    std::uint8_t m_timeWord[4];
    std::uint8_t m_dateWord[4];
    std::int64_t m_tickMicroseconds;
    std::int64_t m_hundredthsMicroseconds;
    bool m_haveLast = false;
    std::int64_t m_lastWholeSeconds = 0;
    std::uint32_t m_lastSeconds = 0;
};
