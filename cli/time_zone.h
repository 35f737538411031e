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

// Without --tz, the conversions use the TZ environment variable. When the
// system would silently read it as another zone (a name it cannot load, a zone
// that counts leap seconds, a form the runtime misreads), this settles on a
// zone that can be trusted and returns a warning naming the zone used; empty
// when there is nothing to say.
std::string EnvironmentZoneWarning();

// Makes the conversions compute local time in `zone`, which must be known.
void UseTimeZone(const std::string& zone);

// Why a known `zone` must not be used, "" when it may: a zone that counts leap
// seconds (the "right/" zones) would put every time stamp off by them, since
// pcap time stamps, like the system's clock, leave them out.
std::string RefusedTimeZoneText(const std::string& zone);
