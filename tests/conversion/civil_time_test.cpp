// The calendar both ways: day numbers to dates and back, across 400-year
// eras on both sides of 1970.

#include "civil_time.h"

#include <gtest/gtest.h>

namespace {

LocalTime Midnight(const CivilDate& date)
{
    LocalTime local;
    local.year = static_cast<int>(date.year);
    local.month = date.month;
    local.day = date.day;
    return local;
}

int DaysInMonth(std::int64_t year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

TEST(CivilDateOfDay, KnownDays)
{
    const struct {
        std::int64_t days;
        std::int64_t year;
        int month, day;
    } cases[] = {
        {0, 1970, 1, 1},       {-1, 1969, 12, 31},   {11016, 2000, 2, 29}, {11017, 2000, 3, 1},
        {24855, 2038, 1, 19},  {-25508, 1900, 3, 1}, {-719468, 0, 3, 1},   {-719469, 0, 2, 29},
        {-719528, 0, 1, 1},    {-719529, -1, 12, 31}, {2932896, 9999, 12, 31},
    };
    for (const auto& c : cases) {
        const CivilDate date = CivilDateOfDay(c.days);
        EXPECT_EQ(date.year, c.year) << c.days;
        EXPECT_EQ(date.month, c.month) << c.days;
        EXPECT_EQ(date.day, c.day) << c.days;
    }
}

// Every day from about 2200 years before 1970 to 2200 after, and every 97th
// to year 34000 either way (past the 16-bit years a capture can give): each
// date is a real one, follows the day before it, and is the day CivilSeconds
// counts back to.
TEST(CivilDateOfDay, InverseOfCivilSeconds)
{
    const auto check = [](std::int64_t days, const CivilDate& before) {
        const CivilDate date = CivilDateOfDay(days);
        if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > DaysInMonth(date.year, date.month))
            return ::testing::AssertionFailure() << days << ": " << date.year << "-" << date.month << "-" << date.day;
        if (CivilSeconds(Midnight(date)) != days * 86400)
            return ::testing::AssertionFailure() << days << " comes back as " << CivilSeconds(Midnight(date)) / 86400;
        const bool next = (date.year == before.year && date.month == before.month && date.day == before.day + 1) ||
                          (date.day == 1 && before.day == DaysInMonth(before.year, before.month) &&
                           ((date.year == before.year && date.month == before.month + 1) ||
                            (date.year == before.year + 1 && date.month == 1 && before.month == 12)));
        if (!next)
            return ::testing::AssertionFailure() << days << " does not follow the day before it";
        return ::testing::AssertionSuccess();
    };
    for (std::int64_t days = -800000; days <= 800000; ++days)
        ASSERT_TRUE(check(days, CivilDateOfDay(days - 1)));
    for (std::int64_t days = 12'000'000; days > 800000; days -= 97) {
        ASSERT_TRUE(check(days, CivilDateOfDay(days - 1)));
        ASSERT_TRUE(check(-days, CivilDateOfDay(-days - 1)));
    }
}
