#include "quotes/CsvFile.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Errors.h"
#include "quotes/StockFile.h"
#include "platform/SjisText.h"
#include "support/TempFolder.h"

namespace mirolanda::quotes {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

const std::filesystem::path kData = MIROLANDA_TEST_DATA;

platform::Table ResultGrid(const std::vector<platform::Table::Row>& rows) {
    platform::Table grid(7);
    grid.SetHeading({"コード", "銘柄名", "始値", "高値", "安値", "終値", "出来高"});
    for (const auto& row : rows) grid.AddRow(row);
    return grid;
}

const std::vector<platform::Table::Row> kThreeIssues = {
    {"1301", "極洋", "350", "352", "348", "351", "123000"},
    {"1332", "  日本水産 ", "0", "0", "0", "0", "0"},      // blanks around the name are kept
    {"7203", "A\"B", "1200", "1250", "1190", "1234", "5000000000"},  // quote unchanged; volume past 32 bits
};

TEST(SaveDailyCsv, WritesTheDayFileByteForByte) {
    TempFolder temp;
    auto folder = temp / "CsvData";  // missing: created
    auto path = SaveDailyCsv(ResultGrid(kThreeIssues), folder, "20010517");
    EXPECT_EQ(path, folder / "20010517.csv");
    EXPECT_EQ(ReadAll(path), ReadAll(kData / "daily_20010517.csv"));
}

TEST(SaveDailyCsv, SecondSaveOfADayReplacesTheFirstAndAnEmptyGridEmptiesIt) {
    TempFolder temp;
    SaveDailyCsv(ResultGrid(kThreeIssues), temp.Path(), "20010517");
    SaveDailyCsv(ResultGrid({{"9999", "Z", "1", "2", "3", "4", "5"}}), temp.Path(), "20010517");
    EXPECT_EQ(ReadAll(temp / "20010517.csv"), "9999,\"Z\",1,2,3,4,5\r\n");
    SaveDailyCsv(ResultGrid({}), temp.Path(), "20010517");
    EXPECT_EQ(ReadAll(temp / "20010517.csv"), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);  // no temporaries left
}

TEST(SaveDailyCsv, RefusesWhatWouldSpoilTheFileAndKeepsTheOldOne) {
    TempFolder temp;
    SaveDailyCsv(ResultGrid(kThreeIssues), temp.Path(), "20010517");
    const std::string before = ReadAll(temp / "20010517.csv");
    struct Case {
        platform::Table::Row row;
        const char* why;
    };
    const Case cases[] = {
        {{"1301", "極洋", "abc", "352", "348", "351", "1"}, "price not a number"},
        {{"1301", "極洋", "350", "352", "348", "351", ""}, "empty volume"},
        {{"999", "極洋", "350", "352", "348", "351", "1"}, "code below 1000"},
        {{"1301", "極洋", "350", "352", "348", "351", "99999999999999999999"}, "volume past 64 bits"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_THROW(SaveDailyCsv(ResultGrid({kThreeIssues[0], c.row}), temp.Path(), "20010517"), platform::FormatError);
        EXPECT_EQ(ReadAll(temp / "20010517.csv"), before);
    }
    EXPECT_THROW(SaveDailyCsv(ResultGrid(kThreeIssues), temp.Path(), "../x"), platform::FileError);
    WriteAll(temp / "file", "x");
    EXPECT_THROW(SaveDailyCsv(ResultGrid(kThreeIssues), temp / "file" / "CsvData", "20010517"), platform::FileError);
}

TEST(SaveDailyCsv, LineBreakInANameCannotSplitTheLine) {
    TempFolder temp;
    auto path = SaveDailyCsv(ResultGrid({{"1301", "A\r\nB", "1", "2", "3", "4", "5"}}), temp.Path(), "20010517");
    auto lines = ReadDailyCsv(path);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Name, "A  B");
}

TEST(ReadDailyCsv, ReadsWhatSaveWroteIncludingQuotesAndCommasInNames) {
    TempFolder temp;
    auto rows = kThreeIssues;
    rows.push_back({"8001", "伊藤忠,\"商事\"", "-5", "10", "9", "2147483647", "9000000000000"});
    auto lines = ReadDailyCsv(SaveDailyCsv(ResultGrid(rows), temp.Path(), "20010517"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].Code, market::IssueCode(1301));
    EXPECT_EQ(lines[0].Name, "極洋");
    EXPECT_EQ(market::WholeYen(lines[0].Prices.Open), 350);
    EXPECT_EQ(market::WholeYen(lines[0].Prices.High), 352);
    EXPECT_EQ(market::WholeYen(lines[0].Prices.Low), 348);
    EXPECT_EQ(market::WholeYen(lines[0].Prices.Close), 351);
    EXPECT_EQ(lines[0].Prices.Volume, 123000);
    EXPECT_EQ(lines[1].Name, "  日本水産 ");
    EXPECT_EQ(lines[2].Name, "A\"B");
    EXPECT_EQ(lines[2].Prices.Volume, 5000000000);
    EXPECT_EQ(lines[3].Name, "伊藤忠,\"商事\"");
    EXPECT_EQ(market::WholeYen(lines[3].Prices.Open), -5);
    EXPECT_EQ(market::WholeYen(lines[3].Prices.Close), 2147483647);
    EXPECT_EQ(lines[3].Prices.Volume, 9000000000000);
}

TEST(ReadDailyCsv, AcceptsBlanksBeforeFieldsFractionsAndBlankLines) {
    TempFolder temp;
    auto path = temp / "20010517.csv";
    WriteAll(path, "1301, \"極洋\", 350, 352 ,348,350.5,100\r\n\r\n1332,\"B\",1,2,3,351.5,7.5\r\n1333,C,1,2,3,350.51,0\r\n");
    // The file is Shift_JIS; the test text above is UTF-8, so encode it first.
    WriteAll(path, platform::Utf8ToSjis(ReadAll(path)));
    auto lines = ReadDailyCsv(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Name, "極洋");
    EXPECT_EQ(market::WholeYen(lines[0].Prices.High), 352);
    EXPECT_EQ(market::WholeYen(lines[0].Prices.Close), 350);  // a half goes to the even neighbour
    EXPECT_EQ(market::WholeYen(lines[1].Prices.Close), 352);
    EXPECT_EQ(lines[1].Prices.Volume, 8);
    EXPECT_EQ(lines[2].Name, "C");  // an unquoted name is taken as it stands
    EXPECT_EQ(market::WholeYen(lines[2].Prices.Close), 351);
}

TEST(ReadDailyCsv, MalformedLineNamesFileAndLine) {
    struct Case {
        const char* line;
        const char* why;
    };
    const Case cases[] = {
        {"1301,\"A\",1,2,3,4", "six fields"},
        {"1301", "one field"},
        {"1301,\"A\",1,2,x,4,5", "a price that is not a number"},
        {"1301,\"A\",1,2,3,4,5a", "trailing letters"},
        {"1301,\"A\",1,2,3,,5", "an empty close"},
        {"999,\"A\",1,2,3,4,5", "code below 1000"},
        {"10000,\"A\",1,2,3,4,5", "code above 9999"},
        {"abcd,\"A\",1,2,3,4,5", "code not a number"},
        {"13B0,\"A\",1,2,3,4,5", "a letter no code uses"},
        {"13A0,\"A\",1,2,3,4,5", "a letter where no code has one"},
        {"130a,\"A\",1,2,3,4,5", "a small letter"},
        {"1301,\"A\",1,2,3,2147483648,5", "close past 32 bits"},
        {"1301,\"A\",1,2,3,-1,5", "a close of -1 would mark an empty history entry"},
        {"1301,\"A,1,2,3,4,5", "unclosed quote"},
        {"1301,\"A\",1,2,3,4,99999999999999999999", "volume past 64 bits"},
    };
    TempFolder temp;
    auto path = temp / "20010517.csv";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        WriteAll(path, std::string("1301,\"A\",1,2,3,4,5\r\n1302,\"B\",1,2,3,4,5\r\n") + c.line + "\r\n");
        try {
            ReadDailyCsv(path);
            ADD_FAILURE() << "no error for " << c.line;
        } catch (const platform::FormatError& e) {
            EXPECT_EQ(e.Path(), path);
            EXPECT_EQ(e.Line(), 3);
            EXPECT_NE(std::string(e.what()).find("3行目"), std::string::npos) << e.what();
        }
    }
}

