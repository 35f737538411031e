#include "capture_listing.h"

#include <algorithm>

namespace {

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool MatchesCapturePattern(const std::string& name)
{
    const std::size_t n = name.size();
    return n >= 3 && name[n - 3] == '.' && Upper(name[n - 2]) == 'D' && Upper(name[n - 1]) == 'T';
}

bool CaptureNameLess(const std::string& a, const std::string& b)
{
    const auto upperLess = [](char x, char y) {
        return static_cast<unsigned char>(Upper(x)) < static_cast<unsigned char>(Upper(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), upperLess))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), upperLess))
        return false;
    return a < b;
}
