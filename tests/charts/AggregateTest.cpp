// Weekly and monthly bars and the moving averages against tables computed by hand.
#include <gtest/gtest.h>

#include "ChartFixtures.h"
#include "charts/Period.h"
#include "charts/Indicators.h"

namespace mirolanda::charts {
namespace {

using test::Day;
using test::NoTrade;

// 2024-04-25 Thu … 2024-05-08 Wed, with a day without trade and the Golden Week holidays
// (05-03 Fri to 05-06 Mon) not stored.
const std::vector<market::Bar> kDays = {
    Day(2024, 4, 25, 100, 110, 95, 105, 1000),  // Thu  week A, April
    Day(2024, 4, 26, 106, 120, 104, 118, 2000),  // Fri  week A, April
    Day(2024, 4, 30, 117, 119, 90, 92, 3000),    // Tue  week B, April
    NoTrade(2024, 5, 1),                         // Wed  week B, May: no trade
    Day(2024, 5, 2, 93, 99, 91, 97, 500),        // Thu  week B, May
    Day(2024, 5, 7, 98, 130, 97, 125, 4000),     // Tue  week C, May
    Day(2024, 5, 8, 124, 126, 101, 102, 1500),   // Wed  week C, May
};

TEST(Aggregate, WeeksRunMondayToFridayAndMonthsByTheCalendarDatedByTheirLastTradedDay) {
    struct Case {
        Period period;
        std::vector<market::Bar> expected;
    } cases[] = {
        {Period::Week,
         {Day(2024, 4, 26, 100, 120, 95, 118, 3000), Day(2024, 5, 2, 117, 119, 90, 97, 3500),
          Day(2024, 5, 8, 98, 130, 97, 102, 5500)}},
        {Period::Month, {Day(2024, 4, 30, 100, 120, 90, 92, 6000), Day(2024, 5, 8, 93, 130, 91, 102, 6000)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Aggregate(kDays, c.period), c.expected) << PeriodCaption(c.period);
    }
    EXPECT_EQ(Aggregate(kDays, Period::Day), kDays) << "days stay as they are, the day without trade a gap";
}

TEST(Aggregate, AWeekOrMonthWithoutAnyTradeGivesNoBarAndTurnoverIsSummedOnlyWhenEveryDayHasIt) {
    auto withTurnover = [](market::Bar bar, int64_t turnover) {
        bar.Turnover = turnover;
        return bar;
    };
    const std::vector<market::Bar> days = {
        withTurnover(Day(2024, 1, 8, 10, 10, 10, 10, 1), 100), withTurnover(Day(2024, 1, 9, 10, 10, 10, 10, 1), 200),
        NoTrade(2024, 1, 15), NoTrade(2024, 1, 16),  // a week without trade
        withTurnover(Day(2024, 1, 22, 10, 10, 10, 10, 1), 50), Day(2024, 1, 23, 10, 10, 10, 10, 1)};
    const auto weeks = Aggregate(days, Period::Week);
    ASSERT_EQ(weeks.size(), 2u);
    EXPECT_EQ(weeks[0].Turnover, 300);
    EXPECT_EQ(weeks[1].Turnover, std::nullopt) << "one day of the week gave none";
    EXPECT_TRUE(Aggregate({NoTrade(2024, 2, 1)}, Period::Month).empty());
}

TEST(Aggregate, WeeksAcrossTheTurnOfTheYearAndBeforeNineteenSeventy) {
    // 2024-12-30 Mon and 2025-01-03 Fri are one week; 1969-12-29 Mon to 1970-01-02 Fri too.
    EXPECT_EQ(PeriodKey({2024, 12, 30}, Period::Week), PeriodKey({2025, 1, 3}, Period::Week));
    EXPECT_NE(PeriodKey({2025, 1, 3}, Period::Week), PeriodKey({2025, 1, 6}, Period::Week));
    EXPECT_EQ(PeriodKey({1969, 12, 29}, Period::Week), PeriodKey({1970, 1, 2}, Period::Week));
    EXPECT_NE(PeriodKey({1969, 12, 28}, Period::Week), PeriodKey({1969, 12, 29}, Period::Week));
}

TEST(MovingAverage, MeansOfTheLastTradedClosesWithNothingBeforeEnoughAndNothingOnADayWithoutTrade) {
    // Closes 105 118 92 – 97 125 102 (yen); three-bar means in tenths.
    const auto averages = MovingAverage(kDays, 3);
    const std::vector<std::optional<double>> expected = {
        std::nullopt, std::nullopt, 3150.0 / 3, std::nullopt, 3070.0 / 3, 3140.0 / 3, 3240.0 / 3};
    ASSERT_EQ(averages.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(averages[i].has_value(), expected[i].has_value()) << i;
        if (averages[i] && expected[i]) {
            EXPECT_DOUBLE_EQ(*averages[i], *expected[i]) << i;
        }
    }
    EXPECT_EQ(MovingAverage(kDays, 1)[6], 1020.0);
    EXPECT_FALSE(MovingAverage(kDays, 7)[6].has_value()) << "only six days traded";
}

TEST(FiftyTwoWeekRange, CoversTheYearEndingOnTheLastBarAndIgnoresDaysWithoutTrade) {
    std::vector<market::Bar> bars = {
        Day(2023, 5, 8, 500, 900, 10, 500, 1),  // exactly 364 days before the last: outside
        Day(2023, 5, 9, 200, 210, 150, 200, 1),
        NoTrade(2023, 6, 1),
        Day(2024, 1, 4, 300, 400, 190, 390, 1),
        Day(2024, 5, 6, 300, 400, 160, 300, 1),
    };
    const auto range = FiftyTwoWeekRange(bars);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->High, 4000);
    EXPECT_EQ(range->HighIndex, 4u) << "the latest of equal highs";
    EXPECT_EQ(range->Low, 1500);
    EXPECT_EQ(range->LowIndex, 1u);
    EXPECT_FALSE(FiftyTwoWeekRange({NoTrade(2024, 1, 4)}));
}

}  // namespace
}  // namespace mirolanda::charts
