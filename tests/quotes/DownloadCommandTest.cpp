// The download command against a scripted quote site (no network): request blocks, status
// texts, the completeness re-run and its bound, the failure path, and the saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "quotes/DownloadCommand.h"
#include "quotes/StockFile.h"
#include "support/TempFolder.h"

using namespace mirolanda;
using mirolanda::testing::ReadAll;
using mirolanda::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

// Answers each request with a quote page listing the requested codes it knows. Pages are
// ASCII but for the EUC-JP marker line, so they read the same after conversion.
class ScriptedSite : public platform::Fetcher {
public:
    std::set<int> listed;
    int failAt = 0;           // 1-based request number that fails, 0 for none
    int shortPasses = 0;      // passes that list one issue fewer than `listed`
    std::vector<std::string> urls;
    int accessMode = -1;
    std::string accessProxy;

    platform::FetchResult Fetch(const std::string& url) override {
        urls.push_back(url);
        const int n = static_cast<int>(urls.size());
        if (n == failAt) return {false, "", "Connection refused", 0, 7};  // CURLE_COULDNT_CONNECT
        const bool shortPass = (n - 1) / 180 < shortPasses;
        std::string page = "<html>\n<td>\xB8\xBD\xBA\xDF\xA4\xCE\xC6\xFC\xBB\xFE 12:00</td>\n<table>\n";  // 現在の日時
        for (int code : CodesOf(url)) {
            if (!listed.count(code) || (shortPass && code == *listed.begin())) continue;
            page += "<tr align=right>\n<td><a href=\"/q?s=" + std::to_string(code) + ".t&d=t\">" +
                    std::to_string(code) + "</a></td>\n<td>Issue " + std::to_string(code) +
                    "</td>\n<td>15:00</td>\n<td><b>1,234</b></td>\n<td>+4</td>\n<td>0.3%</td>\n<td>12,000</td>\n"
                    "<td>1,200</td>\n<td>1,250</td>\n<td>1,190</td>\n</tr>\n";
        }
        page += "</table>\n</html>\n";
        return {true, page, "", 200};
    }
    void SetAccess(int mode, const std::string& proxy) override {
        accessMode = mode;
        accessProxy = proxy;
    }

    static std::vector<int> CodesOf(const std::string& url) {
        std::vector<int> codes;
        size_t s = url.find("s=") + 2, e = url.find("&d=");
        std::string list = url.substr(s, e - s);
        size_t start = 0;
        while (start <= list.size()) {
            size_t plus = list.find('+', start);
            codes.push_back(std::stoi(list.substr(start, plus - start)));
            if (plus == std::string::npos) break;
            start = plus + 1;
        }
        return codes;
    }
};

struct Fixture {
    TempFolder dir;
    platform::Table grid;
    ScriptedSite site;
    std::vector<std::string> statuses;
    bool fetchingDoneCalled = false;
    quotes::DownloadOptions options;

    Fixture() {
        for (int code = 1000; code <= 9999; code += 3) site.listed.insert(code);
        options.QuoteSiteUrl = "http://127.0.0.1:1/";
        options.ConnectionMode = 2;
        options.Proxy = "proxy:8080";
        options.MinimumIssues = static_cast<double>(site.listed.size());
        options.TempFolder = dir / "Temp";
        options.CsvFolder = dir / "CsvData";
        options.StockFolder = dir / "StockData";
        options.DataDate = [] { return std::string("20010517"); };
        options.FetchingDone = [this] { fetchingDoneCalled = true; };
    }
    quotes::DownloadOutcome Run() {
        platform::Progress progress;
        progress.Status = [this](const std::string& s) { statuses.push_back(s); };
        return quotes::RunDownload(grid, site, options, progress);
    }
    bool TempFilesLeft() const {
        return fs::exists(dir / "Temp" / "result.euc") || fs::exists(dir / "Temp" / "result.sjis");
    }
};

}  // namespace

TEST(DownloadCommand, OnePassAsks180BlocksOfFiftyAndSavesAndFiles) {
    Fixture f;
    auto outcome = f.Run();
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    ASSERT_EQ(f.site.urls.size(), 180u);
    EXPECT_EQ(f.site.urls.front().rfind("http://127.0.0.1:1/q?s=1000+1001+", 0), 0u);
    EXPECT_EQ(std::count(f.site.urls.front().begin(), f.site.urls.front().end(), '+'), 49);
    EXPECT_NE(f.site.urls.back().find("9950+"), std::string::npos);
    EXPECT_NE(f.site.urls.back().find("+9999&d=v2"), std::string::npos);
    EXPECT_EQ(f.site.accessMode, 2);
    EXPECT_EQ(f.site.accessProxy, "proxy:8080");
    EXPECT_EQ(outcome.Issues, static_cast<int>(f.site.listed.size()));
    EXPECT_EQ(f.grid.RowCount(), outcome.Issues);
    EXPECT_TRUE(f.fetchingDoneCalled);
    ASSERT_TRUE(outcome.CsvPath);
    EXPECT_EQ(*outcome.CsvPath, f.dir / "CsvData" / "20010517.csv");
    EXPECT_EQ(ReadAll(*outcome.CsvPath).substr(0, 56), "1000,\"Issue 1000\",1200,1250,1190,1234,12000\r\n1003,\"Issue");
    auto record = quotes::ReadIssueRecord(f.dir / "StockData", 9997);
    EXPECT_EQ(record.Days[0].Date, "2001/05/17");
    EXPECT_EQ(record.Days[0].Price, 1234);
    EXPECT_FALSE(f.TempFilesLeft());
    EXPECT_EQ(f.statuses.back(), "");
}

