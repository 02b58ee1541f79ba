// A chart read from a history in memory: split adjustment, split marks, the purchase price, the
// averages carried across the start of the range, and the crosshair's read-out.
#include <gtest/gtest.h>

#include "ChartFixtures.h"
#include "charts/ChartData.h"
#include "charts/Readout.h"
#include "market/MemoryHistory.h"

namespace mirolanda::charts {
namespace {

using test::Day;

// Ten trading days of 7203 with a 1→5 split on 2024-03-08 (Fri).
market::MemoryHistory SplitHistory() {
    market::MemoryHistory history;
    const int closes[] = {1000, 1010, 1020, 1030, 1040, 208, 210, 212, 214, 216};
    const int days[] = {1, 4, 5, 6, 7, 8, 11, 12, 13, 14};
    for (int i = 0; i < 10; ++i) {
        history.AddBar(7203, "トヨタ自動車", Day(2024, 3, days[i], closes[i], closes[i] + 5, closes[i] - 5, closes[i], 100));
    }
    history.AddSplit({7203, {2024, 3, 8}, 5.0, "user"});
    return history;
}

TEST(BuildChart, AdjustedPricesAndVolumesBeforeTheSplitAndTheSplitMarkedOnItsBar) {
    const auto history = SplitHistory();
    const auto adjusted = BuildChart(history, {7203, Period::Day, true, {}, {}, {}});
    ASSERT_EQ(adjusted.Size(), 10u);
    EXPECT_EQ(adjusted.Series.Name, "トヨタ自動車");
    EXPECT_EQ(adjusted.Series.Bars[4].Close, 2080) << "1040 yen × 0.2";
    EXPECT_EQ(adjusted.Series.Bars[4].Volume, 500);
    EXPECT_EQ(adjusted.Series.Bars[5].Close, 2080) << "the ex-date is already after the split";
    EXPECT_EQ(adjusted.SplitBars, std::vector<size_t>{5});
    const auto raw = BuildChart(history, {7203, Period::Day, false, {}, {}, {}});
    EXPECT_EQ(raw.Series.Bars[4].Close, 10400);
    const auto weekly = BuildChart(history, {7203, Period::Week, true, {}, {}, {}});
    EXPECT_EQ(weekly.SplitBars, std::vector<size_t>{1}) << "the week of 03-04 to 03-08";
}

TEST(BuildChart, APurchaseBeforeTheSplitIsDrawnAtItsAdjustedPriceAndOneAfterItAsStored) {
    const auto history = SplitHistory();
    struct Case {
        platform::Date bought;
        bool adjusted;
        market::Tenths expected;
    } cases[] = {
        {{2024, 3, 5}, true, 2003},  // 1001.5 yen × 0.2 = 200.3
        {{2024, 3, 5}, false, 10015},
        {{2024, 3, 8}, true, 10015},  // bought on the ex-date: already the new shares
    };
    for (const auto& c : cases) {
        const auto chart = BuildChart(history, {7203, Period::Day, c.adjusted, {}, {}, Purchase{c.bought, 10015}});
        ASSERT_TRUE(chart.Holding);
        EXPECT_EQ(chart.Holding->Price, c.expected) << platform::FormatSlashed(c.bought) << " " << c.adjusted;
    }
}

TEST(BuildChart, AveragesAtTheStartOfARangeCountTheDaysBeforeItAndACutWeekOpensInTheRange) {
    const auto history = SplitHistory();
    const auto whole = BuildChart(history, {7203, Period::Day, true, {}, {}, {}});
    const auto range = BuildChart(history, {7203, Period::Day, true, platform::Date{2024, 3, 11}, {}, {}});
    ASSERT_EQ(range.Size(), 4u);
    EXPECT_EQ(range.Series.Bars[0].Day, (platform::Date{2024, 3, 11}));
    EXPECT_EQ(range.Averages[0][0], whole.Averages[0][6]) << "the 5-day line on 03-11 reaches back to 03-05";
    ASSERT_TRUE(range.Averages[0][0]);
    EXPECT_DOUBLE_EQ(*range.Averages[0][0], (2040 + 2060 + 2080 + 2080 + 2100) / 5.0);

    const auto cut = BuildChart(history, {7203, Period::Week, true, platform::Date{2024, 3, 6}, {}, {}});
    ASSERT_EQ(cut.Size(), 2u);
    EXPECT_EQ(cut.Series.Bars[0].Open, 2060) << "the week opens on 03-06, the first day asked for";
    EXPECT_TRUE(BuildChart(history, {1301, Period::Day, true, {}, {}, {}}).Series.Bars.empty());
}

TEST(Readout, ChangeFromThePreviousTradedCloseInYenAndPercentWithTheAverages) {
    market::MemoryHistory history;
    history.AddBar(1301, "極洋", Day(2024, 5, 16, 2300, 2310, 2290, 2300, 1000));
    history.AddBar(1301, "極洋", test::NoTrade(2024, 5, 17));
    history.AddBar(1301, "極洋", Day(2024, 5, 20, 2300, 2360, 2280, 2312, 1234500));
    const auto chart = BuildChart(history, {1301, Period::Day, true, {}, {}, {}});
    const auto r = ReadoutAt(chart, 2);
    EXPECT_EQ(r.Change, 120);
    ASSERT_TRUE(r.ChangePercent);
    EXPECT_NEAR(*r.ChangePercent, 100.0 * 12 / 2300, 1e-12);
    EXPECT_EQ(FormatReadout(chart, r),
              "2024/05/20 始 2,300 高 2,360 安 2,280 終 2,312 前日比 +12 (+0.52%) 出来高 1,234,500");
    EXPECT_EQ(FormatReadout(chart, ReadoutAt(chart, 1)), "2024/05/17 売買なし");
    EXPECT_FALSE(ReadoutAt(chart, 0).Change) << "no previous close";
    EXPECT_EQ(GroupedTenths(-123456785), "-12,345,678.5");
}

}  // namespace
}  // namespace mirolanda::charts
