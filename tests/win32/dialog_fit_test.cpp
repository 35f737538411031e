// The window at a high DPI and on a DPI change: its frame within the screen's
// work area, its controls within its client area, and back at the first DPI
// exactly as the dialog manager made it.

#include "dialog_ids.h"
#include "window_driver.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The desktop's DPI for programs started while it lives (wine reads it at a
// program's start), put back afterwards so that no other test sees it.
class DesktopDpi {
public:
    explicit DesktopDpi(DWORD dpi)
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &m_key, nullptr);
        DWORD size = sizeof m_old;
        m_had = RegQueryValueExW(m_key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&m_old), &size) ==
                ERROR_SUCCESS;
        RegSetValueExW(m_key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~DesktopDpi()
    {
        if (m_had)
            RegSetValueExW(m_key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_old), sizeof m_old);
        else
            RegDeleteValueW(m_key, L"LogPixels");
        RegCloseKey(m_key);
    }
    DesktopDpi(const DesktopDpi&) = delete;
    DesktopDpi& operator=(const DesktopDpi&) = delete;

private:
    HKEY m_key = nullptr;
    DWORD m_old = 0;
    bool m_had = false;
};

template <typename Function>
Function User32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// This thread sees every window's coordinates unscaled, as the window's own
// per-monitor aware process does.
class UnscaledCoordinates {
public:
    UnscaledCoordinates()
    {
        if (m_set != nullptr)
            m_old = m_set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
    ~UnscaledCoordinates()
    {
        if (m_set != nullptr && m_old != nullptr)
            m_set(m_old);
    }
    UnscaledCoordinates(const UnscaledCoordinates&) = delete;
    UnscaledCoordinates& operator=(const UnscaledCoordinates&) = delete;

private:
    using SetFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    SetFunction m_set = User32Function<SetFunction>("SetThreadDpiAwarenessContext");
    DPI_AWARENESS_CONTEXT m_old = nullptr;
};

RECT WorkAreaOf(HWND window)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Shown(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

RECT WindowRectOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The frame within the work area, large enough that it was not made smaller
// than it had to be, and every control within the client area.
void ExpectFitted(HWND dialog)
{
    const RECT frame = WindowRectOf(dialog);
    const RECT work = WorkAreaOf(dialog);
    EXPECT_TRUE(Inside(frame, work)) << Shown(frame) << " in " << Shown(work);
    EXPECT_GT(frame.bottom - frame.top, (work.bottom - work.top) * 9 / 10) << Shown(frame);
    RECT client{};
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    // Each control inside, and each in a place of its own (the two without
    // an id are told apart by their text).
    std::vector<std::string> places;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT place = WindowRectOf(child);
        EXPECT_TRUE(Inside(place, client)) << GetDlgCtrlID(child) << " at " << Shown(place);
        places.push_back(Shown(place));
    }
    EXPECT_EQ(places.size(), 9u);
    std::sort(places.begin(), places.end());
    EXPECT_EQ(std::adjacent_find(places.begin(), places.end()), places.end());
    // The controls have the font they were laid out for: an entry of the
    // list is as tall as a line of it, 8 of the 175 vertical units the list
    // is high.
    const HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
    const RECT listFrame = WindowRectOf(list);
    const auto entryHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_NEAR(listFrame.bottom - listFrame.top, entryHeight * 175 / 8, 1) << entryHeight;
}

// Three times the usual DPI: at the desktop's font the dialog would be taller
// than the tests' screen (1024 pixels).
TEST_F(WindowTest, AtAHighDpiTheWholeFrameIsOnScreen)
{
    Frames(2, 1).WriteTo(dir / "run.DT");
    const UnscaledCoordinates unscaled;
    std::unique_ptr<WindowDriver> window;
    {
        const DesktopDpi dpi(288);
        window = std::make_unique<WindowDriver>(program, folder);
        ASSERT_NE(window->Dialog(), nullptr);
    }
    // At 96 dpi it takes less than half the screen's height: taking most of
    // it shows the DPI was the one set.
    ExpectFitted(window->Dialog());
    EXPECT_EQ(window->ListEntries(), std::vector<std::wstring>{L"run.DT"});
    window->PressEscape();
    EXPECT_EQ(window->WaitForExit(), 0);
}

TEST_F(WindowTest, MovedToAMonitorOfAnotherDpiItIsLaidOutAgain)
{
    const UnscaledCoordinates unscaled;
    WindowDriver window(program, folder);
    const HWND dialog = window.Dialog();
    ASSERT_NE(dialog, nullptr);
    const RECT made = WindowRectOf(dialog);
    const RECT madeStart = WindowRectOf(window.Control(IDC_START_CONVERSION));
    const auto moveTo = [&](UINT dpi) {
        // The system's suggestion: the frame scaled with the DPI.
        const RECT now = WindowRectOf(dialog);
        const RECT suggested{now.left, now.top, now.left + MulDiv(made.right - made.left, static_cast<int>(dpi), 96),
                             now.top + MulDiv(made.bottom - made.top, static_cast<int>(dpi), 96)};
        window.SendDpiChanged(dpi, suggested);
    };

    moveTo(144);
    const RECT larger = WindowRectOf(dialog);
    EXPECT_GE((larger.right - larger.left) * 10, (made.right - made.left) * 14) << Shown(larger);
    EXPECT_TRUE(Inside(larger, WorkAreaOf(dialog))) << Shown(larger);
    // Too tall at its desktop font there: made to fit.
    moveTo(288);
    ExpectFitted(dialog);
    // Back: as the dialog manager made it, to the pixel.
    moveTo(96);
    EXPECT_EQ(Shown(WindowRectOf(dialog)), Shown(made));
    EXPECT_EQ(Shown(WindowRectOf(window.Control(IDC_START_CONVERSION))), Shown(madeStart));
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

} // namespace
