// Where the pcap file goes, what happens to files already there, and the
// failures around opening and writing files.

#include "conversion_fixture.h"
#include "file_layer.h"
#include "output_path.h"
#include "write_error.h"

#include <clocale>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <new>
#include <sys/mount.h>
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

    // A name at the file system's limit: the temporary name beside it must still fit.
    const std::string longest = folder + "/" + std::string(250, 'd');
    kCapture.WriteTo(longest + ".DT");
    ExpectSuccess(longest + ".DT");
    EXPECT_EQ(ReadFileBytes(longest + ".pcap"), ExpectedOutput());
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
    void ExpectRefused(const std::string& path, const std::string& pcap)
    {
        host.messages.clear();
        EXPECT_EQ(Convert(path), -1);
        EXPECT_EQ(host.messages, std::vector<std::string>{"Write file Open error\n" + pcap +
                                                          ": it is the capture file being converted"});
        EXPECT_EQ(ReadFileBytes(path), kCapture.bytes());
    }
};

TEST_F(SameFileTest, InputNamedLikeItsOutput)
{
    kCapture.WriteTo(dir / "x.pcap");
    ExpectRefused(dir / "x.pcap", dir / "x.pcap");
}

TEST_F(SameFileTest, OutputHardLinkedToTheInput)
{
    kCapture.WriteTo(input);
    ASSERT_EQ(::link(input.c_str(), output.c_str()), 0);
    ExpectRefused(input, output);
}

TEST_F(SameFileTest, OutputSymlinkedToTheInput)
{
    kCapture.WriteTo(input);
    ASSERT_EQ(::symlink("run1.DT", output.c_str()), 0);
    ExpectRefused(input, output);
}

// Whatever stands at the output name and may not be replaced is named, with
// the reason, and left exactly as it was; the input too.
TEST_F(OutputFileTest, OutputNamesThatMayNotBeReplaced)
{
    kCapture.WriteTo(input);
    const auto expectRefused = [&](const std::string& reason) {
        host.messages.clear();
        EXPECT_EQ(Convert(), -1);
        EXPECT_EQ(host.messages, std::vector<std::string>{"Write file Open error\n" + output + ": " + reason});
        EXPECT_EQ(ReadFileBytes(input), kCapture.bytes());
        EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"run1.DT", "run1.pcap"}));
    };

    ASSERT_EQ(::mkdir(output.c_str(), 0755), 0);
    expectRefused(std::strerror(EISDIR));
    EXPECT_TRUE(ListDir(output).empty());
    ::rmdir(output.c_str());

    // A FIFO would block the conversion for good.
    ASSERT_EQ(::mkfifo(output.c_str(), 0644), 0);
    expectRefused("not a regular file");
    ::unlink(output.c_str());

    // Read-only stays read-only even for root, which the system would let through.
    WriteFileBytes(output, kOldOutput);
    ASSERT_EQ(::chmod(output.c_str(), 0444), 0);
    expectRefused(std::strerror(EACCES));
    EXPECT_EQ(ReadFileBytes(output), kOldOutput);
    ::unlink(output.c_str());

    // A link to a device or a pipe (/dev/stdout is one) stays a link.
    for (const std::string& target : {std::string("/dev/null"), dir / "fifo"}) {
        ::mkfifo((dir / "fifo").c_str(), 0644);
        ASSERT_EQ(::symlink(target.c_str(), output.c_str()), 0);
        ::unlink((dir / "fifo").c_str());
        ::mkfifo((dir / "fifo").c_str(), 0644);
        host.messages.clear();
        EXPECT_EQ(Convert(), -1);
        EXPECT_EQ(host.messages, std::vector<std::string>{"Write file Open error\n" + output + ": not a regular file"});
        struct stat info;
        ASSERT_EQ(::lstat(output.c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << target;
        ::unlink(output.c_str());
        ::unlink((dir / "fifo").c_str());
    }
}

// The system's reason comes in its own words whatever the locale (a window's
// toolkit sets the desktop's), as in dt2pcap, which keeps the "C" locale.
TEST_F(OutputFileTest, TheReasonIsTheSameInAJapaneseLocale)
{
    kCapture.WriteTo(input);
    WriteFileBytes(output, kOldOutput);
    EXPECT_EQ(::chmod(output.c_str(), 0444), 0);  // read-only: refused with EACCES
    const std::string earlier = std::setlocale(LC_ALL, nullptr);
    const bool japanese = std::setlocale(LC_ALL, "ja_JP.UTF-8") != nullptr;
    const bool translated = std::string(std::strerror(EACCES)) != "Permission denied";
    EXPECT_EQ(Convert(), -1);
    std::setlocale(LC_ALL, earlier.c_str());
    if (!japanese)
        GTEST_SKIP() << "the ja_JP.UTF-8 locale is not generated here (locale-gen)";
    if (!translated)
        GTEST_SKIP() << "ja_JP.UTF-8 has no translation of the system's messages here";
    EXPECT_EQ(host.messages, std::vector<std::string>{"Write file Open error\n" + output + ": Permission denied"});
}

// Another capture, or this one reached by another path or mount, is never
// overwritten by a conversion: refused before anything is written.
TEST_F(OutputFileTest, ACaptureAtTheOutputNameIsNeverReplaced)
{
    kCapture.WriteTo(input);
    const CaptureBuilder other = CaptureWith(EntryLog().Frame({Bytes(64, 0x11), 7}));
    other.WriteTo(output);
    host.messages.clear();
    EXPECT_EQ(Convert(), -1);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Write file Open error\n" + output + ": it is a capture file"});
    EXPECT_EQ(ReadFileBytes(output), other.bytes());
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"run1.DT", "run1.pcap"}));
}

