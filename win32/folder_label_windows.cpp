#include "folder_label_windows.h"

#include "elided_text_windows.h"
#include "middle_elision.h"

namespace {

const wchar_t kEllipsis[] = L"\u2026";

} // namespace

std::wstring ElidedFolder(HDC dc, const std::wstring& folder, int width)
{
    if (TextWidth(dc, folder) <= width)
        return folder;
    // The last folder name with its separator(s), and what comes before it.
    std::size_t end = folder.find_last_not_of(L"\\/");
    if (end == std::wstring::npos)
        return folder;
    const std::size_t start = folder.find_last_of(L"\\/:", end);
    const std::size_t split = start == std::wstring::npos ? 0 : start + 1;
    const std::wstring head = folder.substr(0, split);
    const std::wstring last = folder.substr(split);
    // As much of the start as fits before "…\last\".
    const std::wstring tail = std::wstring(kEllipsis) + (split > 0 ? folder.substr(start, 1) : L"") + last;
    if (TextWidth(dc, tail) <= width) {
        const std::size_t keep = MostThatFits(head.size(), [&](std::size_t count) {
            return TextWidth(dc, head.substr(0, count) + tail) <= width;
        });
        return head.substr(0, keep) + tail;
    }
    // Not even the last name fits: its end, after the ellipsis.
    const std::size_t keep = MostThatFits(last.size(), [&](std::size_t count) {
        return TextWidth(dc, kEllipsis + last.substr(last.size() - count)) <= width;
    });
    return kEllipsis + last.substr(last.size() - keep);
}

void DrawFolderLabel(const DRAWITEMSTRUCT& item)
{
    const int length = GetWindowTextLengthW(item.hwndItem);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(item.hwndItem, &text[0], length + 1)));

    // The dialog's background, as the static control would paint it.
    const HWND parent = GetParent(item.hwndItem);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(item.hDC), reinterpret_cast<LPARAM>(item.hwndItem)));
    if (brush == nullptr)
        brush = GetSysColorBrush(COLOR_3DFACE);
    FillRect(item.hDC, &item.rcItem, brush);

    const WindowFontSelected font(item.hDC, item.hwndItem);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
    RECT area = item.rcItem;
    const std::wstring shown = ElidedFolder(item.hDC, text, area.right - area.left);
    DrawTextW(item.hDC, shown.c_str(), static_cast<int>(shown.size()), &area, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}
