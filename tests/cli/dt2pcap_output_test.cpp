// Where the pcap goes (-o PATH, -o -) and which zone its time stamps use (--tz).

#include "child_process.h"
#include "hand_capture.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

namespace dt2pcap_harness {
namespace {

constexpr int kFrames = 25;

class Dt2pcapOutput : public ::testing::Test {
protected:
    void SetUp() override { WriteCapture(dir / "run1.DT", SomeFrames(kFrames)); }

    Result RunHere(std::vector<std::string> args, std::vector<std::string> env = {"TZ=UTC"})
    {
        Invocation invocation;
        invocation.args = std::move(args);
        invocation.directory = dir.path();
        invocation.setEnv = std::move(env);
        return RunDt2pcap(invocation);
    }

    // The pcap as converted beside the input, the everyday way.
    std::string BesideInput(std::vector<std::string> env = {"TZ=UTC"})
    {
        const Result result = RunHere({"run1.DT"}, std::move(env));
        EXPECT_EQ(result.status, 0) << result.err;
        return ReadWholeFile(dir / "run1.pcap");
    }

    ScratchDir dir;
};

TEST_F(Dt2pcapOutput, OutputPathReceivesTheSameFileAndNothingIsWrittenBesideTheInput)
{
    const std::string expected = BesideInput();
    ASSERT_TRUE(std::filesystem::remove(dir / "run1.pcap"));
    std::filesystem::create_directory(dir / "elsewhere");

    const Result result = RunHere({"--output=elsewhere/first run.pcap", "run1.DT"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadWholeFile(dir / "elsewhere/first run.pcap"), expected);
    EXPECT_FALSE(FileExists(dir / "run1.pcap"));
}

TEST_F(Dt2pcapOutput, StandardOutputIsByteIdenticalToTheFile)
{
    const std::string expected = BesideInput();
    ASSERT_GT(expected.size(), 24u);

    const Result result = RunHere({"-o", "-", "run1.DT"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(result.out == expected) << "stdout differs from run1.pcap (" << result.out.size() << " vs "
                                        << expected.size() << " bytes)";

    // And libpcap reads every frame of the stream.
    Invocation toFile;
    toFile.args = {"-o", "-", "run1.DT"};
    toFile.directory = dir.path();
    toFile.stdoutFile = dir / "streamed.pcap";
    ASSERT_EQ(RunDt2pcap(toFile).status, 0);
    EXPECT_EQ(PcapRecordSeconds(dir / "streamed.pcap").size(), static_cast<std::size_t>(kFrames));
}

TEST_F(Dt2pcapOutput, OutputNamingTheInputIsRefusedAndTheInputKept)
{
    const std::string input = ReadWholeFile(dir / "run1.DT");
    for (const char* path : {"run1.DT", "./run1.DT"}) {
        const Result result = RunHere({"-o", path, "run1.DT"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "Write file Open error\n");
    }
    EXPECT_EQ(ReadWholeFile(dir / "run1.DT"), input);
}

TEST_F(Dt2pcapOutput, WriteErrorOnStandardOutputFailsTheConversion)
{
    Invocation invocation;
    invocation.args = {"-o", "-", "run1.DT"};
    invocation.directory = dir.path();
    invocation.stdoutFile = "/dev/full";
    const Result result = RunDt2pcap(invocation);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "standard output Write error: No space left on device\n");
}

TEST_F(Dt2pcapOutput, TzOptionEqualsConvertingWithTzInTheEnvironment)
{
    const std::string tokyoByEnvironment = BesideInput({"TZ=Asia/Tokyo"});
    const std::string utc = BesideInput({"TZ=UTC"});
    ASSERT_NE(tokyoByEnvironment, utc);

    // Whatever TZ says, --tz wins; with or without glibc's leading ':'.
    for (const char* environment : {"TZ=UTC", "TZ=America/New_York"}) {
        for (const char* zone : {"Asia/Tokyo", ":Asia/Tokyo"}) {
            SCOPED_TRACE(std::string(environment) + " --tz " + zone);
            const Result result = RunHere({"--tz", zone, "-o", "-", "run1.DT"}, {environment});
            EXPECT_EQ(result.status, 0) << result.err;
            EXPECT_TRUE(result.out == tokyoByEnvironment);
        }
    }

    // The recording machine's 12:45:30 in Tokyo is 03:45:30 UTC.
    ASSERT_EQ(RunHere({"--tz=Asia/Tokyo", "-o", "tokyo.pcap", "run1.DT"}).status, 0);
    const std::vector<long> tokyo = PcapRecordSeconds(dir / "tokyo.pcap");
    const std::vector<long> universal = PcapRecordSeconds(dir / "run1.pcap");
    ASSERT_EQ(tokyo.size(), static_cast<std::size_t>(kFrames));
    ASSERT_EQ(universal.size(), tokyo.size());
    for (std::size_t i = 0; i < tokyo.size(); ++i)
        EXPECT_EQ(universal[i] - tokyo[i], 9 * 3600) << "record " << i;
}

TEST_F(Dt2pcapOutput, TzAppliesToEveryFileOfTheRun)
{
    WriteCapture(dir / "run2.DT", SomeFrames(3));
    ASSERT_EQ(RunHere({"run2.DT"}, {"TZ=Asia/Tokyo"}).status, 0);
    const std::string expected = ReadWholeFile(dir / "run2.pcap");

    const Result result = RunHere({"--tz", "Asia/Tokyo", "run1.DT", "run2.DT"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadWholeFile(dir / "run2.pcap"), expected);
}

} // namespace
} // namespace dt2pcap_harness
