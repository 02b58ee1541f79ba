#include "quotesite/QuotePage.h"
#include "quotes/ResultGrid.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Errors.h"
#include "support/TempFolder.h"

namespace mirolanda::quotesite {
namespace {

namespace fs = std::filesystem;
using platform::Table;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;
using testing::WriteAll;

const fs::path kData = MIROLANDA_TEST_DATA;

// What the hand-written page in data/ lists, in page order.
const std::vector<Table::Row> kPageRows = {
    {"1301", "極洋", "1200", "1250", "1190", "1234", "123000"},
    {"1332", "日本水産", "450", "460", "449", "456", "2345600"},
    {"7203", "  トヨタ自動車 ", "0", "2110", "2090", "2100", "0"},
    {"8301", "怪しいリンク", "490", "510", "480", "500", "1000"},
    {"8306", "大出来高", "790", "805", "785", "800", "4294967296000"},
    {"6758", "ソニーグループ", "12300", "12400", "12200", "12345", "5000"},
};
const std::vector<std::string> kPageLinks = {"1301.t", "1332.t", "7203.t", "", "8306.t", "6758.t"};

struct Cells {
    std::string code = R"(<a href="/q?s=1301.t&d=t">1301</a>)";
    std::string name = "極洋";
    std::string close = "1,234", volume = "100", open = "1,200", high = "1,250", low = "1,190";
};

// One issue row as the page writes it: the row start and its ten cell lines.
std::vector<std::string> RowLines(const Cells& c) {
    return {"<tr align=right>",
            "<td nowrap>" + c.code + "</td>",
            "<td nowrap align=left><small>" + c.name + "</small></td>",
            "<td nowrap>15:00</td>",
            "<td nowrap><b>" + c.close + "</b></td>",
            "<td nowrap>+12</td>",
            "<td nowrap>+0.98%</td>",
            "<td nowrap>" + c.volume + "</td>",
            "<td nowrap>" + c.open + "</td>",
            "<td nowrap>" + c.high + "</td>",
            "<td nowrap>" + c.low + "</td>",
            "</tr>"};
}

std::vector<std::string> Page(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> lines = {"<html>", "<small>現在の日時：15:30</small>", "<table>"};
    for (const auto& row : rows) lines.insert(lines.end(), row.begin(), row.end());
    lines.push_back("</table></html>");
    return lines;
}

Table Parse(const std::vector<std::string>& lines, int columns = kResultColumns) {
    Table grid(columns);
    LineReader file(lines);
    ParseQuoteLines(grid, file);
    return grid;
}

TEST(ResetResultGrid, LeavesSevenColumnsAndOnlyTheHeading) {
    Table grid(kQuoteColumns);
    grid.AddRow({"1301", "x", "1", "2", "3", "4", "5", "1301.t"});
    quotes::ResetResultGrid(grid);
    EXPECT_EQ(grid.ColumnCount(), 7);
    EXPECT_EQ(grid.RowCount(), 0);
    ASSERT_TRUE(grid.HasHeading());
    EXPECT_EQ(grid.Heading(), (Table::Row{"銘柄コード", "銘柄名", "始値", "高値", "安値", "終値", "出来高"}));
}

TEST(QuoteRequestPath, JoinsCodesWithPlus) {
    std::string path = QuoteRequestPath(1000, 50);
    EXPECT_EQ(std::count(path.begin(), path.end(), '+'), 49);
    EXPECT_EQ(path.rfind("/q?s=1000+1001+", 0), 0u);
    EXPECT_TRUE(path.ends_with("+1048+1049&d=v2")) << path;
    EXPECT_EQ(QuoteRequestPath({1301, 7203, 9984}), "/q?s=1301+7203+9984&d=v2");
    EXPECT_EQ(QuoteRequestPath({8306}), "/q?s=8306&d=v2");
    EXPECT_EQ(QuoteRequestPath(9950, 50).substr(5, 10), "9950+9951+");
}

// A page whose last table or row is never closed was cut short; markers in any case count.
TEST(QuotePageCutShort, AnOpenTableOrRowAtTheEndIsACutPage) {
    struct Case {
        const char* page;
        bool cut;
    };
    for (const Case& c : {Case{"<table><tr align=right><td>1</td></tr></table></html>", false},
                          Case{"<TABLE><TR ALIGN=RIGHT><td>1</td></TR></Table>", false},
                          Case{"<table><tr align=right><td>1</td>", true},
                          Case{"<TABLE><TR ALIGN=RIGHT><td>1", true},
                          Case{"<table></table><table><tr align=right>", true},  // the second table is open
                          Case{"<html>no table at all</html>", false},
                          Case{"", false}}) {
        EXPECT_EQ(QuotePageCutShort(c.page).empty(), !c.cut) << c.page;
    }
}

// Only a page with the date line and a table after it is a quote page; a cut one is cut first.
TEST(CheckQuotePage, AnswerWithoutTheQuotePagesStructureIsNoQuotePage) {
    const std::string date = "\xB8\xBD\xBA\xDF\xA4\xCE\xC6\xFC\xBB\xFE";  // 現在の日時 in EUC-JP
    struct Case {
        std::string page;
        std::string problem;
    };
    const Case cases[] = {
        {"<td>" + date + "</td><TABLE><tr align=right><td>1</td></tr></table>", ""},
        {"<td>" + date + "</td><table><tr align=right><td>1", "ページが途中で切れています"},
        {"<html><body>maintenance</body></html>", "株価ページではありません"},
        {"<table><tr align=right><td>1</td></tr></table>", "株価ページではありません"},  // no date line
        {"<table></table><td>" + date + "</td>", "株価ページではありません"},           // no table after it
        {"\x01\xff\x80garbage", "株価ページではありません"},
        {"", "株価ページではありません"},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckQuotePage(c.page), c.problem) << c.page;
}

TEST(ParseQuoteFile, ReadsTheHandWrittenPage) {
    Table grid;
    quotes::ResetResultGrid(grid);
    ParseQuoteFile(grid, kData / "quote_page.sjis");
    EXPECT_EQ(grid.Rows(), kPageRows);
    EXPECT_TRUE(grid.HasHeading());
}

TEST(ParseQuoteFile, EightColumnsAddTheCheckedLinkCode) {
    Table grid(kQuoteColumns);
    ParseQuoteFile(grid, kData / "quote_page.sjis");
    ASSERT_EQ(grid.RowCount(), static_cast<int>(kPageRows.size()));
    for (int r = 0; r < grid.RowCount(); ++r) {
        Table::Row expected = kPageRows[static_cast<size_t>(r)];
        expected.push_back(kPageLinks[static_cast<size_t>(r)]);
        EXPECT_EQ(grid.RowAt(r), expected);
    }
}

TEST(ParseQuoteFile, OtherWidthsEmptyAndMissingFiles) {
    Table six(6);
    ParseQuoteFile(six, kData / "quote_page.sjis");
    EXPECT_EQ(six.RowCount(), 0);

    TempFolder temp;
    WriteAll(temp / "empty.sjis", "");
    Table grid(kResultColumns);
    ParseQuoteFile(grid, temp / "empty.sjis");
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_THROW(ParseQuoteFile(grid, temp / "missing.sjis"), platform::FileError);
}

TEST(ParseQuoteLines, NothingBeforeTheDateLineCounts) {
    std::vector<std::string> lines = RowLines({});
    EXPECT_EQ(Parse(lines).RowCount(), 0);
    lines.push_back("現在の日時");
    EXPECT_EQ(Parse(lines).RowCount(), 0);
    auto after = RowLines({});
    lines.insert(lines.end(), after.begin(), after.end());
    EXPECT_EQ(Parse(lines).RowCount(), 1);
}

TEST(ParseQuoteLines, PageCutInsideARowDropsThatRow) {
    std::vector<std::string> full = Page({RowLines({})});
    const auto start = std::find(full.begin(), full.end(), "<tr align=right>") - full.begin();
    // Keep the row start and k of its ten cell lines; only a complete row counts.
    for (ptrdiff_t k = 0; k <= 10; ++k) {
        std::vector<std::string> cut(full.begin(), full.begin() + start + 1 + k);
        EXPECT_EQ(Parse(cut).RowCount(), k == 10 ? 1 : 0) << k << " cell lines";
    }
    std::vector<std::string> cutNoMatch = {"現在の日時", "<tr align=right>", "<td>1333</td>"};
    EXPECT_EQ(Parse(cutNoMatch).RowCount(), 0);
}

TEST(ParseQuoteLines, NoMatchRowTakesTwoLines) {
    std::vector<std::string> lines = {"現在の日時", "<tr align=right>", "<td>1333</td>",
                                      "<td colspan=9><b>一致する銘柄はありません</b></td>"};
    auto next = RowLines({});
    lines.insert(lines.end(), next.begin(), next.end());
    Table grid = Parse(lines);
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.Cell(0, 0), "1301");
}

TEST(ParseQuoteLines, NameKeepsBlanksButNoTab) {
    Cells cells;
    cells.name = " \tＡ&amp;Ｂ\t ";
    Table grid = Parse(Page({RowLines(cells)}));
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.Cell(0, 1), "  Ａ&amp;Ｂ  ");
}

