// What dt2pcap will not do to files and zones it is handed: overwrite a
// capture seen through another path, stop a batch over one file's name,
// convert in a zone other than the one asked for, print a name as-is.

#include "dt2pcap_fixture.h"

#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

class Dt2pcapSafety : public Dt2pcapTest {
protected:
    void SetUp() override { SomeFrames(20).WriteTo(dir / "a.DT"); }

    CommandResult Shell(const std::string& script, const std::vector<std::string>& env = {"TZ=UTC"})
    {
        return RunCommand({"/bin/sh", "-c", script, "sh", DT2PCAP_PATH}, dir.path(), env);
    }
};

// A disk that fails to read a capture is not the capture's end: the message
// gives the system's reason, and the earlier output stays whole, wherever in
// the capture the failure comes (past the first buffer, in the header, in the
// chunks). -k goes on with the next file.
TEST_F(Dt2pcapSafety, AFailedReadLeavesTheEarlierOutputAndSaysWhy)
{
    SomeFrames(12000).WriteTo(dir / "a.DT");  // more than the 1 MiB read at once
    SomeFrames(3).WriteTo(dir / "b.DT");
    ASSERT_EQ(Run({"a.DT"}).exitCode, 0);
    const Bytes earlier = ReadFileBytes(dir / "a.pcap");
    for (const char* after : {"1048576", "0", "20"}) {
        const CommandResult result = Run(
            {"-k", "a.DT", "b.DT"}, WithFaults({"TZ=UTC", "TPC_FAULT_EIO_NAME=a.DT", std::string("TPC_FAULT_EIO_AFTER=") + after}));
        EXPECT_EQ(result.exitCode, 1) << after;
        EXPECT_EQ(result.err, "a.DT Read error: " + std::string(std::strerror(EIO)) +
                                  "\ndt2pcap: 1 of 2 files not converted\n") << after;
        EXPECT_EQ(ReadFileBytes(dir / "a.pcap"), earlier) << after;
        EXPECT_EQ(RecordCount("b.pcap"), 3u);
        EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"a.DT", "a.pcap", "b.DT", "b.pcap"}));
    }
}

TEST_F(Dt2pcapSafety, AnImmutableOutputFailsItsFileAndTheBatchGoesOn)
{
    SomeFrames(3).WriteTo(dir / "b.DT");
    WriteFileBytes(dir / "a.pcap", {'o', 'l', 'd'});
    if (!SetInodeFlag(dir / "a.pcap", InodeFlag::Immutable))
        GTEST_SKIP() << "this file system takes no immutable flag";
    const CommandResult result = Run({"-k", "a.DT", "b.DT"});
    SetInodeFlag(dir / "a.pcap", InodeFlag::None);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Write file Open error\na.pcap: " + std::string(std::strerror(EPERM)) +
                              "\ndt2pcap: 1 of 2 files not converted\n");
    EXPECT_EQ(RecordCount("b.pcap"), 3u);
    EXPECT_EQ(ReadFileBytes(dir / "a.pcap"), (Bytes{'o', 'l', 'd'}));
}

// Standard output appended to (opened for writing only) onto a capture.
TEST_F(Dt2pcapSafety, StandardOutputOntoACaptureIsRefusedBeforeAnyByte)
{
    SomeFrames(3).WriteTo(dir / "other.DT");
    const Bytes before = ReadFileBytes(dir / "other.DT");
    const CommandResult result = Run({"-o", "-", "a.DT"}, {"TZ=UTC"}, dir / "other.DT", true);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Write file Open error\nstandard output: it is a capture file\n");
    EXPECT_EQ(ReadFileBytes(dir / "other.DT"), before);
}

