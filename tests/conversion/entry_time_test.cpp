// Record time stamps: start date and time plus counter ticks, through local
// time with daylight saving forced off.

#include "conversion_fixture.h"
#include "entry_time.h"

namespace {

constexpr std::uint32_t kInvalid = 0xFFFFFFFF;
using Time = std::pair<std::uint32_t, std::uint32_t>;

Time Compute(const StartWords& start, std::uint8_t code, std::uint64_t counter)
{
    std::uint32_t seconds = 1, micros = 1;
    ComputeEntryTime(start.TimeWord().data(), start.DateWord().data(), code, counter, seconds, micros);
    return {seconds, micros};
}

std::uint32_t Utc(int year, int month, int day, int hour, int minute, int second)
{
    return static_cast<std::uint32_t>(UtcSeconds(year, month, day, hour, minute, second));
}

struct TimeCase {
    const char* name;
    StartWords start;  // hundredths, second, minute, hour, day, month, year
    std::uint8_t code;
    std::uint64_t counter;
    Time expected;
};
std::ostream& operator<<(std::ostream& out, const TimeCase& c) { return out << c.name; }

const TimeCase kUtcCases[] = {
    {"Milliseconds", {25, 9, 8, 7, 6, 5, 2010}, 1, 1500, {Utc(2010, 5, 6, 7, 8, 10), 750000}},
    {"HundredMicroseconds", {0, 9, 8, 7, 6, 5, 2010}, 2, 1234567, {Utc(2010, 5, 6, 7, 8, 9 + 123), 456700}},
    {"TenMicroseconds", {0, 9, 8, 7, 6, 5, 2010}, 3, 1234567, {Utc(2010, 5, 6, 7, 8, 9 + 12), 345670}},
    {"Code0IsMicroseconds", {0, 9, 8, 7, 6, 5, 2010}, 0, 1234567, {Utc(2010, 5, 6, 7, 8, 10), 234567}},
    {"Code4IsMicroseconds", {0, 9, 8, 7, 6, 5, 2010}, 4, 1234567, {Utc(2010, 5, 6, 7, 8, 10), 234567}},
    {"Code255IsMicroseconds", {0, 9, 8, 7, 6, 5, 2010}, 255, 1234567, {Utc(2010, 5, 6, 7, 8, 10), 234567}},
    {"CounterZeroIsTheStart", {99, 9, 8, 7, 6, 5, 2010}, 1, 0, {Utc(2010, 5, 6, 7, 8, 9), 990000}},
    {"LargestCounterInMilliseconds", {50, 0, 0, 0, 1, 1, 2010}, 1, 0xFFFFFFFF, {Utc(2010, 1, 1, 0, 0, 4294967), 795000}},
    {"LargestCounterInMicroseconds", {0, 0, 0, 0, 1, 1, 2010}, 0, 0xFFFFFFFF, {Utc(2010, 1, 1, 0, 0, 4294), 967295}},
    {"Midnight", {0, 30, 59, 23, 6, 5, 2010}, 1, 45000, {Utc(2010, 5, 7, 0, 0, 15), 0}},
    {"MonthEnd", {0, 59, 59, 23, 30, 4, 2010}, 1, 1000, {Utc(2010, 5, 1, 0, 0, 0), 0}},
    {"YearEnd", {99, 59, 59, 23, 31, 12, 2009}, 1, 2000, {Utc(2010, 1, 1, 0, 0, 1), 990000}},
    {"IntoLeapDay", {0, 59, 59, 23, 28, 2, 2012}, 1, 1000, {Utc(2012, 2, 29, 0, 0, 0), 0}},
    {"IntoLeapDay2000", {0, 59, 59, 23, 28, 2, 2000}, 1, 1000, {Utc(2000, 2, 29, 0, 0, 0), 0}},
    {"NoLeapDay2011", {0, 59, 59, 23, 28, 2, 2011}, 1, 1000, {Utc(2011, 3, 1, 0, 0, 0), 0}},
    {"OnLeapDay", {0, 0, 0, 12, 29, 2, 2012}, 1, 0, {Utc(2012, 2, 29, 12, 0, 0), 0}},
    // Bytes of 128 and more are negative; the offset is floored to whole seconds.
    {"NegativeHundredths", {0xFF, 9, 8, 7, 6, 5, 2010}, 1, 0, {Utc(2010, 5, 6, 7, 8, 8), 990000}},
    {"MinusOneSecondOfHundredths", {0x9C, 9, 8, 7, 6, 5, 2010}, 1, 0, {Utc(2010, 5, 6, 7, 8, 8), 0}},
    {"MostNegativeHundredths", {0x80, 9, 8, 7, 6, 5, 2010}, 1, 0, {Utc(2010, 5, 6, 7, 8, 7), 720000}},
    {"NegativeHundredthsMadeUp", {0xFF, 9, 8, 7, 6, 5, 2010}, 1, 10, {Utc(2010, 5, 6, 7, 8, 9), 0}},
    {"NegativeSecond", {0, 0xC4, 8, 7, 6, 5, 2010}, 1, 0, {Utc(2010, 5, 6, 7, 7, 0), 0}},
    {"NegativeMinute", {0, 9, 0xFF, 7, 6, 5, 2010}, 1, 0, {Utc(2010, 5, 6, 6, 59, 9), 0}},
    {"NegativeHour", {0, 9, 8, 0xFF, 6, 5, 2010}, 1, 0, {Utc(2010, 5, 5, 23, 8, 9), 0}},
    {"DayZero", {0, 9, 8, 7, 0, 5, 2010}, 1, 0, {Utc(2010, 4, 30, 7, 8, 9), 0}},
    {"NegativeDay", {0, 9, 8, 7, 0xFF, 5, 2010}, 1, 0, {Utc(2010, 4, 29, 7, 8, 9), 0}},
    {"MonthZero", {0, 9, 8, 7, 6, 0, 2010}, 1, 0, {Utc(2009, 12, 6, 7, 8, 9), 0}},
    {"NegativeMonth", {0, 9, 8, 7, 6, 0xFF, 2010}, 1, 0, {Utc(2009, 11, 6, 7, 8, 9), 0}},
    {"Month13", {0, 9, 8, 7, 6, 13, 2010}, 1, 0, {Utc(2011, 1, 6, 7, 8, 9), 0}},
    // The range of the format's 32-bit time: 0 .. 2^31 - 1.
    {"Epoch", {0, 0, 0, 0, 1, 1, 1970}, 1, 0, {0, 0}},
    {"BeforeEpoch", {50, 59, 59, 23, 31, 12, 1969}, 1, 0, {kInvalid, 500000}},
    {"BeforeEpochCountedIntoIt", {0, 59, 59, 23, 31, 12, 1969}, 1, 1000, {0, 0}},
    {"Last32BitSecond", {0, 7, 14, 3, 19, 1, 2038}, 1, 999, {0x7FFFFFFF, 999000}},
    {"Past32BitSeconds", {0, 7, 14, 3, 19, 1, 2038}, 1, 1000, {kInvalid, 0}},
    {"Year2100", {0, 0, 0, 0, 1, 1, 2100}, 3, 7, {kInvalid, 70}},
    {"Year1900", {0, 0, 0, 0, 1, 1, 1900}, 1, 0, {kInvalid, 0}},
    {"YearMinusOne", {0, 0, 0, 0, 1, 1, 0xFFFF}, 1, 0, {kInvalid, 0}},
    {"LowestYear", {0, 0, 0, 0, 1, 1, 0x8000}, 1, 0, {kInvalid, 0}},
    {"HighestYear", {0, 0, 0, 0, 1, 1, 0x7FFF}, 1, 0, {kInvalid, 0}},
};

class EntryTimeInUtc : public ::testing::TestWithParam<TimeCase> {
protected:
    ScopedTimeZone utc{"UTC"};
};

TEST_P(EntryTimeInUtc, Computes)
{
    const TimeCase& c = GetParam();
    if (RunningUnderWine() && std::string(c.name) == "BeforeEpochCountedIntoIt")
        GTEST_SKIP() << "wine's mktime refuses a year-1969 time that normalises into 1970; Windows' takes it";
    EXPECT_EQ(Compute(c.start, c.code, c.counter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, EntryTimeInUtc, ::testing::ValuesIn(kUtcCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Local time with daylight saving off: the zone's standard offset all year round.
struct ZoneCase {
    const char* name;
    const char* zone;
    StartWords start;
    std::uint64_t counter;  // milliseconds
    std::uint32_t expectedSeconds;
};
std::ostream& operator<<(std::ostream& out, const ZoneCase& c) { return out << c.name; }

const ZoneCase kZoneCases[] = {
    {"TokyoSummer", "Asia/Tokyo", {0, 0, 0, 12, 15, 7, 2010}, 0, Utc(2010, 7, 15, 3, 0, 0)},
    {"TokyoBeforeEpoch", "Asia/Tokyo", {0, 59, 59, 8, 1, 1, 1970}, 0, kInvalid},
    {"TokyoEpoch", "Asia/Tokyo", {0, 59, 59, 8, 1, 1, 1970}, 1000, 0},
    {"NewYorkWinter", "America/New_York", {0, 0, 0, 12, 15, 1, 2010}, 0, Utc(2010, 1, 15, 17, 0, 0)},
    {"NewYorkSummer", "America/New_York", {0, 0, 0, 12, 15, 7, 2010}, 0, Utc(2010, 7, 15, 17, 0, 0)},
    {"NewYorkIntoSummer", "America/New_York", {0, 0, 0, 12, 1, 3, 2010}, 30u * 86400 * 1000, Utc(2010, 3, 31, 17, 0, 0)},
    {"NewYorkAcrossTheSwitch", "America/New_York", {0, 59, 59, 1, 14, 3, 2010}, 2000, Utc(2010, 3, 14, 7, 0, 1)},
    {"NewYorkEpoch", "America/New_York", {0, 0, 0, 0, 1, 1, 1970}, 0, 5 * 3600},
    {"LondonWinter", "Europe/London", {0, 0, 0, 12, 15, 1, 2010}, 0, Utc(2010, 1, 15, 12, 0, 0)},
    {"LondonSummer", "Europe/London", {0, 0, 0, 12, 15, 7, 2010}, 0, Utc(2010, 7, 15, 12, 0, 0)},
    {"LondonYearEnd", "Europe/London", {99, 59, 59, 23, 31, 12, 2009}, 2000, Utc(2010, 1, 1, 0, 0, 1)},
};

class EntryTimeInZone : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(EntryTimeInZone, UsesStandardTime)
{
    const ZoneCase& c = GetParam();
    ScopedTimeZone zone(c.zone);
    EXPECT_EQ(Compute(c.start, 1, c.counter).first, c.expectedSeconds);
}

INSTANTIATE_TEST_SUITE_P(Zones, EntryTimeInZone, ::testing::ValuesIn(kZoneCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ConversionTimeZoneTest : public ConversionTest {};

TEST_F(ConversionTimeZoneTest, EachConversionTakesTheZoneInForceWhenItStarts)
{
    DinfBody dinf;
    dinf.start = {0, 0, 0, 12, 15, 7, 2010};
    CaptureWith(EntryLog().Frame({{1}, 0}), dinf).WriteTo(input);
    ExpectSuccess();
    EXPECT_EQ(RecordTimes(output), (std::vector<Time>{{Utc(2010, 7, 15, 12, 0, 0), 0}}));

    ScopedTimeZone tokyo("Asia/Tokyo", false);  // set, but left to the conversion to apply
    ExpectSuccess();
    EXPECT_EQ(RecordTimes(output), (std::vector<Time>{{Utc(2010, 7, 15, 3, 0, 0), 0}}));
}

} // namespace
