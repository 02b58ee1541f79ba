// Reading numbers out of typed and stored texts: the leading number, a whole-text number,
// rounding half to even, and the leading whole number of a setting.
#include <gtest/gtest.h>

#include <climits>

#include "platform/Numbers.h"

using namespace mirolanda::platform;

TEST(Numbers, LeadingNumberReadsSignDigitsAndPointOnly) {
    EXPECT_DOUBLE_EQ(LeadingNumber("3560"), 3560);
    EXPECT_DOUBLE_EQ(LeadingNumber("  12.5x"), 12.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("350円"), 350);
    EXPECT_DOUBLE_EQ(LeadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("e5"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("0x10"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e3"), 1);
    EXPECT_DOUBLE_EQ(LeadingNumber("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("7."), 7);
    EXPECT_DOUBLE_EQ(LeadingNumber("."), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("+"), 0);
}

TEST(Numbers, WholeNumberRefusesTrailingText) {
    EXPECT_EQ(WholeNumber(" 130.0 "), 130.0);
    EXPECT_EQ(WholeNumber("130%"), std::nullopt);
    EXPECT_EQ(WholeNumber(""), std::nullopt);
}

TEST(Numbers, RoundingSendsHalvesToTheEvenNeighbourAndKeepsTheRange) {
    EXPECT_EQ(RoundHalfEven(350.5, 0, 1000), 350);
    EXPECT_EQ(RoundHalfEven(351.5, 0, 1000), 352);
    EXPECT_EQ(RoundHalfEven(1000.6, 0, 1000), std::nullopt);
    EXPECT_EQ(CellToInt16("99999"), SHRT_MAX);
    EXPECT_EQ(CellToInt32("-1e99"), -1);
}

TEST(Numbers, LeadingIntegerFallsBackWhenThereIsNoNumber) {
    EXPECT_EQ(LeadingInteger(" 2", 0), 2);
    EXPECT_EQ(LeadingInteger("-1x", 0), -1);
    EXPECT_EQ(LeadingInteger("x", 7), 7);
    EXPECT_EQ(LeadingInteger("99999999999999999999999", 0), LeadingInteger("999999999999", 0));
}

TEST(Numbers, FormatNumberWritesPlainDecimalsThatReadBackTheSame) {
    EXPECT_EQ(FormatNumber(350), "350");
    EXPECT_EQ(FormatNumber(350.5), "350.5");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    // The shortest form of these has an exponent, which LeadingNumber would read as 1.
    for (double value : {100000.0, 1e9, 1e20, -2147483648.0}) {
        EXPECT_EQ(FormatNumber(value).find('e'), std::string::npos) << value;
        EXPECT_EQ(LeadingNumber(FormatNumber(value)), value) << value;
    }
}
