#pragma once

#include "local_time.h"

#include <cstdint>

// Seconds since 1970-01-01 00:00 of `local` read as if it were UTC, its
// fields normalised as mktime does (month 13 is January of the next year,
// day 0 the last day of the month before). 64-bit throughout: any year works.
std::int64_t CivilSeconds(const LocalTime& local);

// A date of the proleptic Gregorian calendar.
struct CivilDate {
    std::int64_t year = 1970;
    int month = 1;  // 1-12
    int day = 1;    // 1-31
};

// The date of day number `days` (days since 1970-01-01, negative before it):
// the inverse of CivilSeconds' day count. Any year.
CivilDate CivilDateOfDay(std::int64_t days);