// Root replacing a user's setuid file must not leave a setuid file of root's.
TEST_F(OutputFileTest, SpecialPermissionBitsAreNeverCarriedOver)
{
    kCapture.WriteTo(input);
    WriteFileBytes(output, kOldOutput);
    ASSERT_EQ(::chmod(output.c_str(), 07755), 0);
    ExpectSuccess();
    struct stat info;
    ASSERT_EQ(::stat(output.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u);
}

// Names the system will not let us replace are refused before the capture is
// read through, as a matter of that one file, and nothing is left behind.
TEST_F(OutputFileTest, NamesTheSystemWillNotReplaceAreRefusedUpFront)
{
    kCapture.WriteTo(input);
    WriteFileBytes(output, kOldOutput);
    const auto expectRefused = [&](const std::string& why) {
        host.messages.clear();
        host.progressReports = 0;
        EXPECT_EQ(Convert(), -1) << why;
        EXPECT_EQ(host.progressReports, 0) << "refused only after converting";
        EXPECT_EQ(host.messages, std::vector<std::string>{"Write file Open error\n" + output + ": " + why});
        EXPECT_EQ(ReadFileBytes(output), kOldOutput);
        EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"run1.DT", "run1.pcap"}));
    };

    bool tried = false;
    if (SetInodeFlag(output, InodeFlag::Immutable)) {
        tried = true;
        expectRefused(std::strerror(EPERM));
        SetInodeFlag(output, InodeFlag::None);
    }
    // A folder that only grows would keep a temporary file for good.
    if (SetInodeFlag(dir.path(), InodeFlag::AppendOnly)) {
        tried = true;
        expectRefused(std::strerror(EPERM));
        SetInodeFlag(dir.path(), InodeFlag::None);
    }
    // A file mounted over the output name.
    TempDir elsewhere;
    WriteFileBytes(elsewhere / "other", kOldOutput);
    if (::mount((elsewhere / "other").c_str(), output.c_str(), nullptr, MS_BIND, nullptr) == 0) {
        tried = true;
        expectRefused(std::strerror(EBUSY));
        ::umount(output.c_str());
    }
    if (!tried)
        GTEST_SKIP() << "this file system takes no immutable or append-only flag and nothing can be mounted here";
}

// Read-only is no write bit at all: any one of the three lets the .pcap be
// replaced, and the new file keeps the old one's bits.
TEST_F(OutputFileTest, AnyWriteBitMakesAnOutputReplaceable)
{
    kCapture.WriteTo(input);
    for (const mode_t mode : {0200, 0420, 0402, 0664}) {
        WriteFileBytes(output, kOldOutput);
        ASSERT_EQ(::chmod(output.c_str(), mode), 0);
        ExpectSuccess();
        EXPECT_EQ(ReadFileBytes(output), ExpectedOutput()) << std::oct << mode;
        struct stat info;
        ASSERT_EQ(::stat(output.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
        ::unlink(output.c_str());
    }
    for (const mode_t mode : {0555, 0000}) {
        WriteFileBytes(output, kOldOutput);
        ASSERT_EQ(::chmod(output.c_str(), mode), 0);
        host.messages.clear();
        EXPECT_EQ(Convert(), -1) << std::oct << mode;
        EXPECT_EQ(ReadFileBytes(output), kOldOutput) << std::oct << mode;
        ::unlink(output.c_str());
    }
}

TEST_F(OutputFileTest, InputThatIsNotARegularFileFailsAtOnce)
{
    ASSERT_EQ(::mkfifo(input.c_str(), 0644), 0);  // opening it for reading would wait for a writer
    ExpectFailure(" Open error");
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"run1.DT"});
    ExpectFailure(" Open error", "/dev/null");
}

