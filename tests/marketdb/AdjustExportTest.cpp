#include <gtest/gtest.h>

#include "marketdb/Adjust.h"
#include "marketdb/Export.h"
#include "marketdb/MarketDb.h"
#include "marketdb/SplitSuggest.h"
#include "Days.h"
#include "support/TempFolder.h"

namespace mirolanda::marketdb {
namespace {

using test::MakeDay;

TEST(AdjustTest, PricesRoundHalfAwayFromZeroToATenthAndVolumesToWholeShares) {
    struct Case {
        market::Tenths price;
        int64_t volume;
        double factor;
        market::Tenths adjusted;
        int64_t adjustedVolume;
    } cases[] = {
        {15, 10, 0.1, 2, 100},         // 0.15 yen → 0.2 (1.5000000000000002 tenths)
        {25, 10, 0.1, 3, 100},         // exactly 2.5 tenths → 3
        {3, 7, 0.5, 2, 14},            // 1.5 → 2
        {10055, 1000, 0.5, 5028, 2000},
        {5155, 1000, 1.0 / 3, 1718, 3000},
        {123, 1005, 10.0, 1230, 101},  // a 10→1 consolidation: 100.5 shares → 101
    };
    for (const Case& c : cases) {
        market::Bar bar{{2024, 1, 4}, c.price, c.price, c.price, c.price, c.volume, std::nullopt, 1.0};
        const market::Bar adjusted = AdjustBar(bar, c.factor);
        EXPECT_EQ(adjusted.Close, c.adjusted) << c.price << " × " << c.factor;
        EXPECT_EQ(adjusted.Open, c.adjusted);
        EXPECT_EQ(adjusted.Volume, c.adjustedVolume) << c.volume << " ÷ " << c.factor;
    }
}

TEST(AdjustTest, ASourcesFactorNamesTheRatioASplitIsTypedWith) {
    const std::pair<double, double> cases[] = {{0.2, 5},  {0.5, 2},  {0.333333, 3}, {0.25, 4},
                                               {10, 0.1}, {2, 0.5}, {0.8, 1.25}};
    for (auto [factor, ratio] : cases) EXPECT_DOUBLE_EQ(RatioOfFactor(factor), ratio) << factor;
}

TEST(AdjustTest, SplitLookingClosesAreSuggestedWithinThreePercent) {
    const std::pair<double, double> cases[] = {{0.5, 2},    {0.2, 5},    {0.206, 5}, {0.207, 0}, {0.33, 3},
                                               {0.255, 4},  {0.1, 10},   {2.0, 0.5}, {10.2, 0.1}, {1.0, 0},
                                               {0.75, 0},   {3.05, 1.0 / 3}};
    for (auto [closeRatio, ratio] : cases) EXPECT_DOUBLE_EQ(SuggestedRatio(closeRatio), ratio) << closeRatio;
}

// Three days of one week across a month's end, a day without trade, and a day after a 1→2 split.
void AddHandDays(MarketDb& db, const std::string& source, double factorOnExDate) {
    db.Add(MakeDay({2024, 2, 28}, {{1301, 10000, 10105, 9900, 10055, 1000}}, source), {});
    db.Add(MakeDay({2024, 2, 29}, {{1301, 10055, 10200, 10010, 10155, 2000}}, source), {});
    db.Add(MakeDay({2024, 3, 1}, {{1301, 10160, 10300, 10120, 10250, 1500}}, source), {});
    db.Add(MakeDay({2024, 3, 4}, {{1301, 0, 0, 0, 0, 0}}, source), {});
    db.Add(MakeDay({2024, 3, 5}, {{1301, 5155, 5200, 5100, 5123, 4000, factorOnExDate}}, source), {});
}

TEST(ExportTest, DaysWeeksAndMonthsByteForByte) {
    testing::TempFolder tmp;
    MarketDb db(tmp / "Market.sqlite3");
    AddHandDays(db, "csv", 1.0);
    db.RecordSplit({1301, {2024, 3, 5}, 2, kUserOrigin});
    const platform::Date from{2024, 1, 1}, to{2024, 12, 31};
    EXPECT_EQ(ExportIssue(db, 1301, from, to, false, Period::Day),
              "date,open,high,low,close,volume\n"
              "2024-02-28,1000,1010.5,990,1005.5,1000\n"
              "2024-02-29,1005.5,1020,1001,1015.5,2000\n"
              "2024-03-01,1016,1030,1012,1025,1500\n"
              "2024-03-05,515.5,520,510,512.3,4000\n");
    EXPECT_EQ(ExportIssue(db, 1301, from, to, true, Period::Day),
              "date,open,high,low,close,volume\n"
              "2024-02-28,500,505.3,495,502.8,2000\n"
              "2024-02-29,502.8,510,500.5,507.8,4000\n"
              "2024-03-01,508,515,506,512.5,3000\n"
              "2024-03-05,515.5,520,510,512.3,4000\n");
    EXPECT_EQ(ExportIssue(db, 1301, from, to, true, Period::Week),
              "date,open,high,low,close,volume\n"
              "2024-03-01,500,515,495,512.5,9000\n"
              "2024-03-05,515.5,520,510,512.3,4000\n");
    EXPECT_EQ(ExportIssue(db, 1301, from, to, true, Period::Month),
              "date,open,high,low,close,volume\n"
              "2024-02-29,500,510,495,507.8,6000\n"
              "2024-03-05,508,520,506,512.3,7000\n");
    // The range picks the days first; the week is built from those picked.
    EXPECT_EQ(ExportIssue(db, 1301, {2024, 2, 29}, {2024, 3, 4}, true, Period::Week),
              "date,open,high,low,close,volume\n"
              "2024-03-01,502.8,515,500.5,512.5,7000\n");
    EXPECT_EQ(ExportIssue(db, 9999, from, to, true, Period::Day), "date,open,high,low,close,volume\n");
}

TEST(ExportTest, ASplitFromTheSourcesFactorsAndTheSameByHandAdjustAlike) {
    for (double ratio : {5.0, 2.0, 3.0, 0.1}) {
        testing::TempFolder tmp;
        MarketDb bySource(tmp / "jquants.sqlite3"), byHand(tmp / "hand.sqlite3");
        AddHandDays(bySource, "jquants", ratio == 3.0 ? 0.333333 : 1.0 / ratio);
        AddHandDays(byHand, "site", 1.0);
        byHand.RecordSplit({1301, {2024, 3, 5}, ratio, kUserOrigin});
        EXPECT_EQ(bySource.Splits(1301).at(0).Ratio, ratio);
        for (Period period : {Period::Day, Period::Month}) {
            const std::string a = ExportIssue(bySource, 1301, {2024, 1, 1}, {2024, 12, 31}, true, period);
            EXPECT_EQ(a, ExportIssue(byHand, 1301, {2024, 1, 1}, {2024, 12, 31}, true, period)) << ratio;
            EXPECT_NE(a, ExportIssue(byHand, 1301, {2024, 1, 1}, {2024, 12, 31}, false, period)) << ratio;
        }
    }
}

TEST(SplitSuggestTest, ACloseAFifthOfTheDayBeforeIsSuggestedUntilRecorded) {
    testing::TempFolder tmp;
    MarketDb db(tmp / "Market.sqlite3");
    db.Add(MakeDay({2024, 3, 4}, {{1301, 1, 1, 1, 10000, 1}, {1332, 1, 1, 1, 1000, 1}}), {});
    db.Add(MakeDay({2024, 3, 5}, {{1301, 0, 0, 0, 0, 0}, {1332, 1, 1, 1, 600, 1}}), {});
    db.Add(MakeDay({2024, 3, 6}, {{1301, 1, 1, 1, 2010, 1}, {1332, 1, 1, 1, 590, 1}}), {});
    auto found = SuggestSplits(db);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Code, market::IssueCode(1301));
    EXPECT_EQ(found[0].Before, (platform::Date{2024, 3, 4}));  // the day without trade is passed over
    EXPECT_EQ(found[0].ExDate, (platform::Date{2024, 3, 6}));
    EXPECT_EQ(found[0].Ratio, 5.0);
    db.RecordSplit({1301, {2024, 3, 6}, 5, kUserOrigin});
    EXPECT_TRUE(SuggestSplits(db).empty());
}

}  // namespace
}  // namespace mirolanda::marketdb
