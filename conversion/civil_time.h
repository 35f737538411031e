#pragma once

#include "local_time.h"

#include <cstdint>

// Seconds since 1970-01-01 00:00 of `local` read as if it were UTC, its
// fields normalised as mktime does (month 13 is January of the next year,
// day 0 the last day of the month before). 64-bit throughout: any year works.
std::int64_t CivilSeconds(const LocalTime& local);
