#include "elided_text_windows.h"

#include "middle_elision.h"

namespace {

constexpr wchar_t kEllipsis[] = L"\u2026";
constexpr wchar_t kZeroWidthJoiner = L'\u200D';

std::wstring Joined(const std::wstring& text, ElidedSpan span)
{
    return text.substr(0, span.headEnd) + kEllipsis + text.substr(span.tailStart);
}

} // namespace

std::vector<std::size_t> CharacterCuts(const std::wstring& text)
{
    std::vector<WORD> types(text.size());
    if (!text.empty() &&
        !GetStringTypeW(CT_CTYPE3, text.data(), static_cast<int>(text.size()), types.data()))
        types.assign(text.size(), 0);
    std::vector<std::size_t> cuts{0};
    for (std::size_t i = 1; i < text.size(); ++i) {
        const bool pair = IS_LOW_SURROGATE(text[i]) && IS_HIGH_SURROGATE(text[i - 1]);
        const bool mark = (types[i] & C3_NONSPACING) != 0;
        const bool joined = text[i] == kZeroWidthJoiner || text[i - 1] == kZeroWidthJoiner;
        if (!pair && !mark && !joined)
            cuts.push_back(i);
    }
    if (!text.empty())
        cuts.push_back(text.size());
    return cuts;
}

int TextWidth(HDC dc, const std::wstring& text)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

WindowFontSelected::WindowFontSelected(HDC dc, HWND window) : m_dc(dc)
{
    if (const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)))
        m_previous = SelectObject(dc, font);
}

WindowFontSelected::~WindowFontSelected()
{
    if (m_previous != nullptr)
        SelectObject(m_dc, m_previous);
}

std::wstring ElidedInMiddle(HDC dc, const std::wstring& text, int width)
{
    if (TextWidth(dc, text) <= width)
        return text;
    const ElidedSpan span =
        ElideMiddle(CharacterCuts(text), [&](ElidedSpan kept) { return TextWidth(dc, Joined(text, kept)) <= width; });
    return Joined(text, span);
}
