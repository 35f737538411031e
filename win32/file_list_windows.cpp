#include "file_list_windows.h"

#include "elided_text_windows.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr UINT_PTR kTool = 1;
constexpr UINT_PTR kSubclass = 1;
constexpr int kTextMargin = 1;  // where the list puts its own text

std::wstring EntryText(HWND list, UINT index)
{
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

struct TipState {
    HWND tips;
    int entry;  // the entry the tool covers, -1 for none
};

// The tool is the entry's rectangle with its name, so that the tip comes
// anew for each entry the mouse moves onto.
void CoverEntry(HWND list, TipState& state, int entry)
{
    state.entry = entry;
    SendMessageW(state.tips, TTM_POP, 0, 0);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = list;
    tool.uId = kTool;
    if (entry < 0 || SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(entry),
                                  reinterpret_cast<LPARAM>(&tool.rect)) == LB_ERR)
        SetRectEmpty(&tool.rect);
    SendMessageW(state.tips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    std::wstring text = entry < 0 ? std::wstring() : EntryText(list, static_cast<UINT>(entry));
    tool.lpszText = &text[0];
    SendMessageW(state.tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The entry under a client point, -1 below the last one.
int EntryAt(HWND list, LPARAM point)
{
    const POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, point);
    RECT area{};
    if (HIWORD(hit) != 0 || SendMessageW(list, LB_GETITEMRECT, LOWORD(hit), reinterpret_cast<LPARAM>(&area)) == LB_ERR ||
        !PtInRect(&area, at))
        return -1;
    return LOWORD(hit);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* state = reinterpret_cast<TipState*>(data);
    switch (message) {
    case WM_MOUSEMOVE: {
        const int entry = EntryAt(list, lParam);
        if (entry != state->entry)
            CoverEntry(list, *state, entry);
        break;
    }
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case LB_RESETCONTENT:
    case LB_SETTOPINDEX:
        // Another entry may now be under the mouse: the next move says which.
        CoverEntry(list, *state, -1);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(list, ListProc, kSubclass);
        delete state;
        return DefSubclassProc(list, message, wParam, lParam);
    default:
        break;
    }
    // The tip sees the mouse after the tool has followed it.
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        MSG relayed{list, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        SendMessageW(state->tips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

} // namespace

void SetFileListItemHeight(HWND list)
{
    const HDC dc = GetDC(list);
    TEXTMETRICW metrics{};
    {
        const WindowFontSelected font(dc, list);
        GetTextMetricsW(dc, &metrics);
    }
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, metrics.tmHeight > 0 ? metrics.tmHeight : 1);
}

void DrawFileListItem(const DRAWITEMSTRUCT& item)
{
    const bool focusShown = (item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT);
    // The focus alone (an empty list, or the caret moving): drawn by inverting.
    if (item.itemID == static_cast<UINT>(-1) || item.itemAction == ODA_FOCUS) {
        if (!(item.itemState & ODS_NOFOCUSRECT))
            DrawFocusRect(item.hDC, &item.rcItem);
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int textColour = (item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                           : selected                      ? COLOR_HIGHLIGHTTEXT
                                                           : COLOR_WINDOWTEXT;
    SetTextColor(item.hDC, GetSysColor(textColour));
    SetBkMode(item.hDC, TRANSPARENT);
    RECT area = item.rcItem;
    area.left += kTextMargin;
    area.right -= kTextMargin;
    {
        const WindowFontSelected font(item.hDC, item.hwndItem);
        const std::wstring shown =
            ElidedInMiddle(item.hDC, EntryText(item.hwndItem, item.itemID), area.right - area.left);
        DrawTextW(item.hDC, shown.c_str(), static_cast<int>(shown.size()), &area,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (focusShown)
        DrawFocusRect(item.hDC, &item.rcItem);
}

void TrackFileListTips(HWND list, HWND tips)
{
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = list;
    tool.uId = kTool;
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SetWindowSubclass(list, ListProc, kSubclass, reinterpret_cast<DWORD_PTR>(new TipState{tips, -1}));
}
