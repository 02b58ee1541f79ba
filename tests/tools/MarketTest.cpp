#include "tools/Market.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "tools/FaultPlan.h"

namespace mirolanda::tools {
namespace {

const platform::Date kDay{2026, 12, 7};

bool HasHalfWidthKatakana(const std::string& s) {
    // U+FF61…U+FF9F are EF BD A1…EF BE 9F in UTF-8.
    for (size_t i = 0; i + 2 < s.size(); ++i) {
        auto b0 = static_cast<unsigned char>(s[i]), b1 = static_cast<unsigned char>(s[i + 1]);
        if (b0 == 0xEF && (b1 == 0xBD || b1 == 0xBE)) return true;
    }
    return false;
}

bool HasWideDigit(const std::string& s) {
    // U+FF10…U+FF19 are EF BC 90…EF BC 99 in UTF-8.
    for (size_t i = 0; i + 2 < s.size(); ++i) {
        auto b2 = static_cast<unsigned char>(s[i + 2]);
        if (static_cast<unsigned char>(s[i]) == 0xEF && static_cast<unsigned char>(s[i + 1]) == 0xBC && b2 >= 0x90 &&
            b2 <= 0x99)
            return true;
    }
    return false;
}

TEST(Market, ListsTheRequestedNumberOfDistinctCodesInOrder) {
    for (int wanted : {0, 1, 50, 3600, 9000, 9500}) {
        Market market({wanted, 3});
        const auto& issues = market.Issues();
        ASSERT_EQ(static_cast<int>(issues.size()), std::min(wanted, 9000)) << wanted;
        for (size_t i = 0; i < issues.size(); ++i) {
            EXPECT_GE(issues[i].Code, 1000);
            EXPECT_LE(issues[i].Code, 9999);
            if (i > 0) {
                EXPECT_LT(issues[i - 1].Code, issues[i].Code);
            }
            EXPECT_EQ(market.Find(issues[i].Code), &issues[i]);
        }
    }
    Market market;
    EXPECT_EQ(market.Find(999), nullptr);
    EXPECT_EQ(market.Find(10000), nullptr);
    EXPECT_EQ(market.Find(-5), nullptr);
}

TEST(Market, SameSeedSameMarketOtherSeedOtherMarket) {
    Market a({3600, 42}), b({3600, 42}), c({3600, 43});
    ASSERT_EQ(a.Issues().size(), b.Issues().size());
    size_t sameCodes = 0;
    for (size_t i = 0; i < a.Issues().size(); ++i) {
        const Issue& x = a.Issues()[i];
        const Issue& y = b.Issues()[i];
        EXPECT_EQ(x.Code, y.Code);
        EXPECT_EQ(x.Name, y.Name);
        EXPECT_EQ(x.Link, y.Link);
        EXPECT_EQ(a.Quote(x, kDay).Close, b.Quote(y, kDay).Close);
        sameCodes += c.Issues()[i].Code == x.Code ? 1 : 0;
    }
    EXPECT_LT(sameCodes, a.Issues().size() / 2);
}

TEST(Market, NamesCarryTheCharactersThatTestTheEncodings) {
    Market market;
    int kabu = 0, kana = 0, wideDigits = 0, blanks = 0;
    for (const Issue& issue : market.Issues()) {
        const std::string& n = issue.Name;
        kabu += n.find("㈱") != std::string::npos;
        kana += HasHalfWidthKatakana(n);
        wideDigits += HasWideDigit(n);
        blanks += n.front() == ' ' || n.back() == ' ' || n.rfind("　", 0) == 0;
        // Nothing that the page or the CSV would have to escape.
        EXPECT_EQ(n.find_first_of("\"<>&,\t\r\n"), std::string::npos) << n;
        EXPECT_EQ(issue.Link.rfind(std::to_string(issue.Code) + ".", 0), 0u) << issue.Link;
        EXPECT_EQ(issue.Link.size(), 6u) << issue.Link;
    }
    EXPECT_GT(kabu, 100);
    EXPECT_GT(kana, 100);
    EXPECT_GT(wideDigits, 50);
    EXPECT_GT(blanks, 100);
}

TEST(Market, DayFiguresAreConsistentAndMoveFromDayToDay) {
    Market market;
    platform::Date next = platform::AddDays(kDay, 1);
    size_t moved = 0, untraded = 0;
    int64_t biggestVolume = 0;
    for (const Issue& issue : market.Issues()) {
        DayQuote q = market.Quote(issue, kDay);
        EXPECT_GE(q.Close, 1);
        if (q.Traded) {
            EXPECT_LE(q.Low, std::min(q.Open, q.Close)) << issue.Code;
            EXPECT_GE(q.High, std::max(q.Open, q.Close)) << issue.Code;
            EXPECT_GE(q.Low, 1);
            EXPECT_EQ(q.Volume % 100, 0);
            EXPECT_GT(q.Volume, 0);
        } else {
            ++untraded;
            EXPECT_EQ(q.Open + q.High + q.Low + q.Volume, 0);
        }
        moved += market.Quote(issue, next).Close != q.Close;
        for (int d = 0; d < 10; ++d) biggestVolume = std::max(biggestVolume, market.Quote(issue, platform::AddDays(kDay, d)).Volume);
    }
    EXPECT_GT(moved, market.Issues().size() * 8 / 10);
    EXPECT_GT(untraded, 0u);
    EXPECT_GT(biggestVolume, int64_t{INT32_MAX});  // volumes need 64 bits
}

TEST(Market, PricesKeepTheExchangeTicks) {
    struct Case {
        int64_t in, out;
    } cases[] = {{0, 1}, {1, 1}, {2999, 2999}, {3000, 3000}, {3002, 3000}, {3003, 3005}, {12344, 12340},
                 {12345, 12350}, {45020, 45000}, {49990, 50000}, {60049, 60000}, {60050, 60100}};
    for (const auto& c : cases) EXPECT_EQ(RoundToTick(c.in), c.out) << c.in;
}

TEST(FaultPlan, MapsRequestNumbersToTheFirstMatchingRule) {
    FaultPlan plan = FaultPlan::Parse("cut@2;http500@5-;refuse@3,7,10-12");
    std::vector<std::pair<long, FaultKind>> expected = {
        {1, FaultKind::None},     {2, FaultKind::Cut},      {3, FaultKind::Refuse},  {4, FaultKind::None},
        {5, FaultKind::Http500},  {7, FaultKind::Http500},  {11, FaultKind::Http500}, {100000, FaultKind::Http500}};
    for (auto [n, kind] : expected) EXPECT_EQ(plan.At(n), kind) << n;

    FaultPlan list;
    list.Add(FaultKind::Stall, "3,7,10-12");
    for (long n = 1; n <= 13; ++n) {
        bool hit = n == 3 || n == 7 || (n >= 10 && n <= 12);
        EXPECT_EQ(list.At(n), hit ? FaultKind::Stall : FaultKind::None) << n;
    }
    EXPECT_TRUE(FaultPlan::Parse("").Empty());
}

TEST(FaultPlan, RejectsMalformedPlans) {
    for (const char* bad : {"cut", "cut@", "cut@0", "cut@5-3", "boom@1", "cut@x", "cut@1;", "cut@-4", "cut@1,,2"}) {
        EXPECT_THROW(FaultPlan::Parse(bad), std::invalid_argument) << bad;
    }
    for (const char* name : {"refuse", "reset", "stall", "http500", "garbage", "cut", "fewer"}) {
        auto kind = ParseFaultKind(name);
        ASSERT_TRUE(kind) << name;
        EXPECT_EQ(FaultKindName(*kind), name);
    }
}

}  // namespace
}  // namespace mirolanda::tools
