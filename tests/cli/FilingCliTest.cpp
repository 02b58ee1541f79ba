// mirolanda-cli file and issue, run as a user runs them.
#include <gtest/gtest.h>

#include "support/CliRun.h"
#include "platform/SjisText.h"
#include "support/TempFolder.h"

namespace mirolanda::testing {
namespace {

namespace fs = std::filesystem;

struct FilingCli {
    TempFolder temp;
    fs::path settings = temp / "settings.ini";
    FilingCli() { WriteAll(settings, "[Parameters]\nStockDataFolder=" + (temp / "StockData").string() + "\n"); }
    CliResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", settings.string()});
        return RunCli(args, temp.Path(), {{"HOME", temp.Path().string()}});
    }
    void Csv(const std::string& name, const std::vector<std::string>& lines) {
        WriteAll(temp / name, platform::EncodeSjisLines(lines));
    }
};

TEST(FilingCli, BadNameIsReportedTheRestFiledAndIssuePrintsTheHistory) {
    FilingCli cli;
    cli.Csv("20010517.csv", {"1301,\"極洋  \",1,2,3,350,5"});
    cli.Csv("result.csv", {"1301,\"X\",1,2,3,999,5"});
    cli.Csv("20010518.CSV", {"1301,\"極洋(株)\",1,2,3,352,5"});
    auto filed = cli.Run({"file", (cli.temp / "20010517.csv").string(), (cli.temp / "result.csv").string(),
                          (cli.temp / "20010518.CSV").string()});
    EXPECT_NE(filed.Status, 0);
    EXPECT_NE(filed.Err.find("ファイル名エラー\nファイル名は YYYYMMDD.CSV でなければなりません。"), std::string::npos)
        << filed.Err;
    EXPECT_NE(filed.Err.find("result.csv"), std::string::npos);

    auto issue = cli.Run({"issue", "1301"});
    EXPECT_EQ(issue.Status, 0) << issue.Err;
    EXPECT_EQ(issue.Out, "極洋(株)\n2001/05/18\t352\n2001/05/17\t350\n");
}

// A daily CSV with a code with letters files whole; the issue command takes that code.
TEST(FilingCli, CodesWithLettersFileAndPrint) {
    FilingCli cli;
    cli.Csv("20260116.csv", {"1301,\"極洋\",1,2,3,350,5", "130A,\"ベリタス\",512,520,500,513,900"});
    auto filed = cli.Run({"file", (cli.temp / "20260116.csv").string()});
    EXPECT_EQ(filed.Status, 0) << filed.Err;
    auto issue = cli.Run({"issue", "130A"});
    EXPECT_EQ(issue.Status, 0) << issue.Err;
    EXPECT_EQ(issue.Out, "ベリタス\n2026/01/16\t513\n");
    EXPECT_EQ(cli.Run({"issue", "13B0"}).Status, 2);
}

TEST(FilingCli, MalformedCsvChangesNothingAndNamesTheLine) {
    FilingCli cli;
    cli.Csv("20010517.csv", {"1301,\"A\",1,2,3,350,5"});
    cli.Csv("20010518.csv", {"1301,\"A\",1,2,3,351,5", "1302,\"B\",1,2"});
    auto filed = cli.Run({"file", (cli.temp / "20010517.csv").string(), (cli.temp / "20010518.csv").string()});
    EXPECT_NE(filed.Status, 0);
    EXPECT_NE(filed.Err.find("20010518.csv 2行目"), std::string::npos) << filed.Err;
    EXPECT_FALSE(fs::exists(cli.temp / "StockData" / "1301.dat"));
    EXPECT_NE(cli.Run({"issue", "1301"}).Status, 0);  // no history to print
}

}  // namespace
}  // namespace mirolanda::testing
