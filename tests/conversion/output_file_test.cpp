// Where the pcap file goes, what happens to files already there, and the
// failures around opening and writing files.

#include "conversion_fixture.h"
#include "output_path.h"
#include "write_error.h"

#include <csignal>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::uint32_t kStart = DefaultStartSeconds();
const Bytes kFrame{0xDE, 0xAD, 0xBE, 0xEF, 0x01};

Bytes ExpectedOutput()
{
    Bytes expected = PcapGlobalHeader();
    AppendRecord(expected, kStart + 2, 345000, kFrame);
    return expected;
}
const CaptureBuilder kCapture = CaptureWith(EntryLog().Frame({kFrame, 2345}));
const Bytes kOldOutput{'o', 'l', 'd'};

TEST(OutputPathFor, ReplacesTheExtensionOfTheFileNameOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/cap/run1.DT", "/cap/run1.pcap"}, {"a.b.DT", "a.b.pcap"},     {"run", "run.pcap"},
        {"/x.y/run", "/x.y/run.pcap"},      {"./run", "./run.pcap"},    {"../c.d/run.DT", "../c.d/run.pcap"},
        {"/cap/.DT", "/cap/.pcap"},         {".DT", ".pcap"},           {"run.dt", "run.pcap"},
        {"run.", "run.pcap"},               {"x.pcap", "x.pcap"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(OutputPathFor(in), out) << in;
}

class OutputFileTest : public ConversionTest {};

TEST_F(OutputFileTest, ReplacesALongerPcapAndLeavesNothingElse)
{
    kCapture.WriteTo(input);
    WriteFileBytes(output, Bytes(10000, 0x55));
    ExpectSuccess();
    EXPECT_EQ(ReadFileBytes(output), ExpectedOutput());
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"run1.DT", "run1.pcap"}));
}

TEST_F(OutputFileTest, DotsInFolderNamesAndHiddenNames)
{
    ASSERT_EQ(::mkdir((dir / "a.b").c_str(), 0755), 0);
    kCapture.WriteTo(dir / "a.b/run");
    ExpectSuccess(dir / "a.b/run");
    kCapture.WriteTo(dir / "a.b/.DT");
    ExpectSuccess(dir / "a.b/.DT");
    EXPECT_EQ(ListDir(dir / "a.b"), (std::vector<std::string>{".DT", ".pcap", "run", "run.pcap"}));
    EXPECT_EQ(ReadFileBytes(dir / "a.b/.pcap"), ExpectedOutput());
}

TEST_F(OutputFileTest, PathsLongerThanTheOldLimits)
{
    std::string folder = dir.path();
    for (char c : {'a', 'b'}) {
        folder += "/" + std::string(200, c);
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    }
    const std::string longInput = folder + "/" + std::string(100, 'c') + ".DT";
    kCapture.WriteTo(longInput);
    ExpectSuccess(longInput);
    EXPECT_EQ(ReadFileBytes(folder + "/" + std::string(100, 'c') + ".pcap"), ExpectedOutput());
    ExpectFailure(" Open error", folder + "/missing.DT");
}

// Every failure before the output is created leaves no output file, and an
// existing one as it was.
TEST_F(OutputFileTest, FailuresBeforeTheOutputLeaveItAlone)
{
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] {}, " Open error"},
        {[&] { ASSERT_EQ(::mkdir(input.c_str(), 0755), 0); }, " Open error"},
        {[&] { CaptureBuilder().TruncateTo(10).WriteTo(input); }, " Read error:TAVRINO Header"},
        {[&] { CaptureBuilder(false).Raw(Bytes(16, 'T')).WriteTo(input); }, " File header error"},
        {[&] { CaptureBuilder().Dinf().WriteTo(input); }, " Read error:Header scan"},
        {[&] {
             DinfBody tooShort;
             tooShort.size = 8;
             CaptureBuilder().Dinf(tooShort).Monl(EntryLog()).WriteTo(input);
         },
         " Read error:Get timestamp"},
    };
    for (const auto& [makeInput, message] : cases) {
        for (bool outputExists : {false, true}) {
            ::rmdir(input.c_str());
            ::unlink(input.c_str());
            ::unlink(output.c_str());
            makeInput();
            if (outputExists)
                WriteFileBytes(output, kOldOutput);
            ExpectFailure(message);
            if (outputExists)
                EXPECT_EQ(ReadFileBytes(output), kOldOutput) << message;
            else
                EXPECT_FALSE(PathExists(output)) << message;
        }
    }
}

class SameFileTest : public ConversionTest {
protected:
    void ExpectRefused(const std::string& path)
    {
        host.messages.clear();
        EXPECT_EQ(Convert(path), -1);
        EXPECT_EQ(host.messages, std::vector<std::string>{"Write file Open error"});
        EXPECT_EQ(ReadFileBytes(path), kCapture.bytes());
    }
};

TEST_F(SameFileTest, InputNamedLikeItsOutput)
{
    kCapture.WriteTo(dir / "x.pcap");
    ExpectRefused(dir / "x.pcap");
}

TEST_F(SameFileTest, OutputHardLinkedToTheInput)
{
    kCapture.WriteTo(input);
    ASSERT_EQ(::link(input.c_str(), output.c_str()), 0);
    ExpectRefused(input);
}

TEST_F(SameFileTest, OutputSymlinkedToTheInput)
{
    kCapture.WriteTo(input);
    ASSERT_EQ(::symlink("run1.DT", output.c_str()), 0);
    ExpectRefused(input);
}

TEST_F(OutputFileTest, OutputPathNamingAFolder)
{
    kCapture.WriteTo(input);
    ASSERT_EQ(::mkdir(output.c_str(), 0755), 0);
    EXPECT_EQ(Convert(), -1);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Write file Open error"});
    EXPECT_TRUE(ListDir(output).empty());
    EXPECT_EQ(ReadFileBytes(input), kCapture.bytes());
}

TEST_F(OutputFileTest, FailedWriteRaisesWriteErrorWithThePathAndTheReason)
{
    kCapture.WriteTo(input);
    ASSERT_EQ(::symlink("/dev/full", output.c_str()), 0);
    try {
        Convert();
        ADD_FAILURE() << "no WriteError";
    } catch (const WriteError& error) {
        EXPECT_STREQ(error.what(), (output + " Write error: " + std::strerror(ENOSPC)).c_str());
        EXPECT_EQ(error.Path(), output);
        EXPECT_EQ(error.ErrorNumber(), ENOSPC);
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(OutputFileTest, FileSizeLimitIsAWriteError)
{
    EntryLog log;
    for (int i = 0; i < 20; ++i)
        log.Frame({Bytes(500, static_cast<std::uint8_t>(i)), static_cast<std::uint32_t>(i)});
    CaptureWith(log).WriteTo(input);
    const auto convertUnderLimit = [&] {
        const struct rlimit limit = {4000, 4000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        try {
            Convert();
        } catch (const WriteError& error) {
            std::fprintf(stderr, "%s\n", error.what());  // shown if the test fails
            std::_Exit(error.what() == output + " Write error: " + std::strerror(EFBIG) ? 3 : 4);
        }
        std::_Exit(0);
    };
    EXPECT_EXIT(convertUnderLimit(), ::testing::ExitedWithCode(3), "");
}

} // namespace
