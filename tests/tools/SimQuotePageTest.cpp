#include "tools/SimQuotePage.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/SjisText.h"
#include "platform/TextFields.h"
#include "quotes/CsvFile.h"
#include "quotes/ResultGrid.h"
#include "quotesite/QuotePage.h"
#include "support/TempFolder.h"
#include "tools/Encoding.h"

namespace mirolanda::tools {
namespace {

const platform::Date kDay{2026, 12, 7};

std::vector<std::string> Block(int first, int count) {
    std::vector<std::string> codes;
    for (int c = first; c < first + count; ++c) codes.push_back(std::to_string(c));
    return codes;
}

// What the program's parser reads from a page (8 columns: the link code last).
platform::Table Parse(const std::string& utf8Page) {
    platform::Table grid(quotesite::kQuoteColumns);
    quotesite::LineReader reader(platform::SplitLines(utf8Page));
    quotesite::ParseQuoteLines(grid, reader);
    return grid;
}

std::vector<const Issue*> Listed(const Market& market, const std::vector<std::string>& codes) {
    std::vector<const Issue*> issues;
    for (const auto& c : codes)
        if (const Issue* i = market.Find(std::stoi(c))) issues.push_back(i);
    return issues;
}

TEST(QuotePage, EveryListedCodeParsesBackWithItsFigures) {
    Market market;
    for (int first : {1000, 4650, 9950}) {
        auto codes = Block(first, 50);
        platform::Table grid = Parse(QuotePageUtf8(market, kDay, codes));
        auto listed = Listed(market, codes);
        ASSERT_EQ(grid.RowCount(), static_cast<int>(listed.size())) << first;
        ASSERT_GT(listed.size(), 5u);
        for (int r = 0; r < grid.RowCount(); ++r) {
            const Issue& issue = *listed[static_cast<size_t>(r)];
            DayQuote q = market.Quote(issue, kDay);
            std::vector<std::string> want = {std::to_string(issue.Code), issue.Name, std::to_string(q.Open),
                                             std::to_string(q.High),     std::to_string(q.Low), std::to_string(q.Close),
                                             std::to_string(q.Volume),   issue.Link};
            EXPECT_EQ(grid.RowAt(r), want) << issue.Code;
        }
    }
}

TEST(QuotePage, UntradedIssuesReadAsZeroAndUnknownCodesAddNoRow) {
    Market market;
    const Issue* quiet = nullptr;
    for (const Issue& i : market.Issues())
        if (!market.Quote(i, kDay).Traded) quiet = &i;
    ASSERT_NE(quiet, nullptr);
    int unknown = 1000;
    while (market.Find(unknown)) ++unknown;

    std::vector<std::string> codes = {std::to_string(unknown), std::to_string(quiet->Code), "<script>", "12345678"};
    std::string page = QuotePageUtf8(market, kDay, codes);
    platform::Table grid = Parse(page);
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.Cell(0, 2) + grid.Cell(0, 3) + grid.Cell(0, 4) + grid.Cell(0, 6), "0000");
    EXPECT_EQ(grid.Cell(0, 5), std::to_string(market.Quote(*quiet, kDay).Close));
    // A request's text is never echoed unless it is a plain number.
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("12345678"), std::string::npos);
    EXPECT_NE(page.find("<td>" + std::to_string(unknown) + "</td>"), std::string::npos);
}

TEST(QuotePage, FaultShapesListFewerIssuesOrStopMidRow) {
    Market market;
    auto codes = Block(2000, 50);
    size_t listed = Listed(market, codes).size();
    ASSERT_GE(listed, 4u);

    EXPECT_EQ(Parse(QuotePageUtf8(market, kDay, codes, PageShape::Fewer)).RowCount(), static_cast<int>(listed / 2));

    std::string cut = QuotePageUtf8(market, kDay, codes, PageShape::Cut);
    std::string full = QuotePageUtf8(market, kDay, codes);
    EXPECT_LT(cut.size(), full.size());
    EXPECT_EQ(full.rfind(cut, 0), 0u);  // a prefix of the real page
    EXPECT_EQ(cut.find("</html>"), std::string::npos);
    EXPECT_NE(cut.back(), '\n');  // stops inside a line
    EXPECT_LT(Parse(cut).RowCount(), static_cast<int>(listed));
    // Even a page without a listed issue can be cut, and stays valid text for EUC-JP.
    EXPECT_NO_THROW(QuotePageEucJp(market, kDay, {"999"}, PageShape::Cut));
}

