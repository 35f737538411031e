// Where the pcap goes (-o PATH, -o -) and which zone its time stamps use (--tz).

#include "dt2pcap_fixture.h"

#include <filesystem>
#include <thread>

namespace {

constexpr unsigned kFrames = 25;

class Dt2pcapOutput : public Dt2pcapTest {
protected:
    void SetUp() override { SomeFrames(kFrames).WriteTo(dir / "run1.DT"); }

    // The pcap as converted beside the input, the everyday way.
    Bytes BesideInput(const std::vector<std::string>& env = {"TZ=UTC"})
    {
        const CommandResult result = Run({"run1.DT"}, env);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return ReadFileBytes(dir / "run1.pcap");
    }
    static Bytes Out(const CommandResult& result) { return Bytes(result.out.begin(), result.out.end()); }
};

TEST_F(Dt2pcapOutput, OutputPathReceivesTheSameFileAndNothingIsWrittenBesideTheInput)
{
    const Bytes expected = BesideInput();
    ASSERT_TRUE(std::filesystem::remove(dir / "run1.pcap"));
    std::filesystem::create_directory(dir / "elsewhere");

    const CommandResult result = Run({"--output=elsewhere/first run.pcap", "run1.DT"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(ReadFileBytes(dir / "elsewhere/first run.pcap") == expected);
    EXPECT_FALSE(PathExists(dir / "run1.pcap"));
}

TEST_F(Dt2pcapOutput, StandardOutputIsByteIdenticalToTheFile)
{
    const Bytes expected = BesideInput();
    ASSERT_GT(expected.size(), 24u);

    const CommandResult result = Run({"-o", "-", "run1.DT"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(Out(result) == expected) << "stdout differs from run1.pcap (" << result.out.size() << " vs "
                                        << expected.size() << " bytes)";

    // The same when standard output is a regular file, and libpcap reads every frame of it.
    ASSERT_EQ(Run({"-o", "-", "run1.DT"}, {"TZ=UTC"}, dir / "streamed.pcap").exitCode, 0);
    EXPECT_TRUE(ReadFileBytes(dir / "streamed.pcap") == expected);
    EXPECT_EQ(RecordCount("streamed.pcap"), kFrames);
}

TEST_F(Dt2pcapOutput, OutputNamingTheInputIsRefusedAndTheInputKept)
{
    const Bytes input = ReadFileBytes(dir / "run1.DT");
    for (const std::string path : {"run1.DT", "./run1.DT"}) {
        const CommandResult result = Run({"-o", path, "run1.DT"});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "Write file Open error\n" + path + ": it is the capture file being converted\n");
    }
    // Standard output appending to the input is the input too; nothing is written.
    const CommandResult result = Run({"-o", "-", "run1.DT"}, {"TZ=UTC"}, dir / "run1.DT", true);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Write file Open error\nstandard output: it is the capture file being converted\n");
    EXPECT_EQ(ReadFileBytes(dir / "run1.DT"), input);
}

// Each run writes its own temporary file: the last to finish wins, whole.
TEST_F(Dt2pcapOutput, RunsConvertingTheSameCaptureAtOnceLeaveOneCompletePcap)
{
    SomeFrames(20000).WriteTo(dir / "run1.DT");  // a few megabytes, so that the runs overlap
    std::vector<std::thread> runs;
    std::vector<CommandResult> results(4);
    for (CommandResult& result : results)
        runs.emplace_back([&] { result = Run({"run1.DT"}); });
    for (std::thread& run : runs)
        run.join();
    for (const CommandResult& result : results)
        EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"run1.DT", "run1.pcap"}));
    EXPECT_EQ(RecordCount("run1.pcap"), 20000u);
}

TEST_F(Dt2pcapOutput, WriteErrorOnStandardOutputFailsTheConversion)
{
    const CommandResult result = Run({"-o", "-", "run1.DT"}, {"TZ=UTC"}, "/dev/full");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "standard output Write error: No space left on device\n");
}

TEST_F(Dt2pcapOutput, TzOptionEqualsConvertingWithTzInTheEnvironment)
{
    const Bytes tokyoByEnvironment = BesideInput({"TZ=Asia/Tokyo"});
    ASSERT_FALSE(BesideInput({"TZ=UTC"}) == tokyoByEnvironment);

    // Whatever TZ says, --tz wins; with or without glibc's leading ':'.
    for (const char* environment : {"TZ=UTC", "TZ=America/New_York"}) {
        for (const char* zone : {"Asia/Tokyo", ":Asia/Tokyo"}) {
            SCOPED_TRACE(std::string(environment) + " --tz " + zone);
            const CommandResult result = Run({"--tz", zone, "-o", "-", "run1.DT"}, {environment});
            EXPECT_EQ(result.exitCode, 0) << result.err;
            EXPECT_TRUE(Out(result) == tokyoByEnvironment);
        }
    }

    // The recording machine's 12:45:30 in Tokyo is 03:45:30 UTC.
    ASSERT_EQ(Run({"--tz=Asia/Tokyo", "-o", "tokyo.pcap", "run1.DT"}).exitCode, 0);
    const std::vector<PcapRecord> tokyo = Records("tokyo.pcap");
    const std::vector<PcapRecord> universal = Records("run1.pcap");
    ASSERT_EQ(tokyo.size(), kFrames);
    ASSERT_EQ(universal.size(), tokyo.size());
    for (std::size_t i = 0; i < tokyo.size(); ++i)
        EXPECT_EQ(universal[i].seconds - tokyo[i].seconds, 9u * 3600) << "record " << i;
}

TEST_F(Dt2pcapOutput, TzAppliesToEveryFileOfTheRun)
{
    SomeFrames(3).WriteTo(dir / "run2.DT");
    ASSERT_EQ(Run({"run2.DT"}, {"TZ=Asia/Tokyo"}).exitCode, 0);
    const Bytes expected = ReadFileBytes(dir / "run2.pcap");

    const CommandResult result = Run({"--tz", "Asia/Tokyo", "run1.DT", "run2.DT"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFileBytes(dir / "run2.pcap"), expected);
}

} // namespace
