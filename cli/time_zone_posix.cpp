#include "time_zone.h"

#include "safe_name.h"

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

// Non-blocking: a FIFO planted under TZDIR must not hang us.
bool IsZoneFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info;
    char magic[4];
    const bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::read(fd, magic, 4) == 4 &&
                    std::memcmp(magic, "TZif", 4) == 0;
    ::close(fd);
    return ok;
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

// glibc reads every IANA name and POSIX TZ string of its own; nothing to add.
std::string EnvironmentZoneWarning() { return std::string(); }
