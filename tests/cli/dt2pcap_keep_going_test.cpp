// A broken capture in a batch: stop there, or with --keep-going convert the
// rest and say how many failed. A write error ends the batch either way.

#include "child_process.h"
#include "hand_capture.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

namespace dt2pcap_harness {
namespace {

class KeepGoing : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteCapture(dir / "a.DT", SomeFrames(4));
        WriteBrokenCapture(dir / "b.DT");
        WriteCapture(dir / "c.DT", SomeFrames(6));
        WriteCapture(dir / "d.DT", SomeFrames(2));
    }

    Result RunHere(std::vector<std::string> args, long fileSizeLimit = -1)
    {
        Invocation invocation;
        invocation.args = std::move(args);
        invocation.directory = dir.path();
        invocation.fileSizeLimit = fileSizeLimit;
        return RunDt2pcap(invocation);
    }

    ScratchDir dir;
};

TEST_F(KeepGoing, WithoutItTheFirstFailureEndsTheRun)
{
    const Result result = RunHere({"a.DT", "b.DT", "c.DT", "d.DT"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "b.DT File header error\n");
    EXPECT_TRUE(FileExists(dir / "a.pcap"));
    EXPECT_FALSE(FileExists(dir / "b.pcap"));
    EXPECT_FALSE(FileExists(dir / "c.pcap"));
    EXPECT_FALSE(FileExists(dir / "d.pcap"));
}

TEST_F(KeepGoing, ConvertsTheFilesAfterABrokenOneAndSumsUp)
{
    WriteBrokenCapture(dir / "e.DT");
    for (const char* option : {"-k", "--keep-going"}) {
        SCOPED_TRACE(option);
        const Result result = RunHere({option, "a.DT", "b.DT", "missing.DT", "c.DT", "e.DT", "d.DT"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err,
                  "b.DT File header error\n"
                  "missing.DT Open error\n"
                  "e.DT File header error\n"
                  "dt2pcap: 3 of 6 files not converted\n");
        EXPECT_EQ(PcapRecordSeconds(dir / "a.pcap").size(), 4u);
        EXPECT_EQ(PcapRecordSeconds(dir / "c.pcap").size(), 6u);
        EXPECT_EQ(PcapRecordSeconds(dir / "d.pcap").size(), 2u);
        EXPECT_FALSE(FileExists(dir / "b.pcap"));
    }
}

TEST_F(KeepGoing, AllConvertedIsSilentSuccess)
{
    const Result result = RunHere({"-k", "a.DT", "c.DT", "d.DT"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
}

TEST_F(KeepGoing, WriteErrorEndsTheRunEvenWithKeepGoing)
{
    // Room for the pcap header and a record or two, not for a.DT's four frames.
    const Result result = RunHere({"-k", "a.DT", "b.DT", "c.DT"}, 150);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "a.pcap Write error: File too large\n"
              "dt2pcap: 3 of 3 files not converted (stopped at a write error)\n");
    EXPECT_FALSE(FileExists(dir / "c.pcap"));

    const Result plain = RunHere({"a.DT", "c.DT"}, 150);
    EXPECT_EQ(plain.status, 1);
    EXPECT_EQ(plain.err, "a.pcap Write error: File too large\n");
}

} // namespace
} // namespace dt2pcap_harness
