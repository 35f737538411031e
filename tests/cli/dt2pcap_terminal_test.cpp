// Behaviour that depends on a terminal, run on a pseudo-terminal: the
// progress line on standard error, and refusing to write pcap bytes to one.

#include "child_process.h"
#include "hand_capture.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

namespace dt2pcap_harness {
namespace {

class OnTerminal : public ::testing::Test {
protected:
    void SetUp() override { WriteCapture(dir / "run1.DT", SomeFrames(8)); }

    Invocation Here(std::vector<std::string> args)
    {
        Invocation invocation;
        invocation.args = std::move(args);
        invocation.directory = dir.path();
        return invocation;
    }

    // What the terminal showed, cut at each carriage return.
    static std::vector<std::string> Redraws(const std::string& shown)
    {
        std::vector<std::string> pieces;
        std::size_t start = 0;
        for (std::size_t end; (end = shown.find('\r', start)) != std::string::npos; start = end + 1)
            pieces.push_back(shown.substr(start, end - start));
        pieces.push_back(shown.substr(start));
        return pieces;
    }

    ScratchDir dir;
};

TEST_F(OnTerminal, RefusesATerminalAsStandardOutput)
{
    const Result result = RunDt2pcapOnTerminal(Here({"-o", "-", "run1.DT"}));
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.out.find("refusing to write a capture to a terminal"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("\xd4\xc3\xb2\xa1"), std::string::npos) << "pcap bytes reached the terminal";
}

TEST_F(OnTerminal, ProgressLineIsDrawnAndWipedWhenStderrIsATerminal)
{
    const Result result = RunDt2pcapOnTerminal(Here({"run1.DT"}));
    ASSERT_EQ(result.status, 0) << result.out;
    const std::vector<std::string> redraws = Redraws(result.out);
    ASSERT_GE(redraws.size(), 3u) << result.out;

    bool drawn = false;
    for (const std::string& line : redraws)
        drawn = drawn || (line.find("run1.DT") == 0 && line.find('%') != std::string::npos &&
                          line.find("MB/s") != std::string::npos);
    EXPECT_TRUE(drawn) << result.out;
    // Ends wiped: blanks over the last line and the cursor back at its start.
    EXPECT_EQ(redraws.back(), "");
    EXPECT_EQ(redraws[redraws.size() - 2].find_first_not_of(' '), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find('\n'), std::string::npos);

    EXPECT_EQ(PcapRecordSeconds(dir / "run1.pcap").size(), 8u);
}

TEST_F(OnTerminal, ProgressNeverTouchesThePcapStreamedToAPipe)
{
    const Result beside = RunDt2pcap(Here({"run1.DT"}));
    ASSERT_EQ(beside.status, 0);

    Invocation streamed = Here({"-o", "-", "run1.DT"});
    streamed.stdoutFile = dir / "streamed.pcap";
    const Result result = RunDt2pcapOnTerminal(streamed);
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_NE(result.out.find("MB/s"), std::string::npos) << result.out;
    EXPECT_EQ(ReadWholeFile(dir / "streamed.pcap"), ReadWholeFile(dir / "run1.pcap"));
}

TEST_F(OnTerminal, QuietOrNoTerminalMeansNoProgress)
{
    for (const char* option : {"-q", "--quiet"}) {
        const Result result = RunDt2pcapOnTerminal(Here({option, "run1.DT"}));
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "") << option;
    }
    const Result piped = RunDt2pcap(Here({"run1.DT"}));
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.err, "");
}

TEST_F(OnTerminal, MessageStartsOnAWipedLine)
{
    WriteBrokenCapture(dir / "bad.DT");
    const Result result = RunDt2pcapOnTerminal(Here({"-k", "run1.DT", "bad.DT"}));
    EXPECT_EQ(result.status, 1);
    const std::size_t message = result.out.find("bad.DT File header error\n");
    ASSERT_NE(message, std::string::npos) << result.out;
    ASSERT_GT(message, 0u);
    EXPECT_EQ(result.out[message - 1], '\r') << result.out;
    EXPECT_NE(result.out.find("\ndt2pcap: 1 of 2 files not converted\n"), std::string::npos) << result.out;
}

TEST_F(OnTerminal, LongFileNamesAreShortenedSoTheLineNeverWraps)
{
    const std::string name = std::string(150, 'n') + ".DT";
    WriteCapture(dir / name, SomeFrames(1));
    const Result result = RunDt2pcapOnTerminal(Here({name}));
    ASSERT_EQ(result.status, 0) << result.out;
    bool sawTail = false;
    for (const std::string& line : Redraws(result.out)) {
        EXPECT_LT(line.size(), 80u) << line;
        sawTail = sawTail || (line.compare(0, 7, "...nnnn") == 0 && line.find("n.DT  ") != std::string::npos);
    }
    EXPECT_TRUE(sawTail) << result.out;
}

} // namespace
} // namespace dt2pcap_harness