TEST(NewestDailyCsv, TakesTheLatestDayNamedFileAndReadsItBackIntoTheGrid) {
    TempFolder temp;
    auto folder = temp / "CsvData";
    EXPECT_FALSE(NewestDailyCsv(folder));  // no folder yet
    SaveDailyCsv(ResultGrid({kThreeIssues[0]}), folder, "20261204");
    SaveDailyCsv(ResultGrid(kThreeIssues), folder, "20261207");
    // Names that only look like a day's file, and a folder named like one, are passed over.
    for (const char* other : {"x20271231.csv", "20271231.csv.tmp", "20271331.csv", "2027123.csv"}) WriteAll(folder / other, "");
    std::filesystem::create_directories(folder / "20281231.csv");
    ASSERT_EQ(NewestDailyCsv(folder), std::optional(folder / "20261207.csv"));

    platform::Table grid(3);
    LoadDailyCsv(folder / "20261207.csv", grid);
    EXPECT_EQ(grid.ColumnCount(), 7);
    ASSERT_TRUE(grid.HasHeading());
    EXPECT_EQ(grid.Heading().at(5), "終値");
    EXPECT_EQ(grid.Rows(), kThreeIssues);
}

TEST(ReadDailyCsv, MissingFileIsAFileError) {
    TempFolder temp;
    EXPECT_THROW(ReadDailyCsv(temp / "20010517.csv"), platform::FileError);
}

