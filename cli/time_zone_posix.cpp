#include "time_zone.h"

#include "safe_name.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ZoneName(const std::string& zone)
{
    return zone.compare(0, 1, ":") == 0 ? zone.substr(1) : zone;
}

bool HasParentComponent(const std::string& name)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = name.find('/', start);
        if (name.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") == 0)
            return true;
        if (end == std::string::npos)
            return false;
        start = end + 1;
    }
}

// glibc reads zones from the same place (tzfile.c: TZDIR, else the default).
std::string ZoneDirectory()
{
    const char* dir = std::getenv("TZDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/usr/share/zoneinfo";
}

// A compiled zone file's header: "TZif", a version, 15 reserved bytes, then
// six big-endian counts, the third of which counts leap-second records.
constexpr std::size_t kZoneHeaderSize = 44;
constexpr std::size_t kLeapCountOffset = 28;

// Reads the header of the zone file at `path`; false when it is not one.
// Non-blocking: a FIFO planted under TZDIR must not hang us.
bool ReadZoneHeader(const std::string& path, unsigned char (&header)[kZoneHeaderSize])
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info;
    const bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                    ::read(fd, header, kZoneHeaderSize) == static_cast<ssize_t>(kZoneHeaderSize) &&
                    std::memcmp(header, "TZif", 4) == 0;
    ::close(fd);
    return ok;
}

bool IsZoneFile(const std::string& path)
{
    unsigned char header[kZoneHeaderSize];
    return ReadZoneHeader(path, header);
}

bool CountsLeapSeconds(const std::string& zone)
{
    unsigned char header[kZoneHeaderSize];
    if (!ReadZoneHeader(ZoneDirectory() + "/" + ZoneName(zone), header))
        return false;
    const unsigned char* count = header + kLeapCountOffset;
    return (count[0] | count[1] | count[2] | count[3]) != 0;
}

// A zone given by rule rather than by name, as POSIX describes TZ: a name of
// three or more letters (or <...>) and an offset, such as "EST5EDT" or
// "<+0530>-5:30"; what follows (the daylight-saving part) is the system's to read.
bool IsZoneRule(const std::string& zone)
{
    std::size_t at = 0;
    if (at < zone.size() && zone[at] == '<') {
        const std::size_t close = zone.find('>');
        if (close == std::string::npos || close < 4)
            return false;
        at = close + 1;
    } else {
        while (at < zone.size() && std::isalpha(static_cast<unsigned char>(zone[at])))
            ++at;
        if (at < 3)
            return false;
    }
    if (at < zone.size() && (zone[at] == '+' || zone[at] == '-'))
        ++at;
    return at < zone.size() && std::isdigit(static_cast<unsigned char>(zone[at]));
}

} // namespace

bool IsKnownTimeZone(const std::string& zone)
{
    const std::string name = ZoneName(zone);
    if (name.empty() || name[0] == '/' || HasParentComponent(name))
        return false;
    return IsZoneFile(ZoneDirectory() + "/" + name);
}

void UseTimeZone(const std::string& zone)
{
    // The conversion calls tzset() itself at its start.
    ::setenv("TZ", ZoneName(zone).c_str(), 1);
}

std::string UnknownTimeZoneText(const std::string& zone) { return "unknown time zone '" + SafeName(zone) + "'"; }

std::string RefusedTimeZoneText(const std::string& zone)
{
    if (!CountsLeapSeconds(zone))
        return "";
    const std::string name = ZoneName(zone);
    const std::string refusal = "time zone '" + SafeName(zone) + "' counts leap seconds, which pcap time stamps leave out";
    return name.compare(0, 6, "right/") == 0 ? refusal + "; use '" + SafeName(name.substr(6)) + "'" : refusal;
}

std::string EnvironmentZoneWarning()
{
    const char* value = std::getenv("TZ");
    if (value == nullptr || *value == '\0')
        return "";  // the system's own zone; an empty TZ is UTC, as documented
    const std::string zone = value;
    const std::string name = ZoneName(zone);
    if (IsKnownTimeZone(zone)) {
        if (!CountsLeapSeconds(zone))
            return "";
        // The same zone without leap seconds lies under its name less "right/".
        const std::string plain = name.compare(0, 6, "right/") == 0 ? name.substr(6) : "UTC";
        const std::string instead = IsKnownTimeZone(plain) && !CountsLeapSeconds(plain) ? plain : "UTC";
        UseTimeZone(instead);
        return "TZ '" + SafeName(zone) + "' counts leap seconds, which pcap time stamps leave out; converting in '" +
               instead + "' instead";
    }
    if (zone[0] != ':' && IsZoneRule(zone))
        return "";
    UseTimeZone("UTC");
    return "TZ '" + SafeName(zone) + "' names no time zone this system has; converting in 'UTC' instead";
}