TEST(QuotePage, EucJpKeepsEveryNameCharacter) {
    Market market;
    auto codes = Block(1000, 200);
    std::string utf8 = QuotePageUtf8(market, kDay, codes);
    std::string euc = QuotePageEucJp(market, kDay, codes);
    ASSERT_NE(utf8.find("㈱"), std::string::npos);
    EXPECT_NE(euc.find("\xAD\xEA"), std::string::npos);  // ㈱ in the NEC row of EUC-JP
    EXPECT_NE(euc.find("\x8E"), std::string::npos);      // half-width katakana
    // Converted the way the program converts (EUC-JP → CP932), the names are all there.
    EXPECT_EQ(EucJpToUtf8(euc), utf8);
    EXPECT_EQ(platform::SjisToUtf8(platform::Utf8ToSjis(utf8)), utf8);
}

TEST(QuotePage, SplitsJoinedCodes) {
    EXPECT_EQ(SplitCodes("1301+1332+9999"), (std::vector<std::string>{"1301", "1332", "9999"}));
    EXPECT_EQ(SplitCodes("1301"), (std::vector<std::string>{"1301"}));
    EXPECT_EQ(SplitCodes("+1301++1332+"), (std::vector<std::string>{"1301", "1332"}));
    EXPECT_TRUE(SplitCodes("").empty());
    EXPECT_EQ(GroupDigits(0), "0");
    EXPECT_EQ(GroupDigits(999), "999");
    EXPECT_EQ(GroupDigits(1000), "1,000");
    EXPECT_EQ(GroupDigits(3123456789), "3,123,456,789");
}

// The CSV the program writes from the 180 pages of a day is the file the library expects.
TEST(QuotePage, ExpectedCsvIsWhatTheProgramWritesFromTheDaysPages) {
    Market market;
    int bigVolumes = 0;  // the day must hold volumes past 32 bits for the comparison to cover them
    for (const Issue& issue : market.Issues()) bigVolumes += market.Quote(issue, kDay).Volume > INT32_MAX;
    ASSERT_GT(bigVolumes, 0);
    platform::Table grid(quotesite::kResultColumns);
    quotes::ResetResultGrid(grid);
    for (int first = 1000; first <= 9950; first += 50) {
        quotesite::LineReader reader(platform::SplitLines(QuotePageUtf8(market, kDay, Block(first, 50))));
        quotesite::ParseQuoteLines(grid, reader);
    }
    ASSERT_EQ(grid.RowCount(), static_cast<int>(market.Issues().size()));
    testing::TempFolder folder;
    auto path = quotes::SaveDailyCsv(grid, folder.Path(), "20261207");
    std::string expected = ExpectedDailyCsv(market, kDay);
    EXPECT_EQ(testing::ReadAll(path), expected);
    EXPECT_NE(expected.find("\x87\x8A"), std::string::npos);  // ㈱ in CP932
}

// The same through the real conversion library, as a download stores each answer.
TEST(QuotePage, EucJpPagesImportThroughKodemorphIntact) {
    Market market;
    testing::TempFolder folder;
    platform::Table viaKodemorph(quotesite::kResultColumns), direct(quotesite::kResultColumns);
    for (int first : {1000, 1300, 5000, 9950}) {
        auto codes = Block(first, 50);
        quotesite::ImportQuotePage(viaKodemorph, QuotePageEucJp(market, kDay, codes), folder / "Temp");
        quotesite::LineReader reader(platform::SplitLines(QuotePageUtf8(market, kDay, codes)));
        quotesite::ParseQuoteLines(direct, reader);
    }
    ASSERT_GT(direct.RowCount(), 40);
    EXPECT_EQ(viaKodemorph.Rows(), direct.Rows());
}

}  // namespace
}  // namespace mirolanda::tools
