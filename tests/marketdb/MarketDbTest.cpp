#include <gtest/gtest.h>

#include "marketdb/Health.h"
#include "marketdb/MarketDb.h"
#include "marketdb/Schema.h"
#include "marketdb/Sqlite.h"
#include "Days.h"
#include "support/TempFolder.h"

namespace mirolanda::marketdb {
namespace {

using test::MakeDay;
constexpr platform::Date kMon{2024, 3, 4}, kTue{2024, 3, 5}, kWed{2024, 3, 6};

TEST(MarketDbTest, StoresADayAndReadsItBackByIssueAndByDay) {
    testing::TempFolder tmp;
    MarketDb db(tmp / "sub" / "Market.sqlite3");
    auto day = MakeDay(kMon, {{1301, 23455, 23500, 23000, 23100, 1200}, {1332, 8120, 8200, 8000, 8150, 99}});
    day.Rows[0].Prices.Turnover = 28000000;
    day.Rows[0].Segment = "プライム";
    db.Add(day, {});
    db.Add(MakeDay(kTue, {{1301, 23100, 23200, 23000, 23150, 800}}, "jquants"), {});

    const auto series = db.Series(1301, kMon, kWed, false);
    EXPECT_EQ(series.Name, "銘柄1301");
    ASSERT_EQ(series.Bars.size(), 2u);
    EXPECT_EQ(series.Bars[0], day.Rows[0].Prices);
    EXPECT_EQ(series.Bars[1].Day, kTue);
    EXPECT_FALSE(series.Bars[1].Turnover);

    const auto stored = db.Day(kMon);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Source, "csv");
    ASSERT_EQ(stored->Rows.size(), 2u);
    EXPECT_EQ(stored->Rows[0].Segment, "プライム");
    EXPECT_EQ(stored->Rows[1].Prices, day.Rows[1].Prices);
    EXPECT_FALSE(db.Day(kWed));
    EXPECT_EQ(db.DaySource(kTue), "jquants");
    EXPECT_EQ(db.TradingDays(kMon, kWed), (std::vector<platform::Date>{kMon, kTue}));

    const auto issues = db.Issues();
    ASSERT_EQ(issues.size(), 2u);
    EXPECT_EQ(issues[0].First, kMon);
    EXPECT_EQ(issues[0].Last, kTue);
    EXPECT_EQ(issues[0].Segment, "プライム");  // kept, the later source giving none
    EXPECT_EQ(issues[1].Last, kMon);
}

TEST(MarketDbTest, ADayStoredAgainReplacesItsRowsAndTheLatestNameWins) {
    testing::TempFolder tmp;
    MarketDb db(tmp / "Market.sqlite3");
    db.Add(MakeDay(kTue, {{1301, 1, 1, 1, 1, 1}}), {});
    db.Add(MakeDay(kMon, {{1301, 10, 10, 10, 10, 5}, {1332, 20, 20, 20, 20, 6}}), {});
    auto again = MakeDay(kMon, {{1301, 11, 11, 11, 11, 7}});
    again.Rows[0].Name = "新しい名前";
    db.Add(again, {});
    db.Add(again, {});

    EXPECT_EQ(db.Day(kMon)->Rows.size(), 1u);
    EXPECT_EQ(db.Series(1301, kMon, kMon, false).Bars.at(0).Close, 11);
    EXPECT_TRUE(db.Series(1332, kMon, kWed, false).Bars.empty());
    const Counts c = db.Count();
    EXPECT_EQ(c.Bars, 2);
    EXPECT_EQ(c.Days, 2);
    // A day older than the newest seen does not rename the issue.
    EXPECT_EQ(db.Issues().at(0).Name, "銘柄1301");
}

TEST(MarketDbTest, SchemaVersionIsInTheFileAndANewerFileIsRefusedNotSetAside) {
    testing::TempFolder tmp;
    const auto file = tmp / "Market.sqlite3";
    {
        MarketDb db(file);
        EXPECT_EQ(db.Db().Number("PRAGMA user_version"), kSchemaVersion);
        EXPECT_EQ(Statement(db.Db(), "PRAGMA journal_mode").Step(), true);
        db.Db().Execute("PRAGMA user_version=99");
    }
    try {
        OpenOrSetAside(file, {{2024, 3, 4}, 21, 30, 5});
        FAIL() << "a newer file opened";
    } catch (const DatabaseError& e) {
        EXPECT_FALSE(e.Damaged());
    }
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST(MarketDbTest, ADamagedFileIsMovedAsideOnceWithItsStampAndANewOneMade) {
    testing::TempFolder tmp;
    const auto file = tmp / "Market.sqlite3";
    testing::WriteAll(file, std::string(5000, 'x'));
    auto opened = OpenOrSetAside(file, {{2024, 3, 4}, 21, 30, 5});
    EXPECT_NE(opened.SetAsideMessage.find("Market.sqlite3.broken-20240304-213005"), std::string::npos);
    EXPECT_EQ(testing::ReadAll(tmp / "Market.sqlite3.broken-20240304-213005"), std::string(5000, 'x'));
    opened.Db->Add(MakeDay(kMon, {{1301, 1, 1, 1, 1, 1}}), {});
    opened.Db.reset();
    EXPECT_TRUE(OpenOrSetAside(file, {{2024, 3, 5}, 21, 30, 5}).SetAsideMessage.empty());
}

TEST(MarketDbTest, ASplitKnownAlreadyChangesNothingWhoeverRecordsItAgain) {
    testing::TempFolder tmp;
    MarketDb db(tmp / "Market.sqlite3");
    db.Add(MakeDay(kTue, {{1301, 100, 100, 100, 100, 5, 0.2}}, "jquants"), {});
    EXPECT_FALSE(db.RecordSplit({1301, kTue, 4, kUserOrigin}));
    EXPECT_TRUE(db.RecordSplit({1301, kWed, 2, kUserOrigin}));
    db.Add(MakeDay(kTue, {{1301, 100, 100, 100, 100, 5, 0.2}}, "jquants"), {});
    const auto splits = db.Splits(1301);
    ASSERT_EQ(splits.size(), 2u);
    EXPECT_EQ(splits[0].Ratio, 5.0);
    EXPECT_EQ(splits[0].Origin, "jquants");
    EXPECT_EQ(splits[1].Origin, "user");
}

}  // namespace
}  // namespace mirolanda::marketdb
