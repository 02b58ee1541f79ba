#include "quotesite/HtmlCommon.h"

#include <gtest/gtest.h>

#include <limits>

namespace mirolanda::quotesite {
namespace {

struct FindLineCase {
    std::vector<std::string> lines;
    std::string key;
    std::string found;
    std::string next;  // the line read after the call
};

TEST(FindLine, ReturnsTheMatchAndLeavesTheFileAfterIt) {
    const FindLineCase cases[] = {
        {{"a", "<tr align=right>", "cell", "z"}, "<tr align=right>", "<tr align=right>", "cell"},
        {{"a", "<TR ALIGN=RIGHT>", "cell"}, "<tr align=right>", "<TR ALIGN=RIGHT>", "cell"},
        {{"x <Tr Align=Right> y", "cell"}, "<tr align=right>", "x <Tr Align=Right> y", "cell"},
        {{"現在の日時：15:30", "row"}, "現在の日時", "現在の日時：15:30", "row"},
        // The first of several matches.
        {{"key 1", "key 2", "rest"}, "KEY", "key 1", "key 2"},
    };
    for (const auto& c : cases) {
        LineReader file(c.lines);
        EXPECT_EQ(FindLine(file, c.key), c.found) << c.key;
        EXPECT_EQ(file.ReadLine(), c.next) << c.key;
    }
}

TEST(FindLine, MatchOnLastLineOrNoMatchGivesEmptyAtEnd) {
    const FindLineCase cases[] = {
        {{"a", "b", "<tr align=right>"}, "<tr align=right>", "", ""},
        {{"a", "b"}, "<tr align=right>", "", ""},
        {{}, "<tr align=right>", "", ""},
        // Only ASCII letters fold: é and É are different characters.
        {{"CAFÉ", "x"}, "café", "", ""},
    };
    for (const auto& c : cases) {
        LineReader file(c.lines);
        EXPECT_EQ(FindLine(file, c.key), "") << c.key;
        EXPECT_TRUE(file.AtEnd());
        EXPECT_EQ(file.ReadLine(), "");  // never reads past the end
    }
}

TEST(TextBetween, CutsBetweenMarkers) {
    struct Case {
        std::string text, start, end, expected;
    };
    const Case cases[] = {
        {R"(<td><a href="/q?s=1301&d=t">1301</a></td>)", "s=", "&d=", "1301"},
        {R"(<a href="/q?s=1301.t&d=t">)", "s=", "&d=", "1301.t"},
        {R"(<A HREF="/Q?S=7203.T&D=T">)", "s=", "&d=", "7203.T"},
        {"<td><B>1,234</b></td>", "<b>", "</b>", "1,234"},
        {"no marker here", "s=", "&d=", ""},
        {"", "s=", "&d=", ""},
        // Start marker without an end marker after it.
        {"/q?s=1301", "s=", "&d=", ""},
        {"&d= before s=1301", "s=", "&d=", ""},
        // The end marker is looked for after the start marker, never inside it.
        {"abcb", "ab", "b", "c"},
        {"s=&d=", "s=", "&d=", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextBetween(c.text, c.start, c.end), c.expected) << c.text;
    }
}

TEST(StripTags, RemovesTagsOnly) {
    struct Case {
        std::string text, expected;
    };
    const Case cases[] = {
        {"<td nowrap><b>1,234</b></td>", "1,234"},
        {"a > b", "a > b"},
        {"<td>  トヨタ自動車 </td>", "  トヨタ自動車 "},
        {"&nbsp;x&amp;y", "&nbsp;x&amp;y"},
        // A further "<" inside a tag is dropped with the tag.
        {"a<b<c>d", "ad"},
        {"keep<unclosed", "keep"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StripTags(c.text), c.expected) << c.text;
    }
}

TEST(StripTags, HandlesTextBeyondSixteenBitLength) {
    std::string text = "<b>" + std::string(70000, 'x') + "</b>";
    EXPECT_EQ(StripTags(text).size(), 70000u);
}

TEST(ParseNumber, ReadsDigitsWithCommas) {
    struct Case {
        std::string text;
        int64_t expected;
    };
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    const Case cases[] = {
        {"1,234", 1234},
        {"12,000", 12000},
        {"", 0},
        {"---", 0},
        {"1,,2", 12},
        // Leading text is skipped; the scan ends at the first other character after digits.
        {"¥1,000円", 1000},
        {"1,234.5", 1234},
        {"12 34", 12},
        {"+12", 12},
        {"0.98%", 0},
        // Never wraps: beyond 32 bits the value is exact, beyond 64 bits it saturates.
        {"2,147,483,648", 2147483648LL},
        {"4,294,967,296,000", 4294967296000LL},
        {"9,223,372,036,854,775,807", kMax},
        {"9,223,372,036,854,775,808", kMax},
        {"99999999999999999999999", kMax},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumber(c.text), c.expected) << c.text;
    }
}

TEST(ParseNumber, HandlesTextBeyondSixteenBitLength) {
    std::string text(40000, ' ');
    text += "7";
    EXPECT_EQ(ParseNumber(text), 7);
}


}  // namespace
}  // namespace mirolanda::quotesite
