// What dt2pcap prints, on Windows: characters on a console whatever its code
// page, the UTF-8 bytes on anything else.

#include "test_console_windows.h"
#include "text_output.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// Standard output and error pointed elsewhere by a test, and back after it.
class StandardHandles : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetStdHandle(STD_OUTPUT_HANDLE, m_output);
        SetStdHandle(STD_ERROR_HANDLE, m_error);
    }

    const HANDLE m_output = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE m_error = GetStdHandle(STD_ERROR_HANDLE);
};

// All that a pipe's reading end holds once its writing end is closed.
std::string Drain(HANDLE reader, HANDLE writer)
{
    CloseHandle(writer);
    std::string text;
    char block[512];
    DWORD got = 0;
    while (ReadFile(reader, block, sizeof block, &got, nullptr) && got > 0)
        text.append(block, got);
    CloseHandle(reader);
    return text;
}

} // namespace

TEST_F(StandardHandles, ConsoleShowsTheCharactersAndKeepsItsCodePage)
{
    TestConsole console;
    if (!console.Open())
        GTEST_SKIP() << "no console buffer (wine has one only with a display)";
    SetStdHandle(STD_OUTPUT_HANDLE, console.Output());
    SetStdHandle(STD_ERROR_HANDLE, console.Output());
    for (const UINT codePage : {932u, 65001u}) {
        ASSERT_TRUE(SetConsoleOutputCP(codePage));
        const SHORT row = console.Cursor().Y;
        WriteStandardError("無い.DT Open error\n");
        std::string reason;
        EXPECT_TRUE(WriteStandardOutput("表.DT: 3 frames\n", reason)) << reason;
        EXPECT_EQ(ToUtf8(console.Row(row)), "無い.DT Open error") << codePage;
        EXPECT_EQ(ToUtf8(console.Row(row + 1)), "表.DT: 3 frames") << codePage;
        EXPECT_EQ(console.Cursor().X, 0);
        EXPECT_EQ(console.Cursor().Y, row + 2);
        EXPECT_EQ(GetConsoleOutputCP(), codePage);
    }
}

TEST_F(StandardHandles, PipesGetTheBytesAsGiven)
{
    HANDLE errorReader, errorWriter, outputReader, outputWriter;
    ASSERT_TRUE(CreatePipe(&errorReader, &errorWriter, nullptr, 0));
    ASSERT_TRUE(CreatePipe(&outputReader, &outputWriter, nullptr, 0));
    SetStdHandle(STD_ERROR_HANDLE, errorWriter);
    SetStdHandle(STD_OUTPUT_HANDLE, outputWriter);
    WriteStandardError("無い.DT Open error\n");
    std::string reason;
    EXPECT_TRUE(WriteStandardOutput("ｶﾅ.DT\n🐟\n", reason)) << reason;
    EXPECT_EQ(Drain(errorReader, errorWriter), "無い.DT Open error\n");
    EXPECT_EQ(Drain(outputReader, outputWriter), "ｶﾅ.DT\n🐟\n");
}

TEST_F(StandardHandles, FailedWriteToStandardOutputSaysWhy)
{
    std::string reason;
    SetStdHandle(STD_OUTPUT_HANDLE, nullptr);  // started without one
    EXPECT_FALSE(WriteStandardOutput("x\n", reason));
    EXPECT_NE(reason, "");  // the system's words

    HANDLE reader, writer;
    ASSERT_TRUE(CreatePipe(&reader, &writer, nullptr, 0));
    SetStdHandle(STD_OUTPUT_HANDLE, reader);  // not open for writing
    EXPECT_FALSE(WriteStandardOutput("x\n", reason));
    EXPECT_EQ(reason, "Permission denied");
    CloseHandle(reader);
    CloseHandle(writer);
}
