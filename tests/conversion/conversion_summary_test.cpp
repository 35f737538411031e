#include "conversion_summary.h"

#include "local_time.h"
#include "scoped_time_zone.h"

#include <gtest/gtest.h>

namespace {

// Start 2010-03-15 09:30:00.25 on the capture's clock, 1 ms ticks.
CaptureInfo Tokyo2010()
{
    CaptureInfo info;
    const std::uint8_t words[8] = {25, 0, 30, 9, 15, 3, 2010 & 0xFF, 2010 >> 8};
    std::copy(words, words + 8, info.startWords);
    info.resolutionCode = 1;
    return info;
}

} // namespace

// Counts, both clocks and the duration, worked out by hand for Tokyo (+9, no
// daylight saving); a counter that wrapped past 32 bits makes a negative duration.
TEST(ConversionSummary, CountsClocksAndDuration)
{
    ScopedTimeZone tokyo("Asia/Tokyo");
    RefreshTimeZone();
    SummaryCounter counter;
    counter.HeaderOnly();
    counter.Frame(0);
    counter.HeaderOnly();
    counter.Frame(1500);
    counter.Frame(90'061'001);  // 1 day 1 h 1 min 1.001 s later
    EXPECT_EQ(SummaryLine("run1.DT", counter.Finish(Tokyo2010())),
              "run1.DT: 3 frames, 2 header-only entries skipped, "
              "first 2010-03-15 09:30:00.250000 (2010-03-15 00:30:00.250000 UTC), "
              "last 2010-03-16 10:31:01.251000 (2010-03-16 01:31:01.251000 UTC), duration 90061.001000 s");

    SummaryCounter backwards;
    backwards.Frame(2000);
    backwards.Frame(500);
    EXPECT_NE(SummaryLine("x", backwards.Finish(Tokyo2010())).find("duration -1.500000 s"), std::string::npos);

    SummaryCounter none;
    none.HeaderOnly();
    EXPECT_EQ(SummaryLine("x", none.Finish(Tokyo2010())), "x: 0 frames, 1 header-only entry skipped");
}

// Past 2038 the pcap cannot hold the time; the capture's clock still reads it.
TEST(ConversionSummary, TimeThePcapCannotHold)
{
    ScopedTimeZone utc("UTC");
    RefreshTimeZone();
    CaptureInfo info = Tokyo2010();
    info.startWords[6] = 2150 & 0xFF;
    info.startWords[7] = 2150 >> 8;
    SummaryCounter counter;
    counter.Frame(0);
    EXPECT_NE(SummaryLine("x", counter.Finish(info))
                  .find("first 2150-03-15 09:30:00.250000 (outside the pcap's time range in UTC)"),
              std::string::npos);
}
