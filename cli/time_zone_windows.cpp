// Zones on Windows: the C runtime knows no IANA names, only TZ in its own
// form -- three letters, the hours west of UTC, an optional daylight name --
// such as "JST-9", "EST5EDT" or "UTC0". Without TZ it uses the Windows zone.

#include "time_zone.h"

#include "safe_name.h"

#include <cctype>
#include <cstdlib>

namespace {

bool IsLetters(const std::string& text, std::size_t from, std::size_t count)
{
    if (text.size() < from + count)
        return false;
    for (std::size_t i = from; i < from + count; ++i) {
        if (!std::isalpha(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

// `fewest` to two digits at `at`, no more than `limit`; moves `at` past them.
bool TakeNumber(const std::string& text, std::size_t& at, int fewest, int limit)
{
    int value = 0, digits = 0;
    while (at < text.size() && digits < 2 && std::isdigit(static_cast<unsigned char>(text[at]))) {
        value = value * 10 + (text[at++] - '0');
        ++digits;
    }
    return digits >= fewest && value <= limit;
}

} // namespace

bool IsKnownTimeZone(const std::string& zone)
{
    // NAME[+|-]hh[:mm[:ss]][DST], the name and DST name three letters each.
    if (!IsLetters(zone, 0, 3))
        return false;
    std::size_t at = 3;
    if (at == zone.size())
        return true;  // "UTC", "GMT": no offset
    if (zone[at] == '+' || zone[at] == '-')
        ++at;
    if (!TakeNumber(zone, at, 1, 24))
        return false;
    for (int part = 0; part < 2 && at < zone.size() && zone[at] == ':'; ++part) {
        ++at;
        if (!TakeNumber(zone, at, 2, 59))
            return false;
    }
    return at == zone.size() || (at + 3 == zone.size() && IsLetters(zone, at, 3));
}

std::string UnknownTimeZoneText(const std::string& zone)
{
    if (zone.find('/') != std::string::npos)
        return "time zone '" + SafeName(zone) +
               "' is an IANA name, which Windows' C runtime does not know; give its own form, such as JST-9";
    return "unknown time zone '" + SafeName(zone) + "'; give the C runtime's form, such as JST-9";
}

void UseTimeZone(const std::string& zone)
{
    // The conversion calls tzset() itself at its start.
    _putenv_s("TZ", zone.c_str());
}

std::string RefusedTimeZoneText(const std::string&) { return ""; }

std::string CheckEnvironmentTimeZone() { return ""; }
