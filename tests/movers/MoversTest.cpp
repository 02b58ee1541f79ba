#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "market/MemoryHistory.h"
#include "marketdb/MarketDb.h"
#include "movers/Movers.h"
#include "support/TempFolder.h"

namespace mirolanda::movers {
namespace {

using platform::Date;

// One issue's day: close and volume in tenths of a yen and shares; close 0 is a day without trade.
struct Quote {
    int code;
    market::Tenths close;
    int64_t volume;
    std::string segment = "プライム";
    std::optional<int64_t> turnover = std::nullopt;
};

// A made-up market held both ways the rankings read it: in memory and in a database file.
class Market {
public:
    void Add(const Date& day, const std::vector<Quote>& quotes) {
        market::DaySnapshot snapshot{day, "csv", {}};
        for (const auto& q : quotes) {
            const market::Tenths c = q.close;
            snapshot.Rows.push_back(
                {q.code, "銘柄" + std::to_string(q.code), {day, c, c, c, c, q.volume, q.turnover, 1.0}, q.segment, ""});
        }
        days_.push_back(snapshot);
    }
    void Split(int code, const Date& exDate, double ratio) { splits_.push_back({code, exDate, ratio, "user"}); }

    std::shared_ptr<const market::MarketHistory> Open(bool database) {
        if (database) {
            auto db = std::make_shared<marketdb::MarketDb>(tmp_ / "Market.sqlite3");
            for (const auto& day : days_) db->Add(day, {});
            for (const auto& split : splits_) db->RecordSplit(split);
            return db;
        }
        auto memory = std::make_shared<market::MemoryHistory>();
        for (const auto& day : days_) memory->AddDay(day);
        for (const auto& split : splits_) memory->AddSplit(split);
        return memory;
    }

private:
    testing::TempFolder tmp_;
    std::vector<market::DaySnapshot> days_;
    std::vector<market::Split> splits_;
};

constexpr Date kMon{2024, 3, 4}, kTue{2024, 3, 5}, kWed{2024, 3, 6};

// Ranks and codes of a ranking, the way a user reads the list.
std::vector<std::pair<int, std::string>> RanksOf(const Movers& movers) {
    std::vector<std::pair<int, std::string>> ranks;
    for (const auto& m : movers.Rows) ranks.emplace_back(m.Rank, m.Code.Text());
    return ranks;
}

class MoversTest : public ::testing::TestWithParam<bool> {
protected:
    Movers Rank(Ranking kind, const Date& day, int top = kDefaultTop, std::string segment = "") {
        if (!history_) history_ = market.Open(GetParam());
        return RankMovers(*history_, {kind, day, top, std::move(segment)});
    }
    Market market;

private:
    std::shared_ptr<const market::MarketHistory> history_;
};

// Two days: equal rises that tie, a rise too small to show in two decimals, a fall, issues
// without a previous close or without trade, and a 1→2 split on the second day.
void TwoDays(Market& m) {
    m.Add(kMon, {{1001, 1000, 10}, {1002, 2000, 20, "スタンダード"}, {1003, 1000, 30}, {1004, 1000, 40},
                 {1005, 1000, 50}, {1007, 1000, 70}, {1008, 10000, 80}, {1009, 3000, 90}, {1011, 30000, 11},
                 {1012, 60000, 12}});
    m.Add(kTue, {{1001, 1100, 300, "プライム", 999}, {1002, 2200, 200, "スタンダード"}, {1003, 1050, 100},
                 {1004, 900, 400}, {1005, 1000, 50}, {1006, 1500, 60}, {1007, 0, 0}, {1008, 5200, 160},
                 {1011, 30001, 11}, {1012, 60001, 12}});
    m.Split(1008, kTue, 2.0);
}

TEST_P(MoversTest, ChangeRankingsTieOnlyOnEqualValuesAndLeaveOutIssuesWithoutTwoCloses) {
    TwoDays(market);
    using Ranks = std::vector<std::pair<int, std::string>>;
    struct Case {
        const char* what;
        Ranking kind;
        int top;
        std::string segment;
        Ranks expected;
    } cases[] = {
        // 1008 went from 1000 to 520 through a 1→2 split: +4 %, never −48 %. 1006 has no
        // previous close, 1007 no trade, 1005 did not move; 1011 and 1012 both show 0.00.
        {"gainers", Ranking::Gainers, 50, "",
         {{1, "1001"}, {1, "1002"}, {3, "1003"}, {4, "1008"}, {5, "1011"}, {6, "1012"}}},
        {"the top two", Ranking::Gainers, 2, "", {{1, "1001"}, {1, "1002"}}},
        {"losers", Ranking::Losers, 50, "", {{1, "1004"}}},
        {"one segment", Ranking::Gainers, 50, "スタンダード", {{1, "1002"}}},
        {"volume", Ranking::Volume, 50, "",
         {{1, "1004"}, {2, "1001"}, {3, "1002"}, {4, "1008"}, {5, "1003"}, {6, "1006"}, {7, "1005"}, {8, "1012"},
          {9, "1011"}}},
        // 1001's turnover as the source gave it (999, not 33,000), the others close × volume.
        {"turnover", Ranking::Turnover, 50, "",
         {{1, "1008"}, {2, "1012"}, {3, "1002"}, {4, "1004"}, {5, "1011"}, {6, "1003"}, {7, "1006"}, {8, "1005"},
          {9, "1001"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(RanksOf(Rank(c.kind, kTue, c.top, c.segment)), c.expected) << c.what;

    const Movers gainers = Rank(Ranking::Gainers, kTue);
    EXPECT_DOUBLE_EQ(gainers.Rows[3].Value, 4.0);
    EXPECT_EQ(gainers.Rows[3].Close, 5200) << "the close as traded";
    EXPECT_EQ(gainers.Segments, (std::vector<std::string>{"スタンダード", "プライム"}));
    const Movers volume = Rank(Ranking::Volume, kTue);
    EXPECT_FALSE(volume.Rows[5].ChangePercent) << "1006 has no previous close";
    EXPECT_TRUE(Rank(Ranking::Gainers, kMon).Rows.empty()) << "the first day stored has no previous one";
    EXPECT_THROW(Rank(Ranking::Gainers, kWed), MissingDay);
}

// A day of the window a week day apart from the previous one, 25 and 26 days back.
std::vector<Date> Weekdays(const Date& first, int count) {
    std::vector<Date> days;
    for (Date d = first; static_cast<int>(days.size()) < count; d = platform::AddDays(d, 1)) {
        if (platform::Weekday(d) != 0 && platform::Weekday(d) != 6) days.push_back(d);
    }
    return days;
}

TEST_P(MoversTest, SurgeComparesWithTheLast25DaysAndNeedsAllOfThem) {
    const auto days = Weekdays({2024, 2, 1}, 26);
    for (size_t i = 0; i < days.size(); ++i) {
        const bool last = i + 1 == days.size();
        std::vector<Quote> quotes{{2001, 1000, last ? 500 : 100}};
        if (i >= 2) quotes.push_back({2002, 1000, last ? 900 : 100});  // 24 days only
        // A 1→2 split on day 20 doubles the volume; the days before count at their adjusted volume.
        quotes.push_back({2003, i >= 20 ? 500 : 1000, last ? 400 : (i >= 20 ? 200 : 100)});
        market.Add(days[i], quotes);
    }
    market.Split(2003, days[20], 2.0);
    const Movers surge = Rank(Ranking::Surge, days.back());
    ASSERT_EQ(RanksOf(surge), (std::vector<std::pair<int, std::string>>{{1, "2001"}, {2, "2003"}}));
    EXPECT_DOUBLE_EQ(surge.Rows[0].Value, 500.0 / ((24 * 100 + 500) / 25.0)) << "the 26th day back is not counted";
    EXPECT_DOUBLE_EQ(surge.Rows[1].Value, 400.0 / ((24 * 200 + 400) / 25.0));
    EXPECT_TRUE(Rank(Ranking::Surge, days[23]).Rows.empty()) << "fewer than 25 days stored";
}

TEST_P(MoversTest, YearHighsAndLowsCompareAdjustedClosesSinceTheYearsFirstDay) {
    market.Add({2023, 12, 28}, {{3001, 5000, 1}, {3002, 100, 1}, {3003, 1000, 1}});
    market.Add({2024, 1, 4}, {{3001, 1000, 1}, {3002, 1000, 1}, {3003, 1000, 1}, {3004, 1000, 1}});
    market.Add({2024, 1, 5}, {{3001, 1200, 1}, {3002, 600, 1}, {3003, 0, 0}, {3004, 1000, 1}});
    // 3002 split 1→2 on 01-09: its 1,000 and 600 are 500 and 300 adjusted, so 520 is a new
    // high and no new low. 3001's 5,000 of last year does not count; 3004 only equals its high.
    market.Add({2024, 1, 9}, {{3001, 1300, 1}, {3002, 520, 1}, {3003, 900, 1}, {3004, 1000, 1}, {3005, 10, 1}});
    market.Split(3002, {2024, 1, 9}, 2.0);
    const Movers highs = Rank(Ranking::Highs, {2024, 1, 9});
    ASSERT_EQ(RanksOf(highs), (std::vector<std::pair<int, std::string>>{{1, "3001"}, {2, "3002"}}));
    EXPECT_DOUBLE_EQ(highs.Rows[0].Value, (1300.0 / 1200.0 - 1) * 100);
    EXPECT_DOUBLE_EQ(highs.Rows[1].Value, (520.0 / 500.0 - 1) * 100);
    // 3003 fell below its one close of the year; 3005 has no earlier close to fall below.
    EXPECT_EQ(RanksOf(Rank(Ranking::Lows, {2024, 1, 9})), (std::vector<std::pair<int, std::string>>{{1, "3003"}}));
    EXPECT_TRUE(Rank(Ranking::Highs, {2024, 1, 4}).Rows.empty()) << "the year's first day beats nothing";
}

// The year's highs and lows of a made-up market of random walks over four months, with days
// without trade (two issues for weeks) and splits before and inside the last weeks, against each
// issue's adjusted year read whole. The walks make issues that beat the last weeks but not the year.
TEST_P(MoversTest, YearHighsAndLowsOverManyWeeksAgreeWithEachIssueReadWhole) {
    constexpr int kCodes = 40;
    constexpr size_t kLast = 84;  // the days reach far enough into the year for every screen
    std::vector<market::Tenths> close(kCodes, 10000);
    uint32_t seed = 11;
    const auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
    std::vector<Date> days;
    for (Date day{2023, 12, 20}; days.size() <= kLast; day = platform::AddDays(day, 1)) {
        if (platform::Weekday(day) == 0 || platform::Weekday(day) == 6) continue;
        std::vector<Quote> quotes;
        for (int i = 0; i < kCodes; ++i) {
            close[i] = std::max<market::Tenths>(100, close[i] + static_cast<market::Tenths>(next() % 1001) - 500);
            quotes.push_back({4000 + i, next() % 9 == 0 ? 0 : close[i], 1});
        }
        // The last two issues trade again on the last day after weeks without trade, far above
        // and far below.
        if (days.size() >= 19) quotes[kCodes - 1].close = days.size() < kLast ? 0 : 30000;
        if (days.size() >= 19) quotes[kCodes - 2].close = days.size() < kLast ? 0 : 50;
        market.Add(day, quotes);
        days.push_back(day);
    }
    const std::vector<std::pair<int, size_t>> splits = {{3, 10}, {7, 30}, {8, 60}, {9, kLast - 1}, {12, kLast}};
    for (const auto& [i, at] : splits) market.Split(4000 + i, days[at], 2.0);
    // A close on the footing of `day`: halved by each split in between.
    const auto adjusted = [&](const market::IssueCode& code, const market::Bar& bar, const Date& day) {
        double price = static_cast<double>(bar.Close);
        for (const auto& [i, at] : splits) {
            const long ex = platform::DaysFromCivil(days[at]);
            if (code.Text() == std::to_string(4000 + i) && ex > platform::DaysFromCivil(bar.Day) &&
                ex <= platform::DaysFromCivil(day)) {
                price /= 2;
            }
        }
        return price;
    };
    auto history = market.Open(GetParam());
    int beatWeeksNotYear = 0;
    for (const Date& day : {days[30], days[70], days[kLast - 1], days[kLast]}) {
        for (const bool highs : {true, false}) {
            std::map<std::string, double> expected;
            const auto snapshot = history->Day(day);
            for (const auto& row : snapshot->Rows) {
                const auto bars = history->Series(row.Code, {day.Year, 1, 1}, day, false).Bars;
                if (!row.Prices.Traded() || bars.size() < 2) continue;
                double best = 0, weeks = 0;
                for (size_t k = 0; k + 1 < bars.size(); ++k) {
                    if (!bars[k].Traded()) continue;
                    const double c = adjusted(row.Code, bars[k], day);
                    if (best == 0 || (highs ? c > best : c < best)) best = c;
                    if (k + 21 >= bars.size() && (weeks == 0 || (highs ? c > weeks : c < weeks))) weeks = c;
                }
                const auto c = static_cast<double>(row.Prices.Close);
                if (best > 0 && (highs ? c > best : c < best)) expected[row.Code.Text()] = (c / best - 1) * 100;
                if (weeks > 0 && (highs ? c > weeks : c < weeks) && !expected.contains(row.Code.Text())) ++beatWeeksNotYear;
            }
            std::map<std::string, double> ranked;
            for (const auto& m : RankMovers(*history, {highs ? Ranking::Highs : Ranking::Lows, day, 1000, ""}).Rows) {
                ranked[m.Code.Text()] = m.Value;
            }
            ASSERT_EQ(ranked.size(), expected.size()) << platform::FormatSlashed(day) << (highs ? " highs" : " lows");
            for (const auto& [code, value] : expected) EXPECT_NEAR(ranked[code], value, 1e-9) << code;
        }
    }
    EXPECT_GT(beatWeeksNotYear, 0) << "the walks never beat the last weeks without beating the year";
}

INSTANTIATE_TEST_SUITE_P(Stores, MoversTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Database" : "Memory"; });

TEST(RankingTest, NamesAndValuesAsTheyAreWritten) {
    for (Ranking r : kRankings) EXPECT_EQ(ParseRanking(RankingName(r)), r);
    EXPECT_FALSE(ParseRanking("Gainers"));
    const std::pair<double, const char*> cases[] = {
        {3.445, "3.45"}, {1.005, "1.01"}, {-0.5, "-0.50"}, {-0.004, "0.00"}, {12.0, "12.00"}, {-3.456, "-3.46"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatHundredths(value), text) << value;
    EXPECT_EQ(FormatValue(Ranking::Turnover, 1234567.5), "1234568");
}

}  // namespace
}  // namespace mirolanda::movers
