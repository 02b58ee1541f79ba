#include <gtest/gtest.h>

#include "market/Bar.h"
#include "market/DaySnapshot.h"

namespace mirolanda::market {
namespace {

TEST(Tenths, WholeYenRoundsHalfToEvenBothWays) {
    const struct {
        Tenths in;
        int64_t yen;
    } cases[] = {{23455, 2346}, {23445, 2344}, {23446, 2345}, {23444, 2344}, {8120, 812},
                 {5, 0},        {15, 2},       {-15, -2},     {-25, -2},     {-26, -3}, {0, 0}};
    for (const auto& c : cases) EXPECT_EQ(WholeYen(c.in), c.yen) << c.in;
}

TEST(Tenths, TextFormsReadBackExactly) {
    const struct {
        const char* text;
        std::optional<Tenths> tenths;
        const char* formatted;
    } cases[] = {{"2345.5", 23455, "2345.5"}, {"812", 8120, "812"},     {" 812.0 ", 8120, "812"},
                 {"0.05", 0, "0"},           {"0.15", 2, "0.2"},       {"0.151", 2, "0.2"},
                 {"0.25", 2, "0.2"},         {"-3.5", -35, "-3.5"},    {"", std::nullopt, ""},
                 {"1,000", std::nullopt, ""}, {"12x", std::nullopt, ""}, {".", std::nullopt, ""},
                 {"99999999999999999999", std::nullopt, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseTenths(c.text), c.tenths) << c.text;
        if (c.tenths) {
            EXPECT_EQ(FormatTenths(*c.tenths), c.formatted) << c.text;
        }
    }
}

TEST(DaySnapshot, NormalizeOrdersByCodeKeepsTheFirstOfARepeatAndDatesEveryBar) {
    DaySnapshot day;
    day.Day = {2026, 12, 4};
    day.Rows = {{IssueCode(1310), "c", {}, {}, {}},
                {*IssueCode::Parse("130A"), "b", {}, {}, {}},
                {IssueCode(1301), "a", {}, {}, {}},
                {IssueCode(1310), "repeat", {}, {}, {}}};
    Normalize(day);
    ASSERT_EQ(day.IssueCount(), 3);
    EXPECT_EQ(day.Rows[0].Name, "a");
    EXPECT_EQ(day.Rows[1].Name, "b");
    EXPECT_EQ(day.Rows[2].Name, "c");
    for (const SnapshotRow& row : day.Rows) EXPECT_EQ(row.Prices.Day, day.Day);
}

}  // namespace
}  // namespace mirolanda::market
