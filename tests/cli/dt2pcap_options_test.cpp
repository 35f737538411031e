// Usage errors and the informational options: exit status 2 and nothing
// converted, or 0 and a text on standard output.

#include "dt2pcap_fixture.h"

#include <filesystem>

namespace {

class UsageErrors : public Dt2pcapTest {
protected:
    void SetUp() override { SomeFrames(3).WriteTo(dir / "run1.DT"); }
};

TEST_F(UsageErrors, UnknownTimeZoneIsRefusedBeforeConverting)
{
    if (!IsPosixSystem())
        GTEST_SKIP() << "IANA zone names are POSIX's; the Windows form is tested in dt2pcap_windows_test.cpp";
    // Names that glibc would silently take as UTC, directories, paths
    // dressed up as zones, and a file that is not a compiled zone.
    for (const std::string zone : {"Nowhere/Atlantis", "", "Asia", "Asia/../Asia/Tokyo", "/usr/share/zoneinfo/UTC",
                                   "../../../etc/passwd", "zone.tab", "UTC0", "JST-9"}) {
        SCOPED_TRACE("--tz '" + zone + "'");
        const CommandResult result = Run({"--tz", zone, "run1.DT"});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("unknown time zone '" + zone + "'"), std::string::npos) << result.err;
        EXPECT_FALSE(PathExists(dir / "run1.pcap"));
    }
}

TEST_F(UsageErrors, TimeZoneIsLookedUpUnderTzdir)
{
    if (!IsPosixSystem())
        GTEST_SKIP() << "no TZDIR on Windows";
    std::filesystem::create_directories(dir / "zones/Lab");
    std::filesystem::copy_file("/usr/share/zoneinfo/Asia/Tokyo", dir / "zones/Lab/Site");
    std::filesystem::create_directories(dir / "zones/Fake");
    WriteFileBytes(dir / "zones/Fake/Zone", NotACapture().bytes());  // exists, but not "TZif"
    const std::string tzdir = "TZDIR=" + dir / "zones";

    EXPECT_EQ(Run({"--tz", "Fake/Zone", "run1.DT"}, {tzdir}).exitCode, 2);
    EXPECT_EQ(Run({"--tz", "Asia/Tokyo", "run1.DT"}, {tzdir}).exitCode, 2);  // not under TZDIR
    EXPECT_FALSE(PathExists(dir / "run1.pcap"));

    ASSERT_EQ(Run({"--tz", "Lab/Site", "-o", "lab.pcap", "run1.DT"}, {tzdir}).exitCode, 0);
    ASSERT_EQ(Run({"--tz", "Asia/Tokyo", "-o", "tokyo.pcap", "run1.DT"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir / "lab.pcap"), ReadFileBytes(dir / "tokyo.pcap"));
}

TEST_F(UsageErrors, OutputWithTwoInputsConvertsNothing)
{
    SomeFrames(2).WriteTo(dir / "run2.DT");
    for (const char* option : {"-o", "--output"}) {
        const CommandResult result = Run({option, "out.pcap", "run1.DT", "run2.DT"});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("exactly one capture file"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(PathExists(dir / "out.pcap"));
    EXPECT_FALSE(PathExists(dir / "run1.pcap"));
    EXPECT_FALSE(PathExists(dir / "run2.pcap"));
}

TEST_F(UsageErrors, BadOptionsAndMissingFiles)
{
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{}, "Usage: dt2pcap"},
        {{"-k", "-q"}, "Usage: dt2pcap"},
        {{"--frobnicate", "run1.DT"}, "unrecognized option '--frobnicate'"},
        {{"-x", "run1.DT"}, "invalid option -- 'x'"},
        {{"--ver", "run1.DT"}, "dt2pcap: option '--ver' is ambiguous; possibilities: '--verbose' '--version'\n"},
        {{"run1.DT", "-o"}, "requires an argument"},
        {{"run1.DT", "--tz"}, "requires an argument"},
        {{"--keep-going=yes", "run1.DT"}, "doesn't allow an argument"},
        {{"-o", "", "run1.DT"}, "-o/--output needs a path"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& arg : c.args)
            line += " '" + arg + "'";
        SCOPED_TRACE("dt2pcap" + line);
        const CommandResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(PathExists(dir / "run1.pcap"));
    }
}

TEST_F(UsageErrors, OptionsMayFollowFilesAndDoubleDashEndsThem)
{
    SomeFrames(1).WriteTo(dir / "-k.DT");
    const CommandResult result = Run({"run1.DT", "-q", "--", "-k.DT"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(PathExists(dir / "run1.pcap"));
    EXPECT_TRUE(PathExists(dir / "-k.pcap"));
}

TEST(InformationalOptions, VersionAndHelpGoToStandardOutput)
{
    const CommandResult version = RunCommand({DT2PCAP_PATH, "--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.substr(0, version.out.find('\n') + 1), "dt2pcap " PROJECT_VERSION "\n");
    EXPECT_NE(version.out.find("\nLicense MIT: "), std::string::npos) << version.out;
    EXPECT_EQ(version.err, "");

    const CommandResult help = RunCommand({DT2PCAP_PATH, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, "");
    for (const char* text : {"Usage: dt2pcap", "--output", "--tz", "--keep-going", "--quiet", "--version", "Exit status"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
}

TEST(InformationalOptions, UnwritableStandardOutputIsAFailure)
{
    if (!IsPosixSystem())
        GTEST_SKIP() << "no /dev/full on Windows";
    for (const char* option : {"--version", "--help"}) {
        const CommandResult full = RunCommand({DT2PCAP_PATH, option}, "", {}, "/dev/full");
        EXPECT_EQ(full.exitCode, 1) << option;
        EXPECT_EQ(full.err, "dt2pcap: write error: No space left on device\n") << option;

        const CommandResult closed = RunCommand({"/bin/sh", "-c", std::string("exec \"$0\" ") + option + " >&-", DT2PCAP_PATH});
        EXPECT_EQ(closed.exitCode, 1) << option;
        EXPECT_EQ(closed.err, "dt2pcap: write error: Bad file descriptor\n") << option;
    }
}

} // namespace

// --verbose: one summary line per pcap left, also the records kept before a
// failure in the entry walk (before its message), none for a file refused.
TEST_F(Dt2pcapTest, VerboseSummarisesEachPcapLeft)
{
    SomeFrames(3).WriteTo(dir / "run1.DT");
    NotACapture().WriteTo(dir / "bad.DT");
    Bytes cut = SomeFrames(3).bytes();
    cut.resize(cut.size() - 40);  // inside the last frame
    WriteFileBytes(dir / "cut.DT", cut);
    const CommandResult result = Run({"-k", "--verbose", "run1.DT", "bad.DT", "cut.DT"}, {"TZ=" + PlatformZone("Asia/Tokyo")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "run1.DT: 3 frames, 3 header-only entries skipped, first 2021-06-15 12:45:30.000000 "
              "(2021-06-15 03:45:30.000000 UTC), last 2021-06-15 12:45:33.000000 (2021-06-15 03:45:33.000000 UTC), "
              "duration 3.000000 s\n"
              "bad.DT File header error\n"
              "cut.DT: 2 frames, 2 header-only entries skipped, first 2021-06-15 12:45:30.000000 "
              "(2021-06-15 03:45:30.000000 UTC), last 2021-06-15 12:45:31.500000 (2021-06-15 03:45:31.500000 UTC), "
              "duration 1.500000 s\n"
              "cut.DT Read error:packet\n"
              "dt2pcap: 2 of 3 files not converted\n");
}
