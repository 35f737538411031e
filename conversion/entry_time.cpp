#include "entry_time.h"

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

std::uint32_t StartPlusSeconds(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::int64_t wholeSeconds)
{
    LocalTime local;
    local.year = static_cast<std::int16_t>(dateWord[2] | dateWord[3] << 8);
    local.month = static_cast<int>(Signed8(dateWord[1]));
    local.day = static_cast<int>(Signed8(dateWord[0]));
    local.hour = static_cast<int>(Signed8(timeWord[3]));
    local.minute = static_cast<int>(Signed8(timeWord[2]));
    local.second = Signed8(timeWord[1]) + wholeSeconds;  // at most 127 + 4294967 + 1
    std::int64_t utc = 0;
    // Failure, and anything the 32-bit time of the format cannot hold, is 0xFFFFFFFF.
    if (!LocalTimeToUtc(local, utc) || utc < 0 || utc > 0x7FFFFFFF)
        return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(utc);
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
                      std::uint64_t entryCounter, std::uint32_t& seconds, std::uint32_t& microseconds)
{
    // A fresh clock has nothing to share: one mktime for this one entry.
    EntryClock(timeWord, dateWord, resolutionCode).Compute(entryCounter, seconds, microseconds);
}

EntryClock::EntryClock(const std::uint8_t* timeWord, const std::uint8_t* dateWord, std::uint8_t resolutionCode)
    : m_tickMicroseconds(TickMicroseconds(resolutionCode)), m_hundredthsMicroseconds(Signed8(timeWord[0]) * 10000)
{
    std::memcpy(m_timeWord, timeWord, 4);
    std::memcpy(m_dateWord, dateWord, 4);
}

void EntryClock::Compute(std::uint64_t entryCounter, std::uint32_t& seconds, std::uint32_t& microseconds)
{
    // Offset since the start in microseconds: signed, since a hundredths byte of
    // 128 or more counts as negative. The counter is 32-bit and the multiplier
    // at most 1000: no overflow.
    const std::int64_t offset =
        static_cast<std::int64_t>(entryCounter & 0xFFFFFFFFu) * m_tickMicroseconds + m_hundredthsMicroseconds;
    const std::int64_t whole = FloorSeconds(offset);
    microseconds = static_cast<std::uint32_t>(offset - whole * kMicrosPerSecond);
    // Every input of mktime but the seconds is fixed for the capture, so equal
    // whole seconds give equal results.
    if (!m_haveLast || whole != m_lastWholeSeconds) {
        m_lastSeconds = StartPlusSeconds(m_timeWord, m_dateWord, whole);
        m_lastWholeSeconds = whole;
        m_haveLast = true;
    }
    seconds = m_lastSeconds;
}