TEST(ParseQuoteLines, CodeCellMustBeAFourDigitCode) {
    struct Case {
        std::string cell;
        std::string code;  // "" when the row is dropped
    };
    const Case cases[] = {
        {R"(<a href="/q?s=1301.t&d=t">1301</a>)", "1301"},
        {"1000", "1000"},
        {"9999", "9999"},
        {" 7203 ", "7203"},
        {"999", ""},
        {"0999", ""},
        {"10000", ""},
        {"65537", ""},
        {"-1301", ""},
        {"13O1", ""},
        {"１３０１", ""},
        {"1301.t", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        Cells cells;
        cells.code = c.cell;
        Table grid = Parse(Page({RowLines(cells), RowLines({})}));
        // The following good row is parsed either way.
        ASSERT_EQ(grid.RowCount(), c.code.empty() ? 1 : 2) << c.cell;
        if (!c.code.empty()) {
            EXPECT_EQ(grid.Cell(0, 0), c.code) << c.cell;
        }
    }
}

TEST(ParseQuoteLines, PriceBeyond32BitsDropsTheRowVolumeDoesNot) {
    const std::string kMaxPrice = "2,147,483,647", kTooBig = "2,147,483,648";
    Cells ok;
    ok.close = ok.open = ok.high = ok.low = kMaxPrice;
    ok.volume = "9,000,000,000,000";
    Table grid = Parse(Page({RowLines(ok)}));
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.RowAt(0), (Table::Row{"1301", "極洋", "2147483647", "2147483647", "2147483647", "2147483647",
                                         "9000000000000"}));

    std::string Cells::*prices[] = {&Cells::close, &Cells::open, &Cells::high, &Cells::low};
    for (auto price : prices) {
        Cells big;
        big.*price = kTooBig;
        EXPECT_EQ(Parse(Page({RowLines(big)})).RowCount(), 0);
    }
    Cells hugeVolume;
    hugeVolume.volume = "99,999,999,999,999,999,999";
    EXPECT_EQ(Parse(Page({RowLines(hugeVolume)})).RowCount(), 0);
}

