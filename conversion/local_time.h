#pragma once

// The local-time-to-UTC step of the entry times, one implementation per
// edition: the programs use the C runtime's mktime in the converting machine's
// zone (local_time_native.cpp); the web page supplies its zone's offset.

#include <cstdint>

// A wall-clock time as the capture gives it. Fields may lie outside their
// ranges (75 seconds, month 13, day 0) and are normalised as mktime does.
struct LocalTime {
    int year = 1970;  // full year, e.g. 2010
    int month = 1;    // 1-12
    int day = 1;      // 1-31
    int hour = 0;
    int minute = 0;
    std::int64_t second = 0;
};

// Reads the zone in force now (TZ or the system's), so that each conversion
// uses the zone of the moment it starts.
void RefreshTimeZone();

// UTC seconds of `local` with daylight saving treated as off. False when the
// zone cannot give it (mktime's -1).
bool LocalTimeToUtc(const LocalTime& local, std::int64_t& utc);
