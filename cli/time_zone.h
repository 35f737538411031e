#pragma once

#include <string>

// One implementation per platform: time_zone_posix.cpp takes IANA names,
// time_zone_windows.cpp the C runtime's own form such as "JST-9".

// True when `zone` (on POSIX systems an IANA name such as "Asia/Tokyo", optionally after a
// ':' as glibc's TZ allows) names a compiled zone file under $TZDIR, or under
// /usr/share/zoneinfo when TZDIR is unset or empty. Names that are absolute or
// contain a ".." component are refused: a zone, not a path.
bool IsKnownTimeZone(const std::string& zone);

// The usage error for a zone that is not known, such as "unknown time zone 'X'".
std::string UnknownTimeZoneText(const std::string& zone);

// Without --tz: a warning when the zone in the environment would silently be
// read as another one, naming the zone used; empty when there is nothing to say.
std::string EnvironmentZoneWarning();

// Makes the conversions compute local time in `zone`, which must be known.
void UseTimeZone(const std::string& zone);
