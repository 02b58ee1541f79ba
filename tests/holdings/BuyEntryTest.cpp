// The purchase dialog's rules: name and date boxes, the confirmation checks in their order,
// and writing the accepted row.
#include <gtest/gtest.h>

#include "MemoryHistory.h"
#include "holdings/BuyData.h"
#include "holdings/BuyEntry.h"

namespace mirolanda::holdings {
namespace {

using platform::Table;
using test::MakeRecordDays;
using test::MemoryHistory;

MemoryHistory Kyokuyo() {
    MemoryHistory history;
    history.Records[1301] = MakeRecordDays("極洋", {{"2001/05/07", 350}, {"2001/05/06", 340}});
    history.Records[7203] = MakeRecordDays("トヨタ", {{"2001/05/07", 4000}});
    return history;
}

TEST(BuyEntryTest, CodeBoxLooksUpTheLeadingNumber) {
    MemoryHistory history = Kyokuyo();
    EXPECT_EQ(TrimTrailingBlanks(NameForCodeBox("1301", history)), "極洋");
    EXPECT_EQ(NameForCodeBox("1301", history), history.Records[1301].Name);  // padded as stored
    EXPECT_EQ(TrimTrailingBlanks(NameForCodeBox("1301x", history)), "極洋");
    EXPECT_EQ(NameForCodeBox("abc", history), "Unknown");
    EXPECT_EQ(NameForCodeBox("0", history), "Unknown");
    EXPECT_EQ(NameForCodeBox("99999999", history), "Unknown");
}

TEST(BuyEntryTest, WholeCodeTextMustBeACode) {
    EXPECT_EQ(CodeFromWholeText("1301"), 1301);
    EXPECT_EQ(CodeFromWholeText(" 1301 "), 1301);
    EXPECT_EQ(CodeFromWholeText("\t1301 \t"), 1301);
    EXPECT_EQ(CodeFromWholeText("1301x"), 0);
    EXPECT_EQ(CodeFromWholeText("0999"), 0);
    EXPECT_EQ(CodeFromWholeText("13010"), 0);
    EXPECT_EQ(CodeFromWholeText(""), 0);
    EXPECT_EQ(CodeFromWholeText(" 130a "), *market::IssueCode::Parse("130A"));
    EXPECT_EQ(CodeFromWholeText("13B0"), 0);

    MemoryHistory history;
    history.Records[*market::IssueCode::Parse("130A")] = test::MakeRecord("Veritas In Silico", "2026/01/16", {513});
    EXPECT_EQ(TrimTrailingBlanks(NameForCodeBox("130a", history)), "Veritas In Silico");
    BuyEntry entry{"130A", "", "2026/1/16", "513", "100"};
    EXPECT_TRUE(CheckBuyEntry(entry, history).Passed());
    EXPECT_EQ(TrimTrailingBlanks(entry.Name), "Veritas In Silico");
}

TEST(BuyEntryTest, DateBoxNormalisesDatesAndKeepsOtherText) {
    EXPECT_EQ(NormalizeBuyDate("2001/5/6"), "2001/05/06");
    EXPECT_EQ(NormalizeBuyDate(" 2001/05/06 "), "2001/05/06");
    EXPECT_EQ(NormalizeBuyDate("\t2001/5/6\t"), "2001/05/06");
    EXPECT_EQ(NormalizeBuyDate("2001-5-6"), "2001/05/06");
    EXPECT_EQ(NormalizeBuyDate("20010506"), "2001/05/06");
    EXPECT_EQ(NormalizeBuyDate("2001/02/29"), std::nullopt);
    EXPECT_EQ(NormalizeBuyDate("2001/5-6"), std::nullopt);
    EXPECT_EQ(NormalizeBuyDate("yesterday"), std::nullopt);
    EXPECT_EQ(NormalizeBuyDate(""), std::nullopt);
}

BuyEntry Good() {
    return {"1301", "", "2001/05/07", "350", "1000"};
}

TEST(BuyEntryTest, ChecksRefuseInTheirOrder) {
    MemoryHistory history = Kyokuyo();
    struct Case {
        const char* what;
        BuyEntry entry;
        BuyRefusal refusal;
        BuyField focus;
        bool beep;
    };
    const Case cases[] = {
        // Every box wrong: the code is reported first, then each later box once the earlier is right.
        {"code abc", {"abc", "", "", "0", "0"}, BuyRefusal::UnknownIssue, BuyField::Code, true},
        {"code 0", {"0", "", "2001/05/07", "350", "1"}, BuyRefusal::UnknownIssue, BuyField::Code, true},
        {"code without file", {"1302", "", "2001/05/07", "350", "1"}, BuyRefusal::UnknownIssue, BuyField::Code, true},
        {"code with a tail", {"1301x", "極洋", "2001/05/07", "350", "1"}, BuyRefusal::UnknownIssue, BuyField::Code,
         true},
        {"empty date", {"1301", "", "", "0", "0"}, BuyRefusal::EmptyDate, BuyField::Date, true},
        {"day not stored", {"1301", "", "2001/05/08", "0", "0"}, BuyRefusal::NoDayPrice, BuyField::None, false},
        {"day unreadable", {"1301", "", "today", "350", "1"}, BuyRefusal::NoDayPrice, BuyField::None, false},
        {"price 0", {"1301", "", "2001/05/07", "0", "0"}, BuyRefusal::ZeroPrice, BuyField::Price, true},
        {"price empty", {"1301", "", "2001/05/07", "", "1"}, BuyRefusal::ZeroPrice, BuyField::Price, true},
        {"price abc", {"1301", "", "2001/05/07", "abc", "1"}, BuyRefusal::NotANumber, BuyField::Price, true},
        {"price badly grouped", {"1301", "", "2001/05/07", "1,0000", "1"}, BuyRefusal::NotANumber, BuyField::Price, true},
        {"shares with a unit", {"1301", "", "2001/05/07", "350", "1000株"}, BuyRefusal::NotANumber, BuyField::Shares,
         true},
        {"price rounds to 0", {"1301", "", "2001/05/07", "0.5", "1"}, BuyRefusal::ZeroPrice, BuyField::Price, true},
        {"price beyond 32 bits", {"1301", "", "2001/05/07", "3000000000", "1"}, BuyRefusal::ZeroPrice,
         BuyField::Price, true},
        {"shares 0", {"1301", "", "2001/05/07", "350", "0"}, BuyRefusal::ZeroShares, BuyField::Shares, true},
        {"accepted", Good(), BuyRefusal::None, BuyField::None, false},
        {"price with unit", {"1301", "", "2001/05/07", "350円", "1000"}, BuyRefusal::NotANumber, BuyField::Price, true},
        {"negative passes", {"1301", "", "2001/05/07", "-350", "-1"}, BuyRefusal::None, BuyField::None, false},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.what);
        BuyCheck check = CheckBuyEntry(c.entry, history);
        EXPECT_EQ(check.Refusal, c.refusal);
        EXPECT_EQ(check.Focus, c.focus);
        EXPECT_EQ(check.Beep, c.beep);
        if (c.refusal == BuyRefusal::NotANumber) {
            EXPECT_NE(check.Message.find("は数として読めません"), std::string::npos) << check.Message;
        } else {
            EXPECT_EQ(check.Message, c.refusal == BuyRefusal::NoDayPrice ? std::string(kNoDayPriceMessage) : "");
        }
        EXPECT_EQ(check.Passed(), c.refusal == BuyRefusal::None);
    }
}

// Typed with digit-group commas, a price or count is what it shows, and is kept so.
TEST(BuyEntryTest, CommaGroupedNumbersAreReadAsShownAndOtherTextIsNoNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"10,000", "10000"}, {" 1,234,567.5 ", "1234567.5"}, {"350", "350"}, {"-1,000", "-1000"}, {"0.5", "0.5"},
        {"1,0000", nullptr}, {",100", nullptr}, {"1,00", nullptr}, {"10.", nullptr}, {"1.2.3", nullptr},
        {"350円", nullptr}, {"１０", nullptr}, {"1e3", nullptr}, {"- 5", nullptr},
    };
    for (const auto& [typed, kept] : cases) {
        const auto plain = TypedAmount(typed);
        EXPECT_EQ(plain.has_value(), kept != nullptr) << typed;
        if (plain && kept) {
            EXPECT_EQ(*plain, kept) << typed;
        }
    }
    MemoryHistory history = Kyokuyo();
    BuyEntry entry{"1301", "", "2001/05/07", "10,000", "1,000"};
    ASSERT_TRUE(CheckBuyEntry(entry, history).Passed());
    EXPECT_EQ(entry.Price, "10000");
    EXPECT_EQ(entry.Shares, "1000");
}

