#pragma once

// Text too wide for its place, elided in the middle by the window core's rule
// (middle_elision.h) and measured in a device context's font.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// Where `text` may be cut: 0, each character's start, its length. A surrogate
// pair, a letter and its combining marks, and characters joined by a zero
// width joiner stay together.
std::vector<std::size_t> CharacterCuts(const std::wstring& text);

// The width of `text` in `dc`'s font, in pixels.
int TextWidth(HDC dc, const std::wstring& text);

// The font `window` draws with, selected into `dc` while this lives; with
// none set, `dc` keeps its own (the system font a window starts with).
class WindowFontSelected {
public:
    WindowFontSelected(HDC dc, HWND window);
    ~WindowFontSelected();
    WindowFontSelected(const WindowFontSelected&) = delete;
    WindowFontSelected& operator=(const WindowFontSelected&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous = nullptr;
};

// `text` as it fits in `width` pixels in `dc`'s font: whole when it fits.
std::wstring ElidedInMiddle(HDC dc, const std::wstring& text, int width);