TEST(DateFromCsvFileName, AcceptsOnlyDailyCsvNames) {
    struct Case {
        std::string path, expected;
    };
    const Case cases[] = {
        {"C:\\data\\20010517.csv", "20010517"},
        {"/home/u/CsvData/20010517.CSV", "20010517"},
        {"x20010517.csv", "20010517"},
        {"20010517.Csv", "20010517"},
        {"20010231.CSV", "20010231"},
        {"19000101.csv", "19000101"},
        {"20991231.csv", "20991231"},
        {"20011317.CSV", ""},
        {"18991231.CSV", ""},
        {"21000101.CSV", ""},
        {"20010500.CSV", ""},
        {"20010532.CSV", ""},
        {"20010017.CSV", ""},
        {"20010517.TXT", ""},
        {"20010517.csv.bak", ""},
        {"1.csv", ""},
        {"", ""},
        // The date part must be digits: these would otherwise give a non-date.
        {"20011x01.csv", ""},
        {"2001 101.csv", ""},
        {"2001-5-1.csv", ""},
        {"200１0517.csv", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateFromCsvFileName(c.path), c.expected) << c.path;
    }
}

}  // namespace
}  // namespace mirolanda::quotes

// A code with letters goes through the grid, the daily CSV and the filing like a numeric one,
// into its own history file; numeric codes keep their form.
namespace mirolanda::quotes {

TEST(CodesWithLetters, SaveReadAndFileLikeNumericCodes) {
    testing::TempFolder temp;
    const platform::Table grid = ResultGrid({{"1301", "極洋", "1", "2", "3", "350", "5"},
                                             {"130A", "Veritas In Silico", "512", "520", "500", "513", "900"}});
    const auto csv = SaveDailyCsv(grid, temp / "CsvData", "20260116");
    EXPECT_EQ(testing::ReadAll(csv), platform::Utf8ToSjis("1301,\"極洋\",1,2,3,350,5\r\n"
                                                          "130A,\"Veritas In Silico\",512,520,500,513,900\r\n"));
    const auto lines = ReadDailyCsv(csv);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].Code.Text(), "130A");
    EXPECT_FALSE(lines[1].Code.IsNumeric());
    EXPECT_TRUE(lines[0].Code.IsNumeric());

    ASSERT_EQ(quotes::ConvertCsvToIssueFiles(csv, temp / "StockData"), quotes::FilingResult::Filed);
    const auto letters = *market::IssueCode::Parse("130A");
    EXPECT_TRUE(std::filesystem::exists(temp / "StockData" / "130A.dat"));
    EXPECT_EQ(quotes::ReadIssueRecord(temp / "StockData", letters).Days[0].Price, 513);
    EXPECT_EQ(quotes::NewestHistoryDate(temp / "StockData"), (platform::Date{2026, 1, 16}));

    const platform::Table bad = ResultGrid({{"13B0", "x", "1", "1", "1", "1", "1"}});
    EXPECT_THROW(SaveDailyCsv(bad, temp / "CsvData", "20260119"), platform::FormatError);

    // The program's order: numeric codes by number, letters after the numeric codes of their prefix.
    std::vector<market::IssueCode> codes = {*market::IssueCode::Parse("1310"), letters, 9999, 1301,
                                            *market::IssueCode::Parse("1A00"), 2000};
    std::sort(codes.begin(), codes.end());
    std::vector<std::string> texts;
    for (const auto& code : codes) texts.push_back(code.Text());
    EXPECT_EQ(texts, (std::vector<std::string>{"1301", "130A", "1310", "1A00", "2000", "9999"}));
}

}  // namespace mirolanda::quotes
