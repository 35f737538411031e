#include "capture_listing.h"

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

