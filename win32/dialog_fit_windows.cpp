// Before windows.h, whose macros have the names of its style constants.
#include "dialog_template.h"

#include "dialog_fit_windows.h"

#include "dialog_ids.h"
#include "file_list_windows.h"
#include "screen_fit.h"
#include "windows_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// Functions of Windows 10 (1607, 1703): looked up, so that the program still
// starts on older systems, where a window's DPI is the system's.
template <typename Function>
Function User32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT WindowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpi = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpi != nullptr) {
        if (const UINT dpi = getDpi(window))
            return dpi;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// What a frame drawn at `dpi` adds to the client area.
SIZE FrameAtDpi(HWND window, UINT dpi)
{
    using AdjustFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustFunction>("AdjustWindowRectExForDpi");
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    RECT empty{};
    if (adjustForDpi == nullptr || !adjustForDpi(&empty, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&empty, style, FALSE, exStyle);
    return {empty.right - empty.left, empty.bottom - empty.top};
}

// The dialog manager's units of a font: a quarter of the average width of
// the 52 letters, an eighth of the height.
SIZE BaseUnits(HFONT font)
{
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    GetTextExtentPoint32W(dc, kLetters, 52, &letters);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

RECT Mapped(int x, int y, int cx, int cy, SIZE units)
{
    const int left = MulDiv(x, units.cx, 4);
    const int top = MulDiv(y, units.cy, 8);
    return {left, top, left + MulDiv(cx, units.cx, 4), top + MulDiv(cy, units.cy, 8)};
}

// The table's control that `child` was made from: by its id, or for the two
// controls without one, by their text.
const DialogItemTemplate* TemplateItemOf(HWND child)
{
    const int id = GetDlgCtrlID(child);
    const int length = GetWindowTextLengthW(child);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(child, &text[0], length + 1)));
    const DialogTemplate& table = kConverterDialogTemplate;
    for (std::size_t i = 0; i < table.itemCount; ++i) {
        const DialogItemTemplate& item = table.items[i];
        std::wstring itemText;
        if (item.id == id && (id != IDC_STATIC || (windows_text::Utf8ToWide(item.text, itemText) && itemText == text)))
            return &item;
    }
    return nullptr;
}

// The dialog's client area in `units`, as the dialog manager sizes it.
SIZE ClientSize(SIZE units)
{
    const DialogTemplate& table = kConverterDialogTemplate;
    return {MulDiv(table.cx, units.cx, 4), MulDiv(table.cy, units.cy, 8)};
}

screen_fit::Size Extent(const RECT& rect) { return {rect.right - rect.left, rect.bottom - rect.top}; }

} // namespace

DialogFit::DialogFit(HWND dialog) : m_dialog(dialog), m_madeDpi(WindowDpi(dialog))
{
    const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (font == nullptr || GetObjectW(font, sizeof m_madeFont, &m_madeFont) == 0)
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof m_madeFont, &m_madeFont);
    // The layout on a DPI change is ours, not the dialog manager's linear one.
    using BehaviourFunction = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    if (const auto setBehaviour = User32Function<BehaviourFunction>("SetDialogDpiChangeBehavior"))
        setBehaviour(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

DialogFit::~DialogFit()
{
    if (m_font != nullptr)
        DeleteObject(m_font);
}

void DialogFit::FitWhereItIs()
{
    // The frame as it is drawn.
    RECT frame{}, client{};
    GetWindowRect(m_dialog, &frame);
    GetClientRect(m_dialog, &client);
    const SIZE thickness{(frame.right - frame.left) - client.right, (frame.bottom - frame.top) - client.bottom};
    Fit(WindowDpi(m_dialog), MonitorFromWindow(m_dialog, MONITOR_DEFAULTTONEAREST), {frame.left, frame.top},
        thickness);
}

void DialogFit::FitToNewDpi(UINT dpi, const RECT& suggested)
{
    // The frame as it will be drawn there.
    Fit(dpi, MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), {suggested.left, suggested.top},
        FrameAtDpi(m_dialog, dpi));
}

HFONT DialogFit::FontAt(UINT dpi, double scale) const
{
    LOGFONTW font = m_madeFont;
    const int height = MulDiv(std::abs(m_madeFont.lfHeight), static_cast<int>(dpi), static_cast<int>(m_madeDpi));
    const int scaled = std::max(1, static_cast<int>(std::lround(height * scale)));
    font.lfHeight = m_madeFont.lfHeight < 0 ? -scaled : scaled;
    return CreateFontIndirectW(&font);
}

void DialogFit::Fit(UINT dpi, HMONITOR monitor, POINT frameTopLeft, SIZE frame)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return;
    const double scale = screen_fit::FittingScale(
        [&](double at) {
            const HFONT font = FontAt(dpi, at);
            const SIZE client = ClientSize(BaseUnits(font));
            DeleteObject(font);
            return screen_fit::Size{client.cx + frame.cx, client.cy + frame.cy};
        },
        Extent(info.rcWork));
    // As the dialog manager made it, where that fits.
    if (scale == 1.0 && dpi == m_madeDpi && m_font == nullptr)
        return;
    Apply(FontAt(dpi, scale), info.rcWork, frameTopLeft, frame);
}

void DialogFit::Apply(HFONT font, const RECT& workArea, POINT frameTopLeft, SIZE frame)
{
    const SIZE units = BaseUnits(font);
    for (HWND child = GetWindow(m_dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const DialogItemTemplate* item = TemplateItemOf(child);
        if (item == nullptr)
            continue;
        const RECT place = Mapped(item->x, item->y, item->cx, item->cy, units);
        SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (item->id == IDC_FILE_LIST)
            SetFileListItemHeight(child);
    }
    if (m_font != nullptr)
        DeleteObject(m_font);
    m_font = font;

    const SIZE client = ClientSize(units);
    const screen_fit::Size size{client.cx + frame.cx, client.cy + frame.cy};
    const screen_fit::Point at = screen_fit::FrameInside(
        {frameTopLeft.x, frameTopLeft.y, frameTopLeft.x + size.width, frameTopLeft.y + size.height},
        {workArea.left, workArea.top, workArea.right, workArea.bottom});
    SetWindowPos(m_dialog, nullptr, at.x, at.y, size.width, size.height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_dialog, nullptr, TRUE);
}
