// Where a window opens on POSIX systems: its own folder as started (links
// kept), the working folder when installed, or the folder and captures named
// on its command line.

#include "start_place_posix.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using Names = std::vector<std::string>;

TEST(StartedProgram, PathIsMadeAbsoluteWithoutResolvingLinks)
{
    EXPECT_EQ(StartedProgramPath("./conv", "", "/w/caps/"), "/w/caps/conv");
    EXPECT_EQ(StartedProgramPath("../bin/conv", "", "/w/caps/"), "/w/bin/conv");
    EXPECT_EQ(StartedProgramPath("/opt/x/../conv", "", "/w/"), "/opt/conv");

    TempDir dir;
    WriteFileBytes(dir / "real", {});
    ASSERT_EQ(::chmod((dir / "real").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir / "caps").c_str(), 0755), 0);
    ASSERT_EQ(::symlink((dir / "real").c_str(), (dir / "caps/conv").c_str()), 0);
    const std::string link = dir / "caps/conv";
    EXPECT_EQ(StartedProgramPath(link, "", "/"), link);
    EXPECT_EQ(ChooseStartPlace({}, link, "/home/u/").folder, dir / "caps/");
}

TEST(StartedProgram, BareNameIsLookedUpInTheSearchPath)
{
    TempDir dir;
    ASSERT_EQ(::mkdir((dir / "bin").c_str(), 0755), 0);
    WriteFileBytes(dir / "bin/conv", {});
    WriteFileBytes(dir / "conv", {});  // not executable: passed over
    ASSERT_EQ(::chmod((dir / "bin/conv").c_str(), 0755), 0);
    EXPECT_EQ(StartedProgramPath("conv", "/nonexistent:" + dir.path() + ":" + dir / "bin", "/"), dir / "bin/conv");
    EXPECT_EQ(StartedProgramPath("conv", "/nonexistent", "/"), "");
    EXPECT_EQ(StartedProgramPath("", dir / "bin", "/"), "");
}

TEST(StartPlace, InstalledProgramOpensOnTheWorkingFolder)
{
    for (const char* folder : {"/usr/bin/", "/usr/local/bin/", "/bin/", "/usr/games/", "/usr/bin"})
        EXPECT_TRUE(IsSystemProgramFolder(folder)) << folder;
    for (const char* folder : {"/usr/share/", "/home/u/bin/", "/opt/conv/", "/tmp/"})
        EXPECT_FALSE(IsSystemProgramFolder(folder)) << folder;
    EXPECT_EQ(ChooseStartPlace({}, "/usr/bin/tavrino-pcap-converter", "/home/u/").folder, "/home/u/");
    EXPECT_EQ(ChooseStartPlace({}, "/opt/conv/tavrino-pcap-converter", "/home/u/").folder, "/opt/conv/");

    TempDir dir;  // a link to a system folder is one too
    ASSERT_EQ(::symlink("/usr/bin", (dir / "ub").c_str()), 0);
    EXPECT_TRUE(IsSystemProgramFolder(dir / "ub/"));
}

TEST(StartPlace, FolderArgumentOpensOnIt)
{
    TempDir dir;
    ASSERT_EQ(::mkdir((dir / "caps").c_str(), 0755), 0);
    const std::string working = dir.path() + "/";
    EXPECT_EQ(ChooseStartPlace({"caps"}, "/usr/bin/x", working).folder, dir / "caps/");
    EXPECT_EQ(ChooseStartPlace({dir / "caps/"}, "/usr/bin/x", "/").folder, dir / "caps/");
    EXPECT_EQ(ChooseStartPlace({"/"}, "/usr/bin/x", working).folder, "/");
    EXPECT_TRUE(ChooseStartPlace({"caps"}, "/usr/bin/x", working).names.empty());
}

