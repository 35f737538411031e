// A broken capture in a batch: with --keep-going convert the rest and say how
// many failed. A write error ends the batch either way.

#include "dt2pcap_fixture.h"

#include <cstdio>

namespace {

class KeepGoing : public Dt2pcapTest {
protected:
    void SetUp() override
    {
        SomeFrames(4).WriteTo(dir / "a.DT");
        NotACapture().WriteTo(dir / "b.DT");
        SomeFrames(6).WriteTo(dir / "c.DT");
        SomeFrames(2).WriteTo(dir / "d.DT");
    }
};

TEST_F(KeepGoing, ConvertsTheFilesAfterABrokenOneAndSumsUp)
{
    NotACapture().WriteTo(dir / "e.DT");
    for (const char* option : {"-k", "--keep-going"}) {
        SCOPED_TRACE(option);
        const CommandResult result = Run({option, "a.DT", "b.DT", "missing.DT", "c.DT", "e.DT", "d.DT"});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err,
                  "b.DT File header error\n"
                  "missing.DT Open error\n"
                  "e.DT File header error\n"
                  "dt2pcap: 3 of 6 files not converted\n");
        EXPECT_EQ(RecordCount("a.pcap"), 4u);
        EXPECT_EQ(RecordCount("c.pcap"), 6u);
        EXPECT_EQ(RecordCount("d.pcap"), 2u);
        EXPECT_FALSE(PathExists(dir / "b.pcap"));
    }
}

TEST_F(KeepGoing, AllConvertedIsSilentSuccess)
{
    const CommandResult result = Run({"-k", "a.DT", "c.DT", "d.DT"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
}

TEST_F(KeepGoing, WriteErrorEndsTheRunEvenWithKeepGoing)
{
    if (!IsPosixSystem())
        GTEST_SKIP() << "no /dev/full on Windows";
    // Room for the pcap header and a record or two, not for a.DT's four frames.
    const CommandResult result = RunLimited("--fsize=150", {"-k", "a.DT", "b.DT", "c.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "a.pcap Write error: File too large\n"
              "dt2pcap: 3 of 3 files not converted (stopped at a write error)\n");
    EXPECT_FALSE(PathExists(dir / "c.pcap"));
}

TEST_F(KeepGoing, CaptureWhoseOutputAnEarlierOneWroteIsRefused)
{
    if (!IsPosixSystem())
        GTEST_SKIP() << "run.DT and run.dt are one file on Windows";
    SomeFrames(5).WriteTo(dir / "run.DT");
    SomeFrames(3).WriteTo(dir / "run.dt");
    NotACapture().WriteTo(dir / "x.DT");
    SomeFrames(7).WriteTo(dir / "x.dt");

    // x.DT wrote nothing, so x.dt may; a capture named twice just converts again.
    const CommandResult result = Run({"-k", "run.DT", "x.DT", "run.dt", "x.dt", "a.DT", "a.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "x.DT File header error\n"
              "Write file Open error\n"
              "run.pcap: already written from run.DT in this batch, not replaced by run.dt\n"
              "dt2pcap: 2 of 6 files not converted\n");
    EXPECT_EQ(RecordCount("run.pcap"), 5u);
    EXPECT_EQ(RecordCount("x.pcap"), 7u);
    EXPECT_EQ(RecordCount("a.pcap"), 4u);

    // Without -k the run ends there.
    ASSERT_EQ(std::remove((dir / "a.pcap").c_str()), 0);
    EXPECT_EQ(Run({"run.DT", "run.dt", "a.DT"}).exitCode, 1);
    EXPECT_EQ(RecordCount("run.pcap"), 5u);
    EXPECT_FALSE(PathExists(dir / "a.pcap"));
}

} // namespace
