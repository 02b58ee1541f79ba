// mirolanda-cli file and issue, run as a user runs them.
#include <gtest/gtest.h>

#include <chrono>

#include "support/CliRun.h"
#include "platform/SjisText.h"
#include "quotes/StockFile.h"
#include "support/TempFolder.h"

namespace mirolanda::testing {
namespace {

namespace fs = std::filesystem;

struct FilingCli {
    TempFolder temp;
    fs::path settings = temp / "settings.ini";
    FilingCli() { WriteAll(settings, "[Parameters]\nStockDataFolder=" + (temp / "StockData").string() + "\n"); }
    CliResult Run(std::vector<std::string> args) {
        return RunCli(WithGlobals(std::move(args)), temp.Path(), {{"HOME", temp.Path().string()}});
    }
    std::vector<std::string> WithGlobals(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--settings", settings.string(), "--program-folder", temp.Path().string()});
        return args;
    }
    void Csv(const std::string& name, const std::vector<std::string>& lines) {
        WriteAll(temp / name, platform::EncodeSjisLines(lines));
    }
    // A day's CSV of the codes 1000 … 1000 + count − 1, each closing at base + code.
    void Day(const std::string& name, int count, int base) {
        std::vector<std::string> lines;
        for (int code = 1000; code < 1000 + count; ++code)
            lines.push_back(std::to_string(code) + ",\"N\",1,2,3," + std::to_string(base + code) + ",5");
        Csv(name, lines);
    }
    std::vector<fs::path> Temporaries() const {
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(temp / "StockData"))
            if (e.path().filename().string().front() == '.') found.push_back(e.path());
        return found;
    }
};

TEST(FilingCli, DamagedHistoryFileIsNamedLeftAsItWasAndTheRestFiledWithExitFour) {
    FilingCli cli;
    cli.Day("20010517.csv", 3, 0);
    fs::create_directories(cli.temp / "StockData");
    WriteAll(cli.temp / "StockData" / "1001.dat", "damaged");
    auto filed = cli.Run({"file", (cli.temp / "20010517.csv").string()});
    EXPECT_EQ(filed.Status, 4) << filed.Err;
    EXPECT_NE(filed.Err.find("銘柄別データを更新できませんでした: 1001.dat (大きさが3700バイトではありません: 7バイト)"),
              std::string::npos) << filed.Err;
    EXPECT_EQ(ReadAll(cli.temp / "StockData" / "1001.dat"), "damaged");
    EXPECT_EQ(quotes::ReadIssueRecord(cli.temp / "StockData", 1002).Days[0].Price, 1002);
    const std::string log = cli.Run({"log"}).Out;
    EXPECT_NE(log.find("\tfile\tsource=20010517.csv\toutcome=skipped\trequests=0\tretries=0\tstored=2\tskipped=1001.dat"),
              std::string::npos) << log;
}

TEST(FilingCli, AKillMidFilingLeavesEveryHistoryOldOrNewAndTheNextFilingClearsTheDebris) {
    constexpr int kIssues = 3000;
    FilingCli cli;
    cli.Day("20010517.csv", kIssues, 0);
    ASSERT_EQ(cli.Run({"file", (cli.temp / "20010517.csv").string()}).Status, 0);
    cli.Day("20010518.csv", kIssues, 10000);
    // Killed as soon as the filing has begun writing its temporaries.
    auto killed = RunCliKilledWhen(cli.WithGlobals({"file", (cli.temp / "20010518.csv").string()}), cli.temp.Path(),
                                   [&cli] { return !cli.Temporaries().empty(); });
    EXPECT_EQ(killed.Status, 128 + 9) << "the filing ended before it could be killed";
    for (int code = 1000; code < 1000 + kIssues; ++code) {
        const auto record = quotes::ReadIssueRecord(cli.temp / "StockData", code);  // throws when torn
        const bool old = record.DayCount() == 1 && record.Days[0].Price == code;
        const bool filed = record.DayCount() == 2 && record.Days[0].Price == 10000 + code;
        ASSERT_TRUE(old || filed) << code << " after status " << killed.Status;
    }
    // What the kill left is stale by the time of the next filing (a day later), which removes it.
    const auto dayLater = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const auto& path : cli.Temporaries()) fs::last_write_time(path, dayLater);
    ASSERT_EQ(cli.Run({"file", (cli.temp / "20010518.csv").string()}).Status, 0);
    EXPECT_TRUE(cli.Temporaries().empty());
    EXPECT_EQ(quotes::ReadIssueRecord(cli.temp / "StockData", 1000 + kIssues - 1).Days[0].Price, 10000 + 1000 + kIssues - 1);
}

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