// A link at the output name is replaced by the new file; what it points at is
// never written, and the replaced file's permissions carry over.
TEST_F(OutputFileTest, LinkAtTheOutputNameIsReplacedNotWrittenThrough)
{
    kCapture.WriteTo(input);
    WriteFileBytes(dir / "elsewhere.pcap", kOldOutput);
    ASSERT_EQ(::symlink("elsewhere.pcap", output.c_str()), 0);
    ExpectSuccess();
    struct stat info;
    ASSERT_EQ(::lstat(output.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(ReadFileBytes(output), ExpectedOutput());
    EXPECT_EQ(ReadFileBytes(dir / "elsewhere.pcap"), kOldOutput);

    ASSERT_EQ(::chmod(output.c_str(), 0600), 0);
    ExpectSuccess();
    ASSERT_EQ(::stat(output.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// A host that stops the conversion at its first progress report.
class StoppingHost : public RecordingHost {
public:
    bool OnProgress(std::uint64_t, std::uint64_t) override { return ++reports < stopAt; }
    int reports = 0;
    int stopAt = 1;
};

// 3000 frames of 1000 bytes: large enough for progress reports in the middle
// of the walk.
EntryLog ManyFrames()
{
    EntryLog log;
    for (std::uint32_t i = 0; i < 3000; ++i)
        log.Frame({Bytes(1000, static_cast<std::uint8_t>(i)), i});
    return log;
}

TEST_F(OutputFileTest, StoppedConversionLeavesTheEarlierOutputAndNothingElse)
{
    const EntryLog log = ManyFrames();
    CaptureWith(log).WriteTo(input);
    for (int stopAt : {1, 2}) {
        WriteFileBytes(output, kOldOutput);
        StoppingHost stopping;
        stopping.stopAt = stopAt;
        EXPECT_EQ(ConvertCaptureFile(input, stopping), -1);
        EXPECT_EQ(stopping.reports, stopAt);
        EXPECT_TRUE(stopping.messages.empty());
        EXPECT_EQ(ReadFileBytes(output), kOldOutput);
        EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"run1.DT", "run1.pcap"}));
    }
}

// Where the file system has no unnamed files, a hidden file beside the output
// takes its place: private while written, gone after a stop, an exception
// or the finish.
TEST_F(OutputFileTest, WithoutUnnamedFilesAHiddenFileStandsInAndIsAlwaysRemoved)
{
    file_layer::UseHiddenTemporaryFilesOnly(true);
    const EntryLog log = ManyFrames();
    CaptureWith(log).WriteTo(input);

    // Sees the folder at the first progress report; then stops, throws or goes on.
    class PeekingHost : public RecordingHost {
    public:
        explicit PeekingHost(const std::string& folder) : m_folder(folder) {}
        bool OnProgress(std::uint64_t, std::uint64_t) override
        {
            if (seen.empty())
                for (const std::string& name : ListDir(m_folder)) {
                    struct stat info;
                    ::lstat((m_folder + "/" + name).c_str(), &info);
                    seen.push_back(name + " " + std::to_string(info.st_mode & 07777));
                }
            if (end == 1)
                throw std::bad_alloc();
            return end != 2;
        }
        std::vector<std::string> seen;
        int end = 0;  // 0 goes on, 1 throws, 2 stops

    private:
        std::string m_folder;
    };
    for (int end : {1, 2, 0}) {
        WriteFileBytes(output, kOldOutput);
        ASSERT_EQ(::chmod(output.c_str(), 0600), 0);
        PeekingHost peeking(dir.path());
        peeking.end = end;
        try {
            EXPECT_EQ(ConvertCaptureFile(input, peeking), end == 0 ? 0 : -1);
        } catch (const std::bad_alloc&) {
            EXPECT_EQ(end, 1);
        }
        ASSERT_EQ(peeking.seen.size(), 3u) << end;
        EXPECT_EQ(peeking.seen[0].compare(0, 11, ".run1.pcap."), 0) << peeking.seen[0];
        EXPECT_EQ(peeking.seen[0].substr(peeking.seen[0].find(' ')), " " + std::to_string(0600));
        EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"run1.DT", "run1.pcap"})) << end;
        EXPECT_EQ(ReadFileBytes(output) == kOldOutput, end != 0) << end;
    }
    file_layer::UseHiddenTemporaryFilesOnly(false);
}

