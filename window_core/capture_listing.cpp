#include "capture_listing.h"

#include "capture_name_order.h"

bool MatchesCapturePattern(const std::string& name)
{
    const std::size_t n = name.size();
    return n >= 3 && name[n - 3] == '.' && UpperAscii(name[n - 2]) == 'D' && UpperAscii(name[n - 1]) == 'T';
}