TEST(ParseQuoteLines, LinkCodeKeptOnlyWhenPlain) {
    struct Case {
        std::string target, link;
    };
    const Case cases[] = {
        {"1301.t", "1301.t"},
        {"1301", "1301"},
        {"7203.T", "7203.T"},
        {"../../etc/passwd", ""},
        {"a/b", ""},
        {"a\\b", ""},
        {".t", ""},
        {"..", ""},
        {"1301.t%2F", ""},
        {"1301 t", ""},
        {"1301.t'onload=x", ""},
        {"１３０１", ""},
        {std::string(32, '1'), std::string(32, '1')},
        {std::string(33, '1'), ""},
    };
    for (const auto& c : cases) {
        Cells cells;
        cells.code = R"(<a href="/q?s=)" + c.target + R"(&d=t">1301</a>)";
        Table grid = Parse(Page({RowLines(cells)}), kQuoteColumns);
        ASSERT_EQ(grid.RowCount(), 1) << c.target;
        EXPECT_EQ(grid.Cell(0, 7), c.link) << c.target;
        EXPECT_EQ(grid.Cell(0, 0), "1301");
    }
}

TEST(DeleteTempFile, WaitsForAHeldFileThenGivesUp) {
    TempFolder temp;
    const fs::path held = temp / "result.euc";
    // A non-empty folder cannot be removed: it stands in for a file another process holds.
    fs::create_directory(held);
    WriteAll(held / "lock", "x");
    int pumps = 0;
    platform::Progress releaseOnThird;
    releaseOnThird.Pump = [&] {
        if (++pumps == 3) fs::remove(held / "lock");
    };
    DeleteTempFile(held, releaseOnThird, std::chrono::minutes(1));
    EXPECT_FALSE(fs::exists(held));
    EXPECT_EQ(pumps, 3);

    fs::create_directory(held);
    WriteAll(held / "lock", "x");
    try {
        DeleteTempFile(held, {}, std::chrono::milliseconds(0));
        ADD_FAILURE() << "no error for a file that stays held";
    } catch (const platform::FileError& e) {
        EXPECT_EQ(e.Path(), held);
    }
    EXPECT_NO_THROW(DeleteTempFile(temp / "missing", {}, std::chrono::milliseconds(0)));
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

TEST(ImportQuotePage, ParsesTheResponseAndLeavesNoTemporaryFile) {
    TempFolder temp;
    const fs::path folder = temp / "Temp";  // created by the call
    fs::create_directory(folder.parent_path());
    Table grid;
    quotes::ResetResultGrid(grid);
    ImportQuotePage(grid, ReadAll(kData / "quote_page.euc"), folder);
    EXPECT_EQ(grid.Rows(), kPageRows);
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST(ImportQuotePage, StaleLongerResultIsReplacedNotOverlaid) {
    TempFolder temp;
    // A stale page twice as long whose tail holds one more issue row.
    std::string stale = ReadAll(kData / "quote_page.euc");
    WriteAll(temp / "result.euc", stale + stale);
    WriteAll(temp / "result.sjis", ReadAll(kData / "quote_page.sjis") + ReadAll(kData / "quote_page.sjis"));
    std::string page = "<html>\n\xB8\xBD\xBA\xDF\xA4\xCE\xC6\xFC\xBB\xFE\n</html>\n";  // 現在の日時 in EUC-JP
    Table grid(kResultColumns);
    ImportQuotePage(grid, page, temp.Path());
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_TRUE(FilesIn(temp.Path()).empty());
}

TEST(ImportQuotePage, FailuresStillRemoveTheTemporaryFiles) {
    TempFolder temp;
    Table grid(kResultColumns);
    // The target of the conversion is a folder: the library cannot write it and the parse
    // cannot read it, so the call fails after result.euc was written.
    fs::create_directory(temp / "result.sjis");
    EXPECT_THROW(ImportQuotePage(grid, ReadAll(kData / "quote_page.euc"), temp.Path()), std::exception);
    EXPECT_TRUE(FilesIn(temp.Path()).empty());

    // An empty body converts to an empty page: no rows, no error, nothing left behind.
    ImportQuotePage(grid, "", temp.Path());
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_TRUE(FilesIn(temp.Path()).empty());

    // A missing parent folder is made too; a path under a file cannot be.
    ImportQuotePage(grid, "x", temp / "no" / "Temp");
    EXPECT_TRUE(FilesIn(temp / "no" / "Temp").empty());
    WriteAll(temp / "file", "x");
    EXPECT_THROW(ImportQuotePage(grid, "x", temp / "file" / "Temp"), platform::FileError);
}

}  // namespace
}  // namespace mirolanda::quotesite
