#include "civil_time.h"

namespace {

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor)
{
    std::int64_t quotient = value / divisor;
    if (value % divisor < 0)
        --quotient;
    return quotient;
}

// Days from 1970-01-01 to the first of `month` (1-12) in `year`, proleptic
// Gregorian calendar, counting years from March so that leap days come last.
std::int64_t DaysToMonthStart(std::int64_t year, int month)
{
    if (month <= 2)
        --year;
    const std::int64_t era = FloorDivide(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

std::int64_t CivilSeconds(const LocalTime& local)
{
    const std::int64_t monthIndex = static_cast<std::int64_t>(local.month) - 1;
    const std::int64_t year = local.year + FloorDivide(monthIndex, 12);
    const int month = static_cast<int>(monthIndex - FloorDivide(monthIndex, 12) * 12) + 1;
    const std::int64_t days = DaysToMonthStart(year, month) + local.day - 1;
    return days * 86400 + static_cast<std::int64_t>(local.hour) * 3600 + static_cast<std::int64_t>(local.minute) * 60 +
           local.second;
}

CivilDate CivilDateOfDay(std::int64_t days)
{
    // The same calendar as DaysToMonthStart: eras of 400 years from
    // 0000-03-01, years from March.
    const std::int64_t z = days + 719468;
    const std::int64_t era = FloorDivide(z, 146097);
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    date.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    date.year = yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0);
    return date;
}
