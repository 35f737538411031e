// Long names in the window: two 60-character names that differ near the end
// are drawn differently in the list, the entry under the mouse shows its whole
// name as a tooltip, and the progress label keeps "File i of n: " whole.

#include "dialog_ids.h"
#include "resource_ids.h"
#include "window_driver.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// 60 characters. Told apart by ASCII digits: the tests' wine may have no font
// for Japanese, and draw every such character as the same box.
const std::string kStem = "東京_回線1_夜間監視_第二ビル_北側ラック_上段_スイッチ_ポート全部_長期記録_二〇二四年四月分_月曜_";
const std::string kFirst = kStem + "その_1.DT";
const std::string kSecond = kStem + "その_2.DT";

// The pixels the screen shows in `area` (screen coordinates).
std::vector<std::uint32_t> ScreenPixels(const RECT& area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    std::copy_n(static_cast<const std::uint32_t*>(bits), pixels.size(), pixels.begin());
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Entry `index` of the list (its first entries in view), in screen coordinates.
RECT EntryOnScreen(HWND list, int index)
{
    RECT client{};
    GetClientRect(list, &client);
    const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    POINT corner{0, index * height};
    ClientToScreen(list, &corner);
    return {corner.x, corner.y, corner.x + client.right, corner.y + height};
}

TEST_F(WindowTest, LongNamesDifferingAtTheEndAreToldApartAndShownWholeInATooltip)
{
    Frames(2, 1).WriteTo(dir / kFirst);
    Frames(2, 2).WriteTo(dir / kSecond);
    WindowDriver window(program, folder);
    ASSERT_NE(window.Dialog(), nullptr);
    EXPECT_EQ(window.ListEntries(), (std::vector<std::wstring>{Wide(kFirst), Wide(kSecond)}));
    const HWND list = window.Control(IDC_FILE_LIST);
    // Let the list paint, then compare its rows as drawn: a name cut at the
    // list's edge would leave both looking the same.
    Sleep(500);
    const std::vector<std::uint32_t> first = ScreenPixels(EntryOnScreen(list, 0));
    const std::vector<std::uint32_t> second = ScreenPixels(EntryOnScreen(list, 1));
    const std::vector<std::uint32_t> empty = ScreenPixels(EntryOnScreen(list, 2));
    EXPECT_NE(first, empty);
    EXPECT_NE(first, second);
    // Selected, an entry is drawn in the highlight's colours.
    SendMessageW(list, LB_SETSEL, TRUE, 1);
    Sleep(300);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const std::uint32_t highlightPixel =
        (GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight);
    const std::vector<std::uint32_t> selected = ScreenPixels(EntryOnScreen(list, 1));
    EXPECT_GT(std::count(selected.begin(), selected.end(), highlightPixel), 0);
    SendMessageW(list, LB_SETSEL, FALSE, 1);

    // The mouse onto each entry in turn: the tip follows with its whole name.
    for (const int index : {1, 0}) {
        const RECT entry = EntryOnScreen(list, index);
        const POINT centre{(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2};
        SetCursorPos(centre.x, centre.y);
        POINT inList = centre;
        ScreenToClient(list, &inList);
        PostMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(inList.x, inList.y));
        EXPECT_EQ(window.WaitForTooltip(Wide(index == 0 ? kFirst : kSecond)), Wide(index == 0 ? kFirst : kSecond));
    }
    SetCursorPos(0, 0);
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

TEST_F(WindowTest, ProgressLabelKeepsTheFileNumberAndElidesTheName)
{
    // One long capture under six names, so that the batch outlasts the
    // progress dialog's delay however fast this machine converts.
    WriteLongCapture(dir / kFirst, 1024);
    for (char number = '2'; number <= '6'; ++number)
        ASSERT_TRUE(CreateHardLinkW(Wide(dir / (kStem + "その_" + number + ".DT")).c_str(), Wide(dir / kFirst).c_str(),
                                    nullptr));
    WindowDriver window(program, folder);
    ASSERT_NE(window.Dialog(), nullptr);
    window.SelectAll();
    window.Click(IDC_START_CONVERSION);
    const HWND progress = window.WaitForProgress(L"File ");
    ASSERT_NE(progress, nullptr);
    const HWND label = GetDlgItem(progress, IDC_PROGRESS_FILE);
    const int length = GetWindowTextLengthW(label);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(label, &text[0], length + 1)));
    // "File i of 6: ", then the elided name of file i.
    ASSERT_GT(text.size(), 13u);
    const std::wstring number = text.substr(5, 1);
    const std::wstring head = L"File " + number + L" of 6: ";
    ASSERT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(head.size(), 2), L"東京") << text.size();
    EXPECT_EQ(text.substr(text.size() - 7), L"その_" + number + L".DT");
    EXPECT_NE(text.find(L'\u2026'), std::wstring::npos);
    // In the progress dialog's own font, it fits the label.
    const HDC dc = GetDC(nullptr);
    const HFONT font = CreateFontW(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                   FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"ＭＳ Ｐゴシック");
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    RECT area{};
    GetClientRect(label, &area);
    EXPECT_LE(size.cx, area.right);

    PostMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
    for (int i = 0; i < 100 && IsWindow(progress); ++i)
        Sleep(50);
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

} // namespace
