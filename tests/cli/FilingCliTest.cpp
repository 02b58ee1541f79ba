// mirolanda-cli file and issue, run as a user runs them.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "support/CliRun.h"
#include "platform/FolderLock.h"
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

TEST(FilingCli, AKillMidFilingLeavesEveryHistoryOldOrNewAndAnImmediateRerunClearsTheDebris) {
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
    // The next filing, at once, removes what the kill left: under the lock no other run writes.
    ASSERT_EQ(cli.Run({"file", (cli.temp / "20010518.csv").string()}).Status, 0);
    EXPECT_TRUE(cli.Temporaries().empty());
    EXPECT_EQ(quotes::ReadIssueRecord(cli.temp / "StockData", 1000 + kIssues - 1).Days[0].Price, 10000 + 1000 + kIssues - 1);
}

// Every history file of the folder, by name, with its bytes.
std::map<std::string, std::string> HistoryFiles(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder)) files[e.path().filename().string()] = ReadAll(e.path());
    return files;
}

// Two filings started together on one folder, five days each: the lock makes the result that of
// the two run one after the other (in either order), with no day lost.
TEST(FilingCli, TwoFilingsStartedTogetherGiveWhatTheTwoGiveOneAfterTheOther) {
    constexpr int kIssues = 400;
    auto days = [](FilingCli& cli, int first) {
        std::vector<std::string> args = {"file"};
        for (int d = first; d < first + 5; ++d) {
            const std::string name = "200105" + std::to_string(10 + d) + ".csv";
            cli.Day(name, kIssues, d * 100);
            args.push_back((cli.temp / name).string());
        }
        return args;
    };
    FilingCli together, oneThenTwo, twoThenOne;
    const auto one = days(together, 0), two = days(together, 5);
    TempFolder scratchOne, scratchTwo;
    CliChild a = StartCli(together.WithGlobals(one), scratchOne.Path(), {{"HOME", together.temp.Path().string()}});
    CliChild b = StartCli(together.WithGlobals(two), scratchTwo.Path(), {{"HOME", together.temp.Path().string()}});
    const CliResult ra = a.Finish(), rb = b.Finish();
    ASSERT_EQ(ra.Status, 0) << ra.Err;
    ASSERT_EQ(rb.Status, 0) << rb.Err;

    auto rerun = [&](FilingCli& cli, const std::vector<std::string>& first, const std::vector<std::string>& second) {
        auto moved = [&](std::vector<std::string> args) {
            for (size_t i = 1; i < args.size(); ++i) args[i] = (cli.temp / fs::path(args[i]).filename().string()).string();
            return args;
        };
        days(cli, 0);
        days(cli, 5);
        ASSERT_EQ(cli.Run(moved(first)).Status, 0);
        ASSERT_EQ(cli.Run(moved(second)).Status, 0);
    };
    rerun(oneThenTwo, one, two);
    rerun(twoThenOne, two, one);
    const auto got = HistoryFiles(together.temp / "StockData");
    ASSERT_EQ(got.size(), static_cast<size_t>(kIssues));
    EXPECT_TRUE(got == HistoryFiles(oneThenTwo.temp / "StockData") || got == HistoryFiles(twoThenOne.temp / "StockData"));
    EXPECT_EQ(quotes::ReadIssueRecord(together.temp / "StockData", 1000).DayCount(), 10);
}

// A writer that finds the folder locked says so once, waits, and files once the holder lets go;
// one that gives up after --wait exits 5 having written nothing.
TEST(FilingCli, WriterWaitsForTheLockAndGivesUpWithStatusFiveAfterItsWait) {
    FilingCli cli;
    cli.Day("20010517.csv", 3, 0);
    const std::string csv = (cli.temp / "20010517.csv").string();
    auto held = platform::FolderLock::Try(cli.temp.Path());
    ASSERT_TRUE(held);

    auto args = cli.WithGlobals({"file", csv});
    args.insert(args.begin(), {"--wait", "0"});
    const CliResult gaveUp = cli.Run(args);
    EXPECT_EQ(gaveUp.Status, 5) << gaveUp.Err;
    EXPECT_EQ(gaveUp.Err, std::string(platform::kFolderBusyText) + "\nmirolanda-cli: 他の処理がデータを書き込み中です: " +
                              cli.temp.Path().string() + "\n");
    EXPECT_FALSE(fs::exists(cli.temp / "StockData"));

    TempFolder scratch;
    args[1] = "600";
    CliChild waiter = StartCli(args, scratch.Path(), {{"HOME", cli.temp.Path().string()}});
    // Once it has said so, it has found the lock held.
    while (!fs::exists(scratch / "cli.err") || ReadAll(scratch / "cli.err").empty()) std::this_thread::yield();
    EXPECT_FALSE(fs::exists(cli.temp / "StockData"));
    held.reset();
    const CliResult waited = waiter.Finish();
    EXPECT_EQ(waited.Status, 0) << waited.Err;
    EXPECT_EQ(waited.Err, std::string(platform::kFolderBusyText) + "\n");
    EXPECT_EQ(quotes::ReadIssueRecord(cli.temp / "StockData", 1002).Days[0].Price, 1002);
}

TEST(FilingCli, BadNameIsReportedTheRestFiledAndIssuePrintsTheHistory) {
    FilingCli cli;
    cli.Csv("20010517.csv", {"1301,\"極洋  \",1,2,3,350,5"});
    cli.Csv("result.csv", {"1301,\"X\",1,2,3,999,5"});
    cli.Csv("20010518.CSV", {"1301,\"極洋(株)\",1,2,3,352,5"});
    auto filed = cli.Run({"file", (cli.temp / "20010517.csv").string(), (cli.temp / "result.csv").string(),
                          (cli.temp / "20010518.CSV").string()});
    EXPECT_NE(filed.Status, 0);
    EXPECT_NE(filed.Err.find("result.csv: ファイル名エラー ファイル名は YYYYMMDD.CSV でなければなりません。"), std::string::npos)
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
