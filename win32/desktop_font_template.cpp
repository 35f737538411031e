#include "desktop_font_template.h"

#include <cstring>
#include <cwchar>

namespace {

// Past a DLGTEMPLATEEX string field: empty, an ordinal (0xFFFF, value) or text.
std::size_t SkipSzOrOrdinal(const BYTE* data, std::size_t at)
{
    WORD first;
    std::memcpy(&first, data + at, 2);
    if (first == 0xFFFF)
        return at + 4;
    return at + (std::wcslen(reinterpret_cast<const wchar_t*>(data + at)) + 1) * 2;
}

void AppendWord(std::vector<BYTE>& out, WORD value)
{
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

} // namespace

std::vector<BYTE> TemplateWithDesktopFont(HMODULE module, int id)
{
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (found == nullptr)
        return {};
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const std::size_t size = SizeofResource(module, found);
    if (data == nullptr || size < 26)
        return {};
    WORD version, signature;
    std::memcpy(&version, data, 2);
    std::memcpy(&signature, data + 2, 2);
    DWORD style;
    std::memcpy(&style, data + 12, 4);
    if (version != 1 || signature != 0xFFFF || !(style & DS_SETFONT))
        return {};

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return {};
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const LOGFONTW& font = metrics.lfMessageFont;
    const int height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    const WORD points = static_cast<WORD>(height > 0 && dpi > 0 ? MulDiv(height, 72, dpi) : 9);

    // Header fields, then menu, class and caption, then the font.
    std::size_t at = 26;
    at = SkipSzOrOrdinal(data, at);
    at = SkipSzOrOrdinal(data, at);
    at = SkipSzOrOrdinal(data, at);
    std::vector<BYTE> out(data, data + at);
    AppendWord(out, points);
    AppendWord(out, static_cast<WORD>(font.lfWeight));
    out.push_back(font.lfItalic ? 1 : 0);
    out.push_back(font.lfCharSet);
    const std::size_t faceLength = std::wcslen(font.lfFaceName);
    for (std::size_t i = 0; i <= faceLength; ++i)
        AppendWord(out, static_cast<WORD>(font.lfFaceName[i]));
    // The controls, from the old template's first aligned position on.
    at += 6;
    at = SkipSzOrOrdinal(data, at);
    at = (at + 3) & ~std::size_t{3};
    while (out.size() % 4 != 0)
        out.push_back(0);
    out.insert(out.end(), data + at, data + size);
    return out;
}
