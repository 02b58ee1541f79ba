// mirolanda-cli file, db, split and export with the market database, run as a user runs them.
#include <gtest/gtest.h>

#include "platform/SjisText.h"
#include "support/CliRun.h"
#include "support/TempFolder.h"

namespace mirolanda::testing {
namespace {

namespace fs = std::filesystem;

struct MarketCli {
    TempFolder temp;
    fs::path settings = temp / "settings.ini";
    fs::path db = temp / "Market.sqlite3";
    MarketCli() {
        WriteAll(settings, "[Parameters]\nStockDataFolder=" + (temp / "StockData").string() +
                               "\nCsvDataFolder=" + (temp / "CsvData").string() + "\n");
        fs::create_directories(temp / "CsvData");
    }
    CliResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", settings.string(), "--program-folder", temp.Path().string(), "--now",
                                   "2024-03-08 21:30"});
        return RunCli(args, temp.Path(), {{"HOME", temp.Path().string()}});
    }
    fs::path Csv(const std::string& day, const std::vector<std::string>& lines) {
        const fs::path path = temp / "CsvData" / (day + ".csv");
        WriteAll(path, platform::EncodeSjisLines(lines));
        return path;
    }
};

TEST(MarketDbCli, FileStoresTheDayAndImportCheckSplitAndExportReadItBack) {
    MarketCli cli;
    const auto monday = cli.Csv("20240304", {"1301,\"極洋\",1000,1010,990,1005,1000", "1332,\"ニッスイ\",0,0,0,0,0"});
    cli.Csv("20240305", {"1301,\"極洋\",1005,1010,990,201,5000"});
    auto filed = cli.Run({"file", monday.string()});
    EXPECT_EQ(filed.Status, 0) << filed.Err;
    ASSERT_TRUE(fs::exists(cli.db));

    auto imported = cli.Run({"db", "import", (cli.temp / "CsvData").string(), (cli.temp / "x.txt").string()});
    EXPECT_EQ(imported.Status, 1);
    EXPECT_NE(imported.Out.find("2 日, 3 本を記録しました"), std::string::npos) << imported.Out;
    EXPECT_NE(imported.Err.find("x.txt: ファイル"), std::string::npos) << imported.Err;

    auto suggested = cli.Run({"db", "splits", "--suggest"});
    EXPECT_NE(suggested.Out.find("split 1301 2024/03/05 5)"), std::string::npos) << suggested.Out;
    EXPECT_EQ(cli.Run({"split", "1301", "2024/03/05", "5"}).Status, 0);
    EXPECT_EQ(cli.Run({"split", "1301", "2024/3/5", "5"}).Status, 2);

    auto exported = cli.Run({"export", "1301", "--adjusted", "--period", "week"});
    EXPECT_EQ(exported.Out, "date,open,high,low,close,volume\n2024-03-05,200,1010,198,201,10000\n");
    EXPECT_EQ(cli.Run({"export", "1332"}).Out, "date,open,high,low,close,volume\n");

    auto checked = cli.Run({"db", "check"});
    EXPECT_EQ(checked.Status, 0) << checked.Err;
    EXPECT_NE(checked.Out.find("銘柄 2, 日数 2, 本数 3, 分割 1"), std::string::npos) << checked.Out;
}

TEST(MarketDbCli, ADamagedDatabaseNeverStopsTheFilingAndCheckMovesItAside) {
    MarketCli cli;
    const auto monday = cli.Csv("20240304", {"1301,\"極洋\",1000,1010,990,1005,1000"});
    WriteAll(cli.db, std::string(8192, '\x7f'));
    auto checked = cli.Run({"db", "check"});
    EXPECT_EQ(checked.Status, 1);
    EXPECT_TRUE(fs::exists(cli.temp / "Market.sqlite3.broken-20240308-213000")) << checked.Err;

    // A database the program cannot even create: the history is filed all the same.
    WriteAll(cli.settings, ReadAll(cli.settings) + "MarketDatabase=" + (cli.temp / "no" / "such").string() + "\n");
    WriteAll(cli.temp / "no", "a file where a folder should be");
    auto filed = cli.Run({"file", monday.string()});
    EXPECT_EQ(filed.Status, 0);
    EXPECT_NE(filed.Err.find("市場データベースに記録できませんでした"), std::string::npos) << filed.Err;
    EXPECT_EQ(fs::file_size(cli.temp / "StockData" / "1301.dat"), 3700u);
}

}  // namespace
}  // namespace mirolanda::testing
