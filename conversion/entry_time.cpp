#include "entry_time.h"

#include "civil_time.h"
#include "local_time.h"

#include <cstring>

namespace {

constexpr std::int64_t kMicrosPerSecond = 1000000;

std::int64_t Signed8(std::uint8_t byte) { return static_cast<std::int8_t>(byte); }

// Floor division, so that the remainder is always 0..999999.
std::int64_t FloorSeconds(std::int64_t offset)
{
    std::int64_t whole = offset / kMicrosPerSecond;
    if (offset % kMicrosPerSecond < 0)
        --whole;
    return whole;
}

// The start time plus `wholeSeconds`, its fields not normalised.
LocalTime StartPlus(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::int64_t wholeSeconds)
{
    LocalTime local;
    local.year = static_cast<std::int16_t>(dateWord[2] | dateWord[3] << 8);
    local.month = static_cast<int>(Signed8(dateWord[1]));
    local.day = static_cast<int>(Signed8(dateWord[0]));
    local.hour = static_cast<int>(Signed8(timeWord[3]));
    local.minute = static_cast<int>(Signed8(timeWord[2]));
    local.second = Signed8(timeWord[1]) + wholeSeconds;  // within -128 - 3600 .. 127 + 4294967 + 3600
    return local;
}

std::int64_t OffsetMicroseconds(const std::uint8_t* timeWord, std::uint8_t resolutionCode, std::uint64_t entryCounter)
{
    return static_cast<std::int64_t>(entryCounter & 0xFFFFFFFFu) * TickMicroseconds(resolutionCode) +
           Signed8(timeWord[0]) * 10000;
}

// UTC seconds of the start time plus `wholeSeconds`, or -1 when the zone
// cannot convert it.
std::int64_t StartPlusSeconds(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::int64_t wholeSeconds,
                              LocalToUtcFunction toUtc)
{
    const LocalTime local = StartPlus(timeWord, dateWord, wholeSeconds);
    std::int64_t utc = 0;
    return toUtc(local, utc) ? utc : -1;
}

} // namespace

std::uint32_t TickMicroseconds(std::uint8_t resolutionCode)
{
    switch (resolutionCode) {
    case 1: return 1000;
    case 2: return 100;
    case 3: return 10;
    default: return 1;
    }
}

void ComputeEntryTime(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::uint8_t resolutionCode,
                      std::uint64_t entryCounter, std::uint32_t& seconds, std::uint32_t& microseconds,
                      LocalToUtcFunction toUtc)
{
    const std::int64_t offset = OffsetMicroseconds(timeWord, resolutionCode, entryCounter);
    const std::int64_t whole = FloorSeconds(offset);
    microseconds = static_cast<std::uint32_t>(offset - whole * kMicrosPerSecond);
    const std::int64_t utc = StartPlusSeconds(timeWord, dateWord, whole, toUtc);
    // Failure, and anything the 32-bit time of the format cannot hold, is 0xFFFFFFFF.
    seconds = utc >= 0 && utc <= 0x7FFFFFFF ? static_cast<std::uint32_t>(utc) : 0xFFFFFFFFu;
}

std::int64_t EntryWallClock(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::uint8_t resolutionCode,
                            std::uint64_t entryCounter, std::int64_t& sinceStart)
{
    const std::int64_t offset = OffsetMicroseconds(timeWord, resolutionCode, entryCounter);
    sinceStart = offset;
    return CivilSeconds(StartPlus(timeWord, dateWord, FloorSeconds(offset)));
}

EntryClock::EntryClock(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::uint8_t resolutionCode,
                       LocalToUtcFunction toUtc)
    : m_toUtc(toUtc),
      m_tickMicroseconds(TickMicroseconds(resolutionCode)),
      m_hundredthsMicroseconds(Signed8(timeWord[0]) * 10000),
      m_secondOfHour(Signed8(timeWord[2]) * 60 + Signed8(timeWord[1]))
{
    std::memcpy(m_timeWord, timeWord, 4);
    std::memcpy(m_dateWord, dateWord, 4);
}

void EntryClock::FindSpan(std::int64_t whole)
{
    // The local hour holding `whole`: where the clock's minutes and seconds are 00:00.
    std::int64_t intoHour = (whole + m_secondOfHour) % kSpanSeconds;
    if (intoHour < 0)
        intoHour += kSpanSeconds;
    const std::int64_t first = whole - intoHour;
    const std::int64_t last = first + kSpanSeconds - 1;
    if (first != m_brokenFirst) {
        const std::int64_t firstUtc = StartPlusSeconds(m_timeWord, m_dateWord, first, m_toUtc);
        const std::int64_t lastUtc = StartPlusSeconds(m_timeWord, m_dateWord, last, m_toUtc);
        if (firstUtc != -1 && lastUtc != -1 && lastUtc - firstUtc == kSpanSeconds - 1) {
            m_spanFirst = first;
            m_spanLast = last;
            m_spanUtc = firstUtc;
            return;
        }
        m_brokenFirst = first;
    }
    // An hour with a change in it: this second on its own.
    m_spanFirst = m_spanLast = whole;
    m_spanUtc = StartPlusSeconds(m_timeWord, m_dateWord, whole, m_toUtc);
}
