// The holdings file: what is written for a table, what reads back, and what a damaged file
// gives.
#include <gtest/gtest.h>

#include "holdings/BuyData.h"
#include "platform/SjisText.h"
#include "support/TempFolder.h"

namespace mirolanda::holdings {
namespace {

using platform::Table;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

Table Holdings(std::vector<Table::Row> rows) {
    Table table(kBuyColumns);
    for (auto& row : rows) table.AddRow(std::move(row));
    return table;
}

TEST(BuyDataTest, MissingFileGivesEmptyTableAndWritesNothing) {
    TempFolder temp;
    Table table = Holdings({{"1", "2", "3", "4", "5"}});
    auto load = LoadBuyData(table, temp / "Setting");
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(table.ColumnCount(), kBuyColumns);
    EXPECT_TRUE(load.Problems.empty());
    EXPECT_TRUE(load.Message().empty());
    EXPECT_FALSE(std::filesystem::exists(temp / "Setting"));
}

TEST(BuyDataTest, SaveMatchesGoldenBytesAndCreatesFolder) {
    TempFolder temp;
    Table table = Holdings({
        {"1301", "極洋                ", "2001/05/07", "350.5", "1000"},
        {"7203", "トヨタ自動車", " 2001/05/08 ", "351.5", "200"},
        {"1301", "A,B", "2001/05/09", "-12", "-3"},
    });
    SaveBuyData(table, temp / "Setting");
    EXPECT_EQ(ReadAll(temp / "Setting" / "売買情報.txt"), ReadAll(MIROLANDA_TEST_DATA "/holdings_three.txt"));
}

TEST(BuyDataTest, EmptyTableIsAnEmptyFile) {
    TempFolder temp;
    WriteAll(BuyDataPath(temp.Path()), "1301,\"A\",\"2001/05/07\",1,1\r\n");
    SaveBuyData(Table(kBuyColumns), temp.Path());
    EXPECT_EQ(ReadAll(BuyDataPath(temp.Path())), "");
    Table table;
    LoadBuyData(table, temp.Path());
    EXPECT_EQ(table.RowCount(), 0);
}

TEST(BuyDataTest, RoundTripNormalisesAsTheFileDoes) {
    TempFolder temp;
    Table table = Holdings({
        {"1301", "A, B  ", "2001/05/07", "350.5", "1000"},
        {"1301", "極洋", "2001/05/08", "351.5", "2000"},
        {"1301", "極洋", "2001/05/09", "350円", "3000株"},
        {" 7203", "  spaced  ", "2001/05/10", "1e3", "7"},
    });
    SaveBuyData(table, temp.Path());
    Table back;
    auto load = LoadBuyData(back, temp.Path());
    ASSERT_TRUE(load.Problems.empty()) << load.Message();
    std::vector<Table::Row> expected = {
        {"1301", "A, B", "2001/05/07", "350", "1000"},
        {"1301", "極洋", "2001/05/08", "352", "2000"},
        {"1301", "極洋", "2001/05/09", "350", "3000"},
        {"7203", "spaced", "2001/05/10", "1", "7"},  // the leading number of "1e3" is 1
    };
    EXPECT_EQ(back.Rows(), expected);
}

TEST(BuyDataTest, HighPricesLoadAsPlainDecimalsAndSurviveTheNextSave) {
    // Shares priced from 100,000 yen up are common; their text must never take an exponent,
    // which the grid and the next save would read as 1 yen.
    TempFolder temp;
    const std::string text = "9432,\"NTT\",\"2001/05/07\",100000,1\r\n"
                             "9437,\"Docomo\",\"2001/05/08\",1000000000,2\r\n"
                             "9984,\"SB\",\"2001/05/09\",2147483647,3\r\n";
    WriteAll(BuyDataPath(temp.Path()), text);
    Table table;
    ASSERT_TRUE(LoadBuyData(table, temp.Path()).Problems.empty());
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.Cell(0, kBuyPrice), "100000");
    EXPECT_EQ(table.Cell(1, kBuyPrice), "1000000000");
    EXPECT_EQ(table.Cell(2, kBuyPrice), "2147483647");
    SaveBuyData(table, temp.Path());
    EXPECT_EQ(ReadAll(BuyDataPath(temp.Path())), text);
}

TEST(BuyDataTest, QuotesAndControlCharactersCannotBreakTheFormat) {
    TempFolder temp;
    Table table = Holdings({{"1301", "say \"hi\"\tnow", "\"2001/05/07\"", "350", "1"}});
    SaveBuyData(table, temp.Path());
    Table back;
    auto load = LoadBuyData(back, temp.Path());
    ASSERT_TRUE(load.Problems.empty()) << load.Message();
    ASSERT_EQ(back.RowCount(), 1);
    EXPECT_EQ(back.Cell(0, kBuyName), "say ＂hi＂ now");
    EXPECT_EQ(back.Cell(0, kBuyDate), "＂2001/05/07＂");
    // Saving what was read gives the same bytes: the text is stable.
    std::string first = ReadAll(BuyDataPath(temp.Path()));
    SaveBuyData(back, temp.Path());
    EXPECT_EQ(ReadAll(BuyDataPath(temp.Path())), first);
}

TEST(BuyDataTest, ReadsWhatOtherWritersMayLeave) {
    TempFolder temp;
    // Blanks (spaces or tabs) around fields, an unquoted name, LF line ends, blank lines, a decimal price.
    WriteAll(BuyDataPath(temp.Path()), platform::Utf8ToSjis(" 1301, \"極洋\" ,\"2001/05/07\", 350.25 ,1000\n"
                                                            "\n"
                                                            "7203,Toyota ,\"2001/05/08\",0350,2\n"
                                                            "\t9984\t,\t\"SB\"\t,\"2001/05/09\",\t100\t,1\n"
                                                            " \t \n"));
    Table table;
    auto load = LoadBuyData(table, temp.Path());
    ASSERT_TRUE(load.Problems.empty()) << load.Message();
    std::vector<Table::Row> expected = {
        {"1301", "極洋", "2001/05/07", "350.25", "1000"},
        {"7203", "Toyota", "2001/05/08", "350", "2"},
        {"9984", "SB", "2001/05/09", "100", "1"},
    };
    EXPECT_EQ(table.Rows(), expected);
}

TEST(BuyDataTest, MalformedLinesAreReportedOnceAndGoodLinesLoad) {
    TempFolder temp;
    std::string text =
        "1301,\"A\",\"2001/05/07\",350,1000\r\n"   // 1 good
        "1301,\"A\",\"2001/05/07\",350\r\n"        // 2 too few fields
        "999,\"A\",\"2001/05/07\",350,1\r\n"       // 3 code below 1000
        "40000,\"A\",\"2001/05/07\",350,1\r\n"     // 4 code beyond 16 bits
        "1301,\"A\",\"2001/05/07\",abc,1\r\n"      // 5 text for the price
        "1301,\"A\",\"2001/05/07\",350,x\r\n"      // 6 text for the shares
        "1301,\"A,\"2001/05/07\",350,1\r\n"        // 7 quote opened inside the name
        "1301,\"A\",\"2001/05/07\",350,1,9\r\n"    // 8 too many fields
        "7203,\"B\",\"2001/05/08\",500,100\r\n";  // 9 good
    WriteAll(BuyDataPath(temp.Path()), text);
    Table table;
    auto load = LoadBuyData(table, temp.Path());
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.Cell(0, kBuyCode), "1301");
    EXPECT_EQ(table.Cell(1, kBuyCode), "7203");
    std::vector<int> lines;
    for (const auto& p : load.Problems) lines.push_back(p.Line);
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 5, 6, 7, 8}));

    std::string message = load.Message();
    EXPECT_NE(message.find(BuyDataPath(temp.Path()).string()), std::string::npos);
    EXPECT_NE(message.find("2行目"), std::string::npos);
    EXPECT_NE(message.find("8行目"), std::string::npos);
    // Loading never rewrites the file: the damaged lines stay until the user changes holdings.
    EXPECT_EQ(ReadAll(BuyDataPath(temp.Path())), text);
}

TEST(BuyDataTest, NumberCellsOutOfRangeAreHeldAtTheLimits) {
    Table table = Holdings({{"99999", "A", "2001/05/07", "99999999999", "-99999999999"}});
    EXPECT_EQ(EncodeBuyData(table), "32767,\"A\",\"2001/05/07\",2147483647,-2147483648\r\n");
}

}  // namespace
}  // namespace mirolanda::holdings
