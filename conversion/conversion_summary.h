#pragma once

// What a finished (or partly kept) conversion wrote, for checking a result at
// a glance: how many frames, how many header-only entries were passed over,
// the first and last time stamps and the time between them.

#include "capture_format.h"

#include <cstdint>
#include <string>

struct ConversionSummary {
    // One record's time: as written (UTC seconds, 0xFFFFFFFF where the pcap
    // cannot hold it) and as the capture's wall clock read it.
    struct Stamp {
        std::uint32_t seconds = 0;
        std::uint32_t microseconds = 0;
        std::int64_t wallClock = 0;  // seconds since 1970-01-01 00:00 of the wall-clock time, read as UTC
    };

    std::uint64_t frames = 0;
    std::uint64_t headerOnlyEntries = 0;
    Stamp first;
    Stamp last;
    std::int64_t durationMicroseconds = 0;  // last minus first, from the tick counters
};

// Counts while the entries are walked; Finish() turns the counts into the summary.
class SummaryCounter {
public:
    void Frame(std::uint64_t counter)
    {
        if (m_frames++ == 0)
            m_firstCounter = counter;
        m_lastCounter = counter;
    }
    void HeaderOnly() { ++m_headerOnly; }
    ConversionSummary Finish(const CaptureInfo& info) const;

private:
    std::uint64_t m_frames = 0;
    std::uint64_t m_headerOnly = 0;
    std::uint64_t m_firstCounter = 0;
    std::uint64_t m_lastCounter = 0;
};

// One line for `name`, the same in every edition:
// "caps/run1.DT: 1500 frames, 2 header-only entries skipped, first 2010-03-15 09:30:00.250000
//  (2010-03-15 00:30:00.250000 UTC), last ... (... UTC), duration 299.750000 s"
std::string SummaryLine(const std::string& name, const ConversionSummary& summary);
