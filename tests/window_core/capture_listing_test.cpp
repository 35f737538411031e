// The program's own file and name, and which names the file list shows in which order.

#include "capture_listing.h"
#include "program_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using Names = std::vector<std::string>;

TEST(ProgramFile, IsTheRealPathOfThisProgramAndNamesTheApplication)
{
    const std::string path = ProgramFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "window_core_tests");
    EXPECT_EQ(ApplicationName(), "window_core_tests");
}

TEST(CapturePattern, ExtensionInAnyCaseAndNothingElse)
{
    for (const char* name : {"a.DT", "a.dt", "a.Dt", "a.dT", ".DT", "a.b.DT", "run 1.DT"})
        EXPECT_TRUE(MatchesCapturePattern(name)) << name;
    for (const char* name : {"a.DTX", "a.pcap", "aDT", "DT", "a.DT.bak", "a.D", ""})
        EXPECT_FALSE(MatchesCapturePattern(name)) << name;
}

TEST(CapturePattern, OrderIgnoresCaseFirst)
{
    Names names = {"b.DT", "a.dt", "C.DT", "B.dt", "_x.DT", "A.DT"};
    std::sort(names.begin(), names.end(), CaptureNameLess);
    // Upper case compared first ('_' sorts after the letters there), bytes break ties.
    EXPECT_EQ(names, (Names{"A.DT", "a.dt", "B.dt", "b.DT", "C.DT", "_x.DT"}));
}

TEST(CaptureListing, ListsTheMatchingFilesInNameOrder)
{
    TempDir dir;
    const std::string folder = dir.path() + "/";
    for (const char* name : {"b.DT", "A.dt", "c.Dt", ".hidden.DT", "x.pcap", "notes.txt", "y.DTX", "DT"})
        WriteFileBytes(folder + name, {});
    ASSERT_EQ(::mkdir((folder + "sub").c_str(), 0755), 0);
    WriteFileBytes(folder + "sub/inner.DT", {});

    EXPECT_EQ(ListCaptureNames(folder), (Names{".hidden.DT", "A.dt", "b.DT", "c.Dt"}));
}

TEST(CaptureListing, FoldersAndOtherNonFilesNamedLikeCapturesAreLeftOut)
{
    TempDir dir;
    const std::string folder = dir.path() + "/";
    WriteFileBytes(folder + "real.DT", {});
    ASSERT_EQ(::mkdir((folder + "dir.DT").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo((folder + "pipe.DT").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("real.DT", (folder + "link.DT").c_str()), 0);
    ASSERT_EQ(::symlink("dir.DT", (folder + "dirlink.DT").c_str()), 0);
    ASSERT_EQ(::symlink("missing", (folder + "dangling.DT").c_str()), 0);

    EXPECT_EQ(ListCaptureNames(folder), (Names{"link.DT", "real.DT"}));
}

TEST(CaptureListing, MissingOrUnreadableFolderIsEmpty)
{
    TempDir dir;
    const std::string folder = dir.path() + "/";
    EXPECT_TRUE(ListCaptureNames(folder + "missing/").empty());
    WriteFileBytes(folder + "file", {});
    EXPECT_TRUE(ListCaptureNames(folder + "file/").empty());
}

TEST(CaptureListing, UnreadableFolderIsEmpty)
{
    TempDir dir;
    const std::string locked = dir / "locked/";
    ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
    WriteFileBytes(locked + "a.DT", {});
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    const bool readable = ::access(locked.c_str(), R_OK) == 0;
    const Names names = ListCaptureNames(locked);
    ::chmod(locked.c_str(), 0755);
    if (readable)
        GTEST_SKIP() << "these rights read any folder";
    EXPECT_TRUE(names.empty());
}
