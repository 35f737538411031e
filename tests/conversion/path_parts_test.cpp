// How every part of the program splits a path into folder and name, and joins them.

#include "path_parts.h"

#include <gtest/gtest.h>

TEST(PathParts, FolderKeepsItsSlashAndRootStaysOneSlash)
{
    EXPECT_EQ(FolderOf("/opt/tools/conv/run"), "/opt/tools/conv/");
    EXPECT_EQ(FolderOf("/run"), "/");
    EXPECT_EQ(FolderOf("//server/share/run"), "//server/share/");
    EXPECT_EQ(FolderOf("run"), "");
}

TEST(PathParts, BaseNameDropsFolderAndExtension)
{
    EXPECT_EQ(BaseNameOf("/opt/tavrino-pcap-converter"), "tavrino-pcap-converter");
    EXPECT_EQ(BaseNameOf("/opt/conv.v2/conv.exe"), "conv");
    EXPECT_EQ(BaseNameOf("a.b.c"), "a.b");
}

TEST(PathParts, JoinPutsOneSeparatorBetweenFolderAndName)
{
    EXPECT_EQ(JoinPath<char>("/opt/conv/", "run.DT"), "/opt/conv/run.DT");
    EXPECT_EQ(JoinPath<char>("/", "run.DT"), "/run.DT");
    EXPECT_EQ(JoinPath<char>("", "run.DT"), "run.DT");
#ifdef _WIN32
    EXPECT_EQ(JoinPath<char>("C:\\caps", "run.DT"), "C:\\caps\\run.DT");
    EXPECT_EQ(JoinPath<char>("C:/caps/", "run.DT"), "C:/caps/run.DT");
    EXPECT_EQ(JoinPath<char>("D:", "run.DT"), "D:run.DT");
    EXPECT_EQ(WithFolderSeparator(std::wstring(L"C:\\caps")), L"C:\\caps\\");
#else
    EXPECT_EQ(JoinPath<char>("/opt/conv", "run.DT"), "/opt/conv/run.DT");
    EXPECT_EQ(WithFolderSeparator(std::string("/opt/conv")), "/opt/conv/");
#endif
}