// A capture that grows while it is read (still being copied in) is not taken
// for one cut short: it is said to have changed, and no output replaces the
// earlier one, whether the growth meets the walk or only shows at the end.
TEST_F(OutputFileTest, ACaptureThatChangesWhileReadSaysSoAndLeavesTheEarlierOutput)
{
    class GrowingHost : public RecordingHost {
    public:
        GrowingHost(const std::string& path, Bytes more) : m_path(path), m_more(std::move(more)) {}
        bool OnProgress(std::uint64_t, std::uint64_t) override
        {
            if (progressReports++ == 0)
                WriteFileBytesAt(m_path, ReadFileBytes(m_path).size(), m_more);
            return true;
        }

    private:
        std::string m_path;
        Bytes m_more;
    };
    EntryLog log;
    for (std::uint32_t i = 0; i < 10; ++i)
        log.Frame({Bytes(100, static_cast<std::uint8_t>(i)), i});
    // The MONL chunk claims more than the file has: the walk reads into what
    // the copy brings.
    for (const bool intoTheWalk : {false, true}) {
        const Bytes bytes = CaptureWith(log).bytes();
        Bytes cut = bytes;
        if (intoTheWalk)
            cut.resize(bytes.size() - 60);
        WriteFileBytes(input, cut);
        WriteFileBytes(output, kOldOutput);
        GrowingHost growing(input, intoTheWalk ? Bytes(bytes.end() - 60, bytes.end()) : Bytes(16, 0));
        EXPECT_EQ(ConvertCaptureFile(input, growing), -1) << intoTheWalk;
        EXPECT_EQ(growing.messages, std::vector<std::string>{input + " changed while being read (is it still being "
                                                                     "copied?); convert it again once it is complete"});
        EXPECT_EQ(ReadFileBytes(output), kOldOutput);
        EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"run1.DT", "run1.pcap"}));
    }
}

// Without unnamed files, each run's hidden file is claimed while it lives:
// a second run on the same name, started in the middle of the first, cleans
// up only what killed runs left, and both finish.
TEST_F(OutputFileTest, AnotherRunLeavesALiveHiddenFileAlone)
{
    file_layer::UseHiddenTemporaryFilesOnly(true);
    const EntryLog log = ManyFrames();
    CaptureWith(log).WriteTo(input);
    const std::string copy = dir / "copy.DT";
    CaptureWith(log).WriteTo(copy);
    // The second run converts copy.DT onto the same run1.pcap.
    class NestingHost : public RecordingHost {
    public:
        NestingHost(const std::string& input, const std::string& output) : m_input(input), m_output(output) {}
        bool OnProgress(std::uint64_t, std::uint64_t) override
        {
            if (progressReports++ == 1) {
                RecordingHost inner;
                innerResult = ConvertCaptureFile(m_input, inner, OutputPlace::File(m_output));
            }
            return true;
        }
        int innerResult = 1;

    private:
        std::string m_input, m_output;
    };
    NestingHost nesting(copy, output);
    EXPECT_EQ(ConvertCaptureFile(input, nesting), 0);
    EXPECT_EQ(nesting.innerResult, 0);
    EXPECT_TRUE(nesting.messages.empty());
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"copy.DT", "run1.DT", "run1.pcap"}));
    file_layer::UseHiddenTemporaryFilesOnly(false);
}

// A write the system refuses (here a file-size limit) raises WriteError with
// the output and the reason, and takes nothing from the folder: an earlier
// output stays whole and no partial file is left.
TEST_F(OutputFileTest, FailedWriteKeepsTheEarlierOutputAndRaisesWriteError)
{
    EntryLog log;
    for (int i = 0; i < 20; ++i)
        log.Frame({Bytes(500, static_cast<std::uint8_t>(i)), static_cast<std::uint32_t>(i)});
    CaptureWith(log).WriteTo(input);
    WriteFileBytes(output, kOldOutput);
    const auto convertUnderLimit = [&] {
        const struct rlimit limit = {4000, 4000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        try {
            Convert();
        } catch (const WriteError& error) {
            std::fprintf(stderr, "%s\n", error.what());  // shown if the test fails
            const bool named = error.what() == output + " Write error: " + std::strerror(EFBIG) &&
                               error.Path() == output && error.Reason() == std::strerror(EFBIG);
            const bool kept = ReadFileBytes(output) == kOldOutput &&
                              ListDir(dir.path()) == std::vector<std::string>{"run1.DT", "run1.pcap"};
            std::_Exit(named && kept ? 3 : 4);
        }
        std::_Exit(0);
    };
    EXPECT_EXIT(convertUnderLimit(), ::testing::ExitedWithCode(3), "");
    EXPECT_TRUE(host.messages.empty());
}

} // namespace
