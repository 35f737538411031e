#include "runtime_zone.h"

#include <cctype>
#include <cstdlib>
#include <ctime>

namespace runtime_zone {

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

std::string TwoDigits(long value)
{
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

} // namespace

bool IsStatedZone(const std::string& zone)
{
    if (zone == "UTC" || zone == "GMT")
        return true;
    if (!IsLetters(zone, 0, 3))
        return false;
    std::size_t at = 3;
    if (at < zone.size() && (zone[at] == '+' || zone[at] == '-'))
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

std::string UtcOffsetText(long secondsWest)
{
    if (secondsWest == 0)
        return "UTC";
    const long east = -secondsWest;
    const long magnitude = east < 0 ? -east : east;
    std::string text = std::string("UTC") + (east < 0 ? '-' : '+') + TwoDigits(magnitude / 3600) + ":" +
                       TwoDigits(magnitude / 60 % 60);
    if (magnitude % 60 != 0)
        text += ":" + TwoDigits(magnitude % 60);
    return text;
}

std::string EnvironmentZoneWarning()
{
    const char* value = std::getenv("TZ");
    if (value == nullptr || *value == '\0' || IsStatedZone(value))
        return std::string();
    // What the runtime makes of it, as the conversion will see it.
    _tzset();
    const long secondsWest = _timezone;
    return std::string("TZ is '") + value +
           "', which is not a zone in the C runtime's form (such as JST-9 or EST5EDT); time stamps are computed in " +
           UtcOffsetText(secondsWest);
}

} // namespace runtime_zone
