#pragma once

#include "capture_builder.h"
#include "convert_capture_file.h"
#include "pcap_expect.h"
#include "recording_host.h"
#include "scoped_time_zone.h"
#include "test_files.h"

#include <gtest/gtest.h>

// The default DINF body starts at 2010-01-01 00:00:00.00 with 1 ms ticks.
inline std::uint32_t DefaultStartSeconds() { return static_cast<std::uint32_t>(UtcSeconds(2010, 1, 1, 0, 0, 0)); }

inline CaptureBuilder CaptureWith(const EntryLog& log, const DinfBody& dinf = DinfBody())
{
    CaptureBuilder capture;
    capture.Dinf(dinf).Monl(log);
    return capture;
}

// One scratch folder per test, UTC unless the test says otherwise, and every
// message the conversion shows.
class ConversionTest : public ::testing::Test {
protected:
    int Convert(const std::string& path) { return ConvertCaptureFile(path, host); }
    int Convert() { return Convert(input); }

    // The conversion fails with exactly one message: the input path and `text`.
    void ExpectFailure(const std::string& text, const std::string& path)
    {
        host.messages.clear();
        EXPECT_EQ(Convert(path), -1);
        EXPECT_EQ(host.messages, std::vector<std::string>{path + text});
    }
    void ExpectFailure(const std::string& text) { ExpectFailure(text, input); }

    void ExpectSuccess(const std::string& path)
    {
        host.messages.clear();
        EXPECT_EQ(Convert(path), 0);
        EXPECT_TRUE(host.messages.empty()) << host.messages.front();
    }
    void ExpectSuccess() { ExpectSuccess(input); }

    ScopedTimeZone utc{"UTC"};
    TempDir dir;
    RecordingHost host;
    std::string input = dir / "run1.DT";
    std::string output = dir / "run1.pcap";
};

// Time stamps of every record of a pcap file, read back through libpcap.
inline std::vector<std::pair<std::uint32_t, std::uint32_t>> RecordTimes(const std::string& path)
{
    const PcapContents pcap = ReadPcap(path);
    EXPECT_EQ(pcap.error, "");
    std::vector<std::pair<std::uint32_t, std::uint32_t>> times;
    for (const PcapRecord& record : pcap.records)
        times.emplace_back(record.seconds, record.microseconds);
    return times;
}
