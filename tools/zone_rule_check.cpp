// tpc-zone-rule-check [ZONEINFO]: the web edition's standard-time rule, fed
// with the C library's own offsets, against the C library's mktime with
// daylight saving off, at every wall-clock hour from 1970 to 2037 in every
// zone of the zone data (each zone file once, whatever its names). Prints
// each stretch of hours where the two differ and a summary; exit status 1
// when any differ. A check to run by hand (a few minutes), not a test.

#include "civil_time.h"
#include "standard_time_rule.h"
#include "zone_offset_scan.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kFirstHour = 0;                        // 1970-01-01 00:00
constexpr std::int64_t kEndHour = 2145916800 / 3600;         // 2038-01-01 00:00

bool IsZoneFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    return in.read(magic, 4) && std::memcmp(magic, "TZif", 4) == 0;
}

// Zone names by file, so that a zone with several names is compared once.
std::map<std::pair<dev_t, ino_t>, std::vector<std::string>> ZoneFiles(const fs::path& root)
{
    std::map<std::pair<dev_t, ino_t>, std::vector<std::string>> zones;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string name = it->path().lexically_relative(root).string();
        if (it->is_directory() && (name == "posix" || name == "right")) {
            it.disable_recursion_pending();
            continue;
        }
        struct stat info;
        if (name == "posixrules" || name == "localtime" || ::stat(it->path().c_str(), &info) != 0 ||
            !S_ISREG(info.st_mode) || !IsZoneFile(it->path()))
            continue;
        zones[{info.st_dev, info.st_ino}].push_back(name);
    }
    for (auto& entry : zones)
        std::sort(entry.second.begin(), entry.second.end());
    return zones;
}

std::string Date(std::int64_t wall)
{
    const time_t when = static_cast<time_t>(wall);
    struct tm fields {};
    gmtime_r(&when, &fields);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &fields);
    return text;
}

struct Stretch {
    std::int64_t firstWall = 0, lastWall = 0, hours = 0;
    std::int64_t mktimeOffset = 0, ruleOffset = 0;  // wall minus UTC; INT64_MIN: refused
};

void PrintStretch(const std::string& zone, const Stretch& stretch)
{
    const auto offset = [](std::int64_t value) {
        if (value == INT64_MIN)
            return std::string("refused");
        char text[16];
        std::snprintf(text, sizeof text, "%+.2f h", static_cast<double>(value) / 3600);
        return std::string(text);
    };
    std::printf("%s  %s .. %s  %lld h: mktime %s, rule %s\n", zone.c_str(), Date(stretch.firstWall).c_str(),
                Date(stretch.lastWall).c_str(), static_cast<long long>(stretch.hours),
                offset(stretch.mktimeOffset).c_str(), offset(stretch.ruleOffset).c_str());
}

} // namespace

int main(int argc, char** argv)
{
    const fs::path root = argc > 1 ? argv[1] : "/usr/share/zoneinfo";
    const auto zones = ZoneFiles(root);
    std::size_t names = 0;
    std::int64_t compared = 0, differing = 0;
    std::size_t zonesDiffering = 0;
    for (const auto& entry : zones) {
        const std::vector<std::string>& zoneNames = entry.second;
        names += zoneNames.size();
        const std::string zone = zoneNames.front();
        ::setenv("TZ", (root / zone).c_str(), 1);
        ::tzset();
        const StandardTimeRule rule(ScanZoneOffsets().changes);
        const bool negative = HasNegativeDaylightSaving();
        std::int64_t zoneDiffering = 0;
        Stretch stretch;
        bool open = false;
        for (std::int64_t hour = kFirstHour; hour < kEndHour; ++hour) {
            const std::int64_t wall = hour * 3600;
            LocalTime local;
            const time_t asUtc = static_cast<time_t>(wall);
            struct tm fields {};
            gmtime_r(&asUtc, &fields);
            local.year = fields.tm_year + 1900;
            local.month = fields.tm_mon + 1;
            local.day = fields.tm_mday;
            local.hour = fields.tm_hour;
            fields.tm_isdst = 0;
            const time_t made = std::mktime(&fields);
            const std::int64_t mktimeOffset = made == static_cast<time_t>(-1) ? INT64_MIN : wall - made;
            std::int64_t utc = 0;
            const std::int64_t ruleOffset = rule.LocalToUtc(local, utc) ? wall - utc : INT64_MIN;
            ++compared;
            if (mktimeOffset == ruleOffset) {
                if (open)
                    PrintStretch(zone, stretch);
                open = false;
                continue;
            }
            ++zoneDiffering;
            if (open && stretch.mktimeOffset == mktimeOffset && stretch.ruleOffset == ruleOffset &&
                stretch.lastWall == wall - 3600) {
                stretch.lastWall = wall;
                ++stretch.hours;
                continue;
            }
            if (open)
                PrintStretch(zone, stretch);
            stretch = {wall, wall, 1, mktimeOffset, ruleOffset};
            open = true;
        }
        if (open)
            PrintStretch(zone, stretch);
        if (zoneDiffering > 0) {
            ++zonesDiffering;
            differing += zoneDiffering;
            std::string aliases;
            for (std::size_t i = 1; i < zoneNames.size(); ++i)
                aliases += (i == 1 ? " (also " : ", ") + zoneNames[i] + (i + 1 == zoneNames.size() ? ")" : "");
            std::printf("%s%s: %lld hours differ%s\n", zone.c_str(), aliases.c_str(),
                        static_cast<long long>(zoneDiffering),
                        negative ? "; negative daylight saving, so the programs use the rule here too" : "");
        }
        std::fflush(stdout);
    }
    std::printf("%zu zones (%zu names) x %lld hours = %lld compared; %lld differ, in %zu zones\n", zones.size(), names,
                static_cast<long long>(kEndHour - kFirstHour), static_cast<long long>(compared),
                static_cast<long long>(differing), zonesDiffering);
    return differing == 0 ? 0 : 1;
}
