#pragma once

#include <string>

// True when `zone` (an IANA name such as "Asia/Tokyo", optionally after a
// ':' as glibc's TZ allows) names a compiled zone file under $TZDIR, or under
// /usr/share/zoneinfo when TZDIR is unset or empty. Names that are absolute or
// contain a ".." component are refused: a zone, not a path.
bool IsKnownTimeZone(const std::string& zone);

// Makes the conversions compute local time in `zone`, which must be known.
void UseTimeZone(const std::string& zone);
