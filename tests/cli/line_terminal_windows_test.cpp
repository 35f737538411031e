// The progress line's terminal on Windows, on a console of the test's own
// (which wine gives only with a display: the Windows tests run under Xvfb).

#include "line_terminal.h"
#include "progress_line.h"
#include "test_console_windows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

class OnConsole : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!m_console.Open())
            GTEST_SKIP() << "no console buffer (wine has one only with a display)";
        m_savedError = GetStdHandle(STD_ERROR_HANDLE);
        SetStdHandle(STD_ERROR_HANDLE, m_console.Output());
        SetWidth(80);
        Write("before\r\n");
        m_row = Cursor().Y;
    }

    void TearDown() override
    {
        if (m_savedError != nullptr)
            SetStdHandle(STD_ERROR_HANDLE, m_savedError);
        m_console.Leave();
    }

    // Window and buffer both `columns` wide; the window is changed first
    // when narrowing, as it may never be wider than the buffer.
    void SetWidth(SHORT columns, bool bufferToo = true)
    {
        const HANDLE console = m_console.Output();
        CONSOLE_SCREEN_BUFFER_INFO info;
        ASSERT_TRUE(GetConsoleScreenBufferInfo(console, &info));
        const SMALL_RECT window{0, info.srWindow.Top, static_cast<SHORT>(columns - 1), info.srWindow.Bottom};
        if (bufferToo && columns > info.dwSize.X) {
            ASSERT_TRUE(SetConsoleScreenBufferSize(console, COORD{columns, info.dwSize.Y}));
        }
        ASSERT_TRUE(SetConsoleWindowInfo(console, TRUE, &window));
        if (bufferToo && columns < info.dwSize.X) {
            ASSERT_TRUE(SetConsoleScreenBufferSize(console, COORD{columns, info.dwSize.Y}));
        }
    }

    void Write(const std::string& text)
    {
        DWORD written = 0;
        WriteFile(m_console.Output(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }

    // Row `row` of the buffer, UTF-8, without its trailing blanks.
    std::string Row(SHORT row) { return m_console.Row(row); }
    COORD Cursor() { return m_console.Cursor(); }

    TestConsole m_console;
    HANDLE m_savedError = nullptr;
    SHORT m_row = 0;  // the line's row, below "before"
};

} // namespace

TEST_F(OnConsole, LinesReplaceEachOtherAtTheCursorAndLeaveItAtTheirStart)
{
    const std::unique_ptr<LineTerminal> terminal = StandardErrorTerminal();
    EXPECT_EQ(terminal->Columns(), 80u);
    terminal->Replace(0, "caps/run1.DT   42%  2.0 MB/s");
    EXPECT_EQ(Row(m_row), "caps/run1.DT   42%  2.0 MB/s");
    EXPECT_EQ(Cursor().X, 0);
    EXPECT_EQ(Cursor().Y, m_row);

    terminal->Replace(28, "x.DT  100%");
    EXPECT_EQ(Row(m_row), "x.DT  100%");
    terminal->Replace(10, "");
    EXPECT_EQ(Row(m_row), "");
    EXPECT_EQ(Cursor().X, 0);
    EXPECT_EQ(Cursor().Y, m_row);
    EXPECT_EQ(Row(m_row - 1), "before");
}

// Characters, not bytes in a code page: the name comes out whole whichever
// the user's console has, and that stays as it was.
TEST_F(OnConsole, NameShowsWholeAtAnyCodePage)
{
    const std::unique_ptr<LineTerminal> terminal = StandardErrorTerminal();
    const std::string line = "東京_回線1.DT   42%  2.0 MB/s";
    for (const UINT codePage : {932u, 65001u, 437u}) {
        ASSERT_TRUE(SetConsoleOutputCP(codePage));
        terminal->Replace(0, line);
        EXPECT_EQ(Row(m_row), line) << codePage;
        EXPECT_EQ(GetConsoleOutputCP(), codePage);
    }
}

// Narrowed from 80 to 40 with a line of 79 shown, its tail moved onto the next
// row as a console that rewraps would have it: both rows wiped, the row above
// kept. The width is the window's, which may be narrower than the buffer.
TEST_F(OnConsole, NarrowedConsoleGetsTheWholeOldLineWiped)
{
    const std::unique_ptr<LineTerminal> terminal = StandardErrorTerminal();
    terminal->Replace(0, std::string(79, 'n'));
    SetWidth(50, false);  // older consoles keep the buffer's width
    EXPECT_EQ(terminal->Columns(), 50u);
    SetWidth(40);
    EXPECT_EQ(terminal->Columns(), 40u);
    const std::string tail(39, 'n');
    DWORD written = 0;
    WriteConsoleOutputCharacterA(m_console.Output(), tail.data(), 39, COORD{0, static_cast<SHORT>(m_row + 1)}, &written);

    terminal->Replace(79, std::string(39, 'm'));
    EXPECT_EQ(Row(m_row), std::string(39, 'm'));
    EXPECT_EQ(Row(m_row + 1), "");
    EXPECT_EQ(Row(m_row - 1), "before");
    EXPECT_EQ(Cursor().Y, m_row);
}

TEST_F(OnConsole, StopHandlerWipesTheLineShown)
{
    const std::unique_ptr<LineTerminal> terminal = StandardErrorTerminal();
    ProgressLine line(*terminal);
    line.Start("run1.DT");
    line.Update(1, 2);
    EXPECT_EQ(Row(m_row).substr(0, 7), "run1.DT");
    WipeProgressLineOnStop();
    EXPECT_EQ(Row(m_row), "");
    EXPECT_EQ(Cursor().X, 0);
    EXPECT_EQ(Cursor().Y, m_row);
    EXPECT_EQ(Row(m_row - 1), "before");
    line.Clear();
}
