#include <gtest/gtest.h>

#include "platform/Date.h"

using namespace mirolanda::platform;

TEST(Date, WeekdaysAndDayArithmeticAcrossMonthsYearsAndLeapDays) {
    EXPECT_EQ(Weekday({2001, 5, 17}), 4);  // Thursday
    EXPECT_EQ(Weekday({1970, 1, 1}), 4);
    EXPECT_EQ(Weekday({1969, 12, 28}), 0);  // Sunday, before the epoch
    EXPECT_EQ(Weekday({2026, 12, 7}), 1);   // Monday
    EXPECT_EQ(AddDays({2001, 3, 1}, -1), (Date{2001, 2, 28}));
    EXPECT_EQ(AddDays({2000, 3, 1}, -1), (Date{2000, 2, 29}));
    EXPECT_EQ(AddDays({2000, 12, 31}, 1), (Date{2001, 1, 1}));
    EXPECT_EQ(CivilFromDays(DaysFromCivil({9999, 12, 31})), (Date{9999, 12, 31}));
}

TEST(Date, FormatsAndParses) {
    EXPECT_EQ(FormatYmd({2001, 5, 7}), "20010507");
    EXPECT_EQ(FormatSlashed({2001, 5, 7}), "2001/05/07");
    EXPECT_EQ(ParseYmd("20010229"), std::nullopt);
    EXPECT_EQ(ParseYmd("20000229"), (Date{2000, 2, 29}));
    EXPECT_EQ(ParseYmd("2000022"), std::nullopt);
    EXPECT_EQ(ParseSlashed("2001/05/17"), (Date{2001, 5, 17}));
    EXPECT_EQ(ParseSlashed("2001-05-17"), std::nullopt);
    EXPECT_EQ(FormatDashed({2026, 1, 9}), "2026-01-09");
    EXPECT_EQ(ParseDashed("2026-01-09"), (Date{2026, 1, 9}));
    for (const char* refused : {"2026/01/09", "2026-02-30", "2026-1-09", "20260109", "2026-01-0x"})
        EXPECT_EQ(ParseDashed(refused), std::nullopt) << refused;
    auto t = ParseDateTime("2026-12-07 08:59");
    ASSERT_TRUE(t);
    EXPECT_EQ(FormatHhMm(*t), "08:59");
    EXPECT_FALSE(ParseDateTime("2026-12-07 24:00"));
}

// The real clock's conversion: Tokyo is UTC+9 all year, whatever the machine's zone says.
TEST(Date, TokyoTimeOfAMomentInUtc) {
    struct Case {
        long long utc;
        DateTime tokyo;
    } cases[] = {
        {0, {{1970, 1, 1}, 9, 0, 0}},
        {-1, {{1970, 1, 1}, 8, 59, 59}},
        {1796647380, {{2026, 12, 7}, 21, 43, 0}},   // 07:43 in New York, a day behind the data date
        {1796655599, {{2026, 12, 7}, 23, 59, 59}},
        {1796655600, {{2026, 12, 8}, 0, 0, 0}},
        {1798729200, {{2027, 1, 1}, 0, 0, 0}},
        {1709132400, {{2024, 2, 29}, 0, 0, 0}},
        {1772953200, {{2026, 3, 8}, 16, 0, 0}},      // the hour daylight saving starts in New York
    };
    for (const auto& c : cases) {
        const DateTime t = TokyoDateTime(static_cast<std::time_t>(c.utc));
        EXPECT_EQ(t.Day, c.tokyo.Day) << c.utc;
        EXPECT_EQ(t.Hour * 3600 + t.Minute * 60 + t.Second, c.tokyo.Hour * 3600 + c.tokyo.Minute * 60 + c.tokyo.Second)
            << c.utc;
    }
    auto at = ParseDateTime("@1799020740");
    ASSERT_TRUE(at);
    EXPECT_EQ(at->Day, (Date{2027, 1, 4}));
    EXPECT_EQ(FormatHhMm(*at), "08:59");
    for (const char* refused : {"@", "@-5", "@12a", "@+5", "@999999999999"}) EXPECT_FALSE(ParseDateTime(refused)) << refused;
}

TEST(Date, FixedClockAdvancesOverMidnight) {
    FixedClock clock(DateTime{{2001, 12, 31}, 23, 59, 55});
    clock.AdvanceSeconds(10);
    EXPECT_EQ(clock.Now().Day, (Date{2002, 1, 1}));
    EXPECT_EQ(clock.Now().Second, 5);
}