TEST(DownloadCommand, StatusTextsShowEachBlockWithFirstCodePlusFifty) {
    Fixture f;
    f.options.AutoCsvSave = f.options.AutoDataSave = false;
    f.Run();
    ASSERT_GE(f.statuses.size(), 3u);
    EXPECT_EQ(f.statuses[0], "ダウンロード－開始");
    EXPECT_EQ(f.statuses[1], "ダウンロード－要求 1000～1050");
    EXPECT_EQ(f.statuses[2], "ダウンロード－解析 1000～1050");
    EXPECT_NE(std::find(f.statuses.begin(), f.statuses.end(), "ダウンロード－要求 9950～10000"), f.statuses.end());
}

TEST(DownloadCommand, IncompletePassIsRunAgainFromAnEmptiedGrid) {
    Fixture f;
    f.site.shortPasses = 1;
    auto outcome = f.Run();
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    EXPECT_EQ(f.site.urls.size(), 360u);
    EXPECT_EQ(outcome.Issues, static_cast<int>(f.site.listed.size()));
    EXPECT_EQ(std::count(f.statuses.begin(), f.statuses.end(), "ダウンロード－開始"), 2);
}

TEST(DownloadCommand, NeverCompleteEndsAfterTheLastPassWithNothingSaved) {
    Fixture f;
    f.site.shortPasses = 100;
    f.options.MaxPasses = 3;
    auto outcome = f.Run();
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(f.site.urls.size(), 540u);
    EXPECT_NE(outcome.Status.find("不足"), std::string::npos);
    EXPECT_EQ(f.statuses.back(), outcome.Status);
    EXPECT_FALSE(f.fetchingDoneCalled);
    EXPECT_FALSE(fs::exists(f.dir / "CsvData"));
    EXPECT_FALSE(fs::exists(f.dir / "StockData"));
}

TEST(DownloadCommand, ZeroMinimumOrNoCheckNeverRepeats) {
    for (bool check : {true, false}) {
        Fixture f;
        f.site.shortPasses = 100;
        f.options.CompletenessCheck = check;
        f.options.MinimumIssues = check ? 0 : 99999;
        f.options.AutoCsvSave = f.options.AutoDataSave = false;
        EXPECT_TRUE(f.Run().Ok);
        EXPECT_EQ(f.site.urls.size(), 180u);
    }
}

TEST(DownloadCommand, ProgressStepsCountOverThePassesThatCanRun) {
    for (int maxPasses : {5, 1, 0, -2}) {
        SCOPED_TRACE(maxPasses);
        Fixture f;
        f.options.MaxPasses = maxPasses;
        const int expectedTotal = std::max(maxPasses, 1) * 180;
        std::vector<std::pair<int, int>> steps;
        platform::Progress progress;
        progress.Advance = [&](int done, int total) { steps.emplace_back(done, total); };
        ASSERT_TRUE(quotes::RunDownload(f.grid, f.site, f.options, progress).Ok);
        ASSERT_EQ(steps.size(), 181u);  // one per block, then the bar filled
        for (size_t i = 0; i < steps.size(); ++i) {
            EXPECT_EQ(steps[i].second, expectedTotal) << i;
            EXPECT_LE(steps[i].first, steps[i].second) << i;
        }
        EXPECT_EQ(steps[179].first, 180);
        EXPECT_EQ(steps.back().first, expectedTotal);
    }
}

TEST(DownloadCommand, FailedRequestKeepsEarlierRowsAndSavesNothing) {
    Fixture f;
    f.site.failAt = 21;  // the block that starts at 2000
    auto outcome = f.Run();
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Status, "Internet Error(接続できません)");
    EXPECT_EQ(outcome.Detail, "Connection refused");
    EXPECT_EQ(f.statuses.back(), outcome.Status);
    ASSERT_GT(f.grid.RowCount(), 0);
    EXPECT_EQ(f.grid.RowAt(f.grid.RowCount() - 1)[0], "1999");
    EXPECT_FALSE(f.fetchingDoneCalled);
    EXPECT_FALSE(outcome.CsvPath);
    EXPECT_FALSE(fs::exists(f.dir / "CsvData"));
    EXPECT_FALSE(f.TempFilesLeft());
}

TEST(DownloadCommand, FilingTakesTheCsvJustSavedWhenTheDataDateChangesMeanwhile) {
    Fixture f;
    int calls = 0;
    f.options.DataDate = [&calls] { return std::string(++calls == 1 ? "20010517" : "20010518"); };
    auto outcome = f.Run();
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    ASSERT_TRUE(outcome.CsvPath);
    EXPECT_EQ(outcome.CsvPath->filename(), "20010517.csv");
    quotes::IssueRecord record = quotes::ReadIssueRecord(f.dir / "StockData", 1000);
    ASSERT_EQ(record.DayCount(), 1);
    EXPECT_EQ(record.Days[0].Date, "2001/05/17");
}

TEST(DownloadCommand, DataSaveAloneFilesAnEarlierCsvOrNothing) {
    Fixture f;
    f.options.AutoCsvSave = false;
    auto outcome = f.Run();
    EXPECT_TRUE(outcome.Ok);
    EXPECT_FALSE(fs::exists(f.dir / "StockData"));  // no CSV of the data date: nothing to file

    fs::create_directory(f.dir / "CsvData");
    mirolanda::testing::WriteAll(f.dir / "CsvData" / "20010517.csv", "1301,\"Old\",1,2,3,4,5\r\n");
    outcome = f.Run();
    EXPECT_TRUE(outcome.Ok);
    EXPECT_EQ(quotes::ReadIssueRecord(f.dir / "StockData", 1301).Days[0].Price, 4);
}
