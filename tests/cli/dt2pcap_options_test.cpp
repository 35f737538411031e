// Usage errors and the informational options: exit status 2 and nothing
// converted, or 0 and a text on standard output.

#include "child_process.h"
#include "hand_capture.h"
#include "scratch_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace dt2pcap_harness {
namespace {

class UsageErrors : public ::testing::Test {
protected:
    void SetUp() override { WriteCapture(dir / "run1.DT", SomeFrames(3)); }

    Result RunHere(std::vector<std::string> args, std::vector<std::string> env = {})
    {
        Invocation invocation;
        invocation.args = std::move(args);
        invocation.directory = dir.path();
        invocation.setEnv = std::move(env);
        return RunDt2pcap(invocation);
    }

    ScratchDir dir;
};

TEST_F(UsageErrors, UnknownTimeZoneIsRefusedBeforeConverting)
{
    // Names that glibc would silently take as UTC, directories, paths
    // dressed up as zones, and a file that is not a compiled zone.
    for (const std::string zone : {"Nowhere/Atlantis", "", "Asia", "Asia/../Asia/Tokyo", "/usr/share/zoneinfo/UTC",
                                   "../../../etc/passwd", "zone.tab", "UTC0", "JST-9"}) {
        SCOPED_TRACE("--tz '" + zone + "'");
        const Result result = RunHere({"--tz", zone, "run1.DT"});
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("unknown time zone '" + zone + "'"), std::string::npos) << result.err;
        EXPECT_FALSE(FileExists(dir / "run1.pcap"));
    }
}

TEST_F(UsageErrors, TimeZoneIsLookedUpUnderTzdir)
{
    std::filesystem::create_directories(dir / "zones/Lab");
    std::filesystem::copy_file("/usr/share/zoneinfo/Asia/Tokyo", dir / "zones/Lab/Site");
    std::filesystem::create_directories(dir / "zones/Fake");
    WriteBrokenCapture(dir / "zones/Fake/Zone");  // exists, but not "TZif"
    const std::string tzdir = "TZDIR=" + dir / "zones";

    EXPECT_EQ(RunHere({"--tz", "Fake/Zone", "run1.DT"}, {tzdir}).status, 2);
    EXPECT_EQ(RunHere({"--tz", "Asia/Tokyo", "run1.DT"}, {tzdir}).status, 2);  // not under TZDIR
    EXPECT_FALSE(FileExists(dir / "run1.pcap"));

    ASSERT_EQ(RunHere({"--tz", "Lab/Site", "-o", "lab.pcap", "run1.DT"}, {tzdir}).status, 0);
    ASSERT_EQ(RunHere({"--tz", "Asia/Tokyo", "-o", "tokyo.pcap", "run1.DT"}).status, 0);
    EXPECT_EQ(ReadWholeFile(dir / "lab.pcap"), ReadWholeFile(dir / "tokyo.pcap"));
}

TEST_F(UsageErrors, OutputWithTwoInputsConvertsNothing)
{
    WriteCapture(dir / "run2.DT", SomeFrames(2));
    for (const char* option : {"-o", "--output"}) {
        const Result result = RunHere({option, "out.pcap", "run1.DT", "run2.DT"});
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("exactly one capture file"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(FileExists(dir / "out.pcap"));
    EXPECT_FALSE(FileExists(dir / "run1.pcap"));
    EXPECT_FALSE(FileExists(dir / "run2.pcap"));
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
        const Result result = RunHere(c.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(FileExists(dir / "run1.pcap"));
    }
}

TEST_F(UsageErrors, OptionsMayFollowFilesAndDoubleDashEndsThem)
{
    WriteCapture(dir / "-k.DT", SomeFrames(1));
    const Result result = RunHere({"run1.DT", "-q", "--", "-k.DT"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(FileExists(dir / "run1.pcap"));
    EXPECT_TRUE(FileExists(dir / "-k.pcap"));
}

TEST(InformationalOptions, VersionAndHelpGoToStandardOutput)
{
    Invocation version;
    version.args = {"--version"};
    const Result v = RunDt2pcap(version);
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out, "dt2pcap 1.0.0.0\n");
    EXPECT_EQ(v.err, "");

    Invocation help;
    help.args = {"--help"};
    const Result h = RunDt2pcap(help);
    EXPECT_EQ(h.status, 0);
    EXPECT_EQ(h.err, "");
    for (const char* option : {"--output", "--tz", "--keep-going", "--quiet", "--version", "Exit status"})
        EXPECT_NE(h.out.find(option), std::string::npos) << option;
}

} // namespace
} // namespace dt2pcap_harness