TEST(BuyEntryTest, ConfirmationTakesTheNameOfTheCodeAsItStands) {
    MemoryHistory history = Kyokuyo();
    // The label still shows the name of the code typed before; the code box now says 7203.
    BuyEntry entry{"7203", "極洋", "2001/05/07", "4000", "10"};
    ASSERT_TRUE(CheckBuyEntry(entry, history).Passed());
    EXPECT_EQ(TrimTrailingBlanks(entry.Name), "トヨタ");
}

TEST(BuyEntryTest, ConfirmationNormalisesAnUnleftDateBox) {
    MemoryHistory history = Kyokuyo();
    BuyEntry entry{"1301", "", "2001/5/6", "340", "10"};
    ASSERT_TRUE(CheckBuyEntry(entry, history).Passed());
    EXPECT_EQ(entry.Date, "2001/05/06");
}

TEST(BuyEntryTest, ApplyAppendsOrReplacesAndNeverWritesAVanishedRow) {
    Table holdings(kBuyColumns);
    BuyEntry first{"1301", "極洋", "2001/05/07", "350.5", "1000"};
    ASSERT_TRUE(ApplyBuyEntry(holdings, first, std::nullopt));
    ASSERT_TRUE(ApplyBuyEntry(holdings, first, std::nullopt));
    BuyEntry changed{"7203", "トヨタ", "2001/05/07", "4000", "10"};
    ASSERT_TRUE(ApplyBuyEntry(holdings, changed, 1));
    EXPECT_EQ(holdings.RowAt(0), (Table::Row{"1301", "極洋", "2001/05/07", "350.5", "1000"}));
    EXPECT_EQ(holdings.RowAt(1), (Table::Row{"7203", "トヨタ", "2001/05/07", "4000", "10"}));
    EXPECT_FALSE(ApplyBuyEntry(holdings, changed, 2));
    EXPECT_FALSE(ApplyBuyEntry(holdings, changed, -1));  // an edit never turns into an append
    EXPECT_EQ(holdings.RowCount(), 2);
}

}  // namespace
}  // namespace mirolanda::holdings
