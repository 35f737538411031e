// How every part of the program splits a path into folder and name.

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