// A FUSE view of a folder gives the same file another device and inode.
TEST_F(Dt2pcapSafety, TheCaptureSeenThroughAnotherMountIsNeverItsOwnOutput)
{
    ASSERT_EQ(::mkdir((dir / "src").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir / "view").c_str(), 0755), 0);
    SomeFrames(3).WriteTo(dir / "src/c.DT");
    const Bytes before = ReadFileBytes(dir / "src/c.DT");
    if (RunCommand({"/bin/sh", "-c", "bindfs src view"}, dir.path()).exitCode != 0)
        GTEST_SKIP() << "bindfs cannot mount here";
    const CommandResult named = Run({"-o", "src/c.DT", "view/c.DT"});
    const CommandResult streamed = Shell("\"$1\" -o - src/c.DT 1<>view/c.DT");
    RunCommand({"/bin/umount", "view"}, dir.path());
    EXPECT_EQ(named.exitCode, 1);
    EXPECT_EQ(named.err, "Write file Open error\nsrc/c.DT: it is a capture file\n");
    EXPECT_EQ(streamed.exitCode, 1);
    EXPECT_EQ(streamed.err, "Write file Open error\nstandard output: it is a capture file\n");
    EXPECT_EQ(ReadFileBytes(dir / "src/c.DT"), before);
}

TEST_F(Dt2pcapSafety, ClosedStandardOutputIsSaidPlainly)
{
    const CommandResult result = Shell("\"$1\" -o - a.DT >&-");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Write file Open error\nstandard output: it is closed\n");
}

// Leap-second zones would put every time stamp off by their count; a TZ the
// system cannot load would silently be UTC.
TEST_F(Dt2pcapSafety, ZonesThatWouldSilentlyGoWrongAreRefusedOrNamed)
{
    const CommandResult right = Run({"--tz", "right/UTC", "a.DT"});
    if (!PathExists("/usr/share/zoneinfo/right/UTC"))
        GTEST_SKIP() << "no leap-second zones installed";
    EXPECT_EQ(right.exitCode, 2);
    EXPECT_NE(right.err.find("'right/UTC' counts leap seconds"), std::string::npos) << right.err;
    EXPECT_FALSE(PathExists(dir / "a.pcap"));

    const Bytes utc = (Run({"a.DT"}), ReadFileBytes(dir / "a.pcap"));
    const CommandResult misspelt = Run({"a.DT", "a.DT"}, {"TZ=Asia/Tokio"});
    EXPECT_EQ(misspelt.exitCode, 0);
    EXPECT_EQ(misspelt.err,
              "dt2pcap: warning: TZ 'Asia/Tokio' names no time zone this system has; converting in 'UTC' instead\n");
    EXPECT_EQ(ReadFileBytes(dir / "a.pcap"), utc);

    const CommandResult leapInTz = Run({"a.DT"}, {"TZ=right/UTC"});
    EXPECT_EQ(leapInTz.exitCode, 0);
    EXPECT_NE(leapInTz.err.find("converting in 'UTC' instead"), std::string::npos) << leapInTz.err;
    EXPECT_EQ(ReadFileBytes(dir / "a.pcap"), utc);

    // A zone given by rule is the system's to read, and no warning.
    const CommandResult rule = Run({"a.DT"}, {"TZ=EST5EDT"});
    EXPECT_EQ(rule.err, "");
    EXPECT_NE(ReadFileBytes(dir / "a.pcap"), utc);
}

// Whatever a name or an argument holds, a message stays one line, in order.
TEST_F(Dt2pcapSafety, NamesAndArgumentsAreEscapedEvenWhenValidText)
{
    const CommandResult result = Run({"-k", "", "x\xe2\x80\xaey.DT", "l\xe2\x80\xa8.DT", "\xd8\x9c.DT"});
    EXPECT_EQ(result.err, "'' Open error\nx\\u202Ey.DT Open error\nl\\u2028.DT Open error\n\\u061C.DT Open error\n"
                          "dt2pcap: 4 of 4 files not converted\n");
    const CommandResult option = Run({"--\x1b[2Jfoo", "a.DT"});
    EXPECT_EQ(option.exitCode, 2);
    EXPECT_EQ(option.err.substr(0, option.err.find('\n')), "dt2pcap: unrecognized option '--\\x1b[2Jfoo'");
}

} // namespace