TEST(StartPlace, FileArgumentsOpenOnTheFirstOnesFolderWithTheirNames)
{
    TempDir dir;
    ASSERT_EQ(::mkdir((dir / "caps").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir / "other").c_str(), 0755), 0);
    for (const char* name : {"caps/a.DT", "caps/b.dt", "caps/d.DT", "other/c.DT"})
        WriteFileBytes(dir / name, {});
    ASSERT_EQ(::symlink("a.DT", (dir / "caps/link.DT").c_str()), 0);
    const StartPlace place = ChooseStartPlace({"caps/a.DT", "caps/./b.dt", "other/c.DT", dir / "caps/d.DT", "caps/link.DT"},
                                              "/usr/bin/x", dir.path() + "/");
    EXPECT_EQ(place.folder, dir / "caps/");
    EXPECT_EQ(place.names, (Names{"a.DT", "b.dt", "d.DT", "link.DT"}));
    EXPECT_TRUE(place.refused.empty());
}

// A typo, a file of another kind, a device: each is named with the reason,
// and the window opens where it would have without it.
TEST(StartPlace, ArgumentsNamingNeitherAFolderNorACaptureAreRefusedAndLeftOut)
{
    TempDir dir;
    ASSERT_EQ(::mkdir((dir / "caps").c_str(), 0755), 0);
    WriteFileBytes(dir / "caps/a.DT", {});
    WriteFileBytes(dir / "notes.txt", {});
    ASSERT_EQ(::mkfifo((dir / "pipe.DT").c_str(), 0644), 0);
    const std::string working = dir.path() + "/";

    StartPlace place = ChooseStartPlace({"存在しない", "notes.txt", "pipe.DT", "", "caps/a.DT"},
                                        "/opt/conv/x", working);
    EXPECT_EQ(place.folder, dir / "caps/");
    EXPECT_EQ(place.names, Names{"a.DT"});
    std::vector<std::string> texts;
    for (const RefusedArgument& refused : place.refused)
        texts.push_back(RefusalText(refused));
    EXPECT_EQ(texts, (Names{"存在しない: No such file or directory",
                            "notes.txt: not a capture file (*.DT)", "pipe.DT: not a regular file",
                            "'': No such file or directory"}));

    // Nothing left: where the program opens without arguments.
    place = ChooseStartPlace({"caps/missing.DT"}, "/opt/conv/x", working);
    EXPECT_EQ(place.folder, "/opt/conv/");
    EXPECT_TRUE(place.names.empty());
    ASSERT_EQ(place.refused.size(), 1u);
    EXPECT_EQ(place.refused[0].argument, "caps/missing.DT");

    // A folder after a typo is the first argument left.
    place = ChooseStartPlace({"cpas", "caps"}, "/opt/conv/x", working);
    EXPECT_EQ(place.folder, dir / "caps/");
    EXPECT_EQ(place.refused.size(), 1u);
}

TEST(WindowArguments, HelpVersionAndUnknownOptionsAreToldFromPlaces)
{
    const auto request = [](const Names& arguments) { return ReadWindowArguments(arguments).request; };
    EXPECT_EQ(request({}), WindowRequest::kOpen);
    EXPECT_EQ(request({"--help"}), WindowRequest::kHelp);
    EXPECT_EQ(request({"caps", "--he"}), WindowRequest::kHelp);
    EXPECT_EQ(request({"--vers", "--help"}), WindowRequest::kVersion);  // the first one counts
    EXPECT_EQ(request({"--help", "--version"}), WindowRequest::kHelp);
    EXPECT_EQ(request({"--", "--help"}), WindowRequest::kOpen);
    EXPECT_EQ(request({"--help=x"}), WindowRequest::kOpen);

    const WindowArguments read = ReadWindowArguments({"-x", "--hepl", "a.DT", "-", "--", "-b.DT", "--version"});
    EXPECT_EQ(read.request, WindowRequest::kOpen);
    EXPECT_EQ(read.places, (Names{"a.DT", "-", "-b.DT", "--version"}));
    ASSERT_EQ(read.refused.size(), 2u);
    EXPECT_EQ(RefusalText(read.refused[0]), "-x: unrecognized option");
    EXPECT_EQ(RefusalText(read.refused[1]), "--hepl: unrecognized option");
}
