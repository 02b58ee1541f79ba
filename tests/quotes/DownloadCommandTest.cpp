// The download command against a scripted quote site (no network): request blocks, status
// texts, the completeness re-run and its bound, the failure path, and the saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/Date.h"
#include "platform/Errors.h"
#include "platform/Retry.h"
#include "quotes/DownloadCommand.h"
#include "quotes/ResultGrid.h"
#include "quotes/StockFile.h"
#include "quotesite/SiteSource.h"
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
    int cutAt = 0;            // 1-based request number whose page ends inside the table
    std::set<int> maintenanceAt;  // request numbers answered with a maintenance notice
    int shortPasses = 0;      // passes that list one issue fewer than `listed`
    std::vector<std::string> urls;
    int accessMode = -1;
    std::string accessProxy;

    platform::FetchResult Fetch(const std::string& url) override {
        urls.push_back(url);
        const int n = static_cast<int>(urls.size());
        if (n == failAt) {
            platform::FetchResult refused{false, "", "Connection refused", 0};
            refused.CurlCode = 7;  // CURLE_COULDNT_CONNECT
            return refused;
        }
        if (maintenanceAt.count(n)) return {true, "<html><body>maintenance</body></html>\n", "", 200};
        const bool shortPass = (n - 1) / 180 < shortPasses;
        std::string page = "<html>\n<td>\xB8\xBD\xBA\xDF\xA4\xCE\xC6\xFC\xBB\xFE 12:00</td>\n<table>\n";  // 現在の日時
        for (int code : CodesOf(url)) {
            if (!listed.count(code) || (shortPass && code == *listed.begin())) continue;
            page += "<tr align=right>\n<td><a href=\"/q?s=" + std::to_string(code) + ".t&d=t\">" +
                    std::to_string(code) + "</a></td>\n<td>Issue " + std::to_string(code) +
                    "</td>\n<td>15:00</td>\n<td><b>1,234</b></td>\n<td>+4</td>\n<td>0.3%</td>\n<td>12,000</td>\n"
                    "<td>1,200</td>\n<td>1,250</td>\n<td>1,190</td>\n</tr>\n";
        }
        if (n != cutAt) page += "</table>\n</html>\n";
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
        options.ConnectionMode = 2;
        options.Proxy = "proxy:8080";
        options.MinimumIssues = static_cast<double>(site.listed.size());
        options.TempFolder = dir / "Temp";
        options.CsvFolder = dir / "CsvData";
        options.StockFolder = dir / "StockData";
        options.DataDate = [] { return platform::Date{2001, 5, 17}; };
        options.FetchingDone = [this] { fetchingDoneCalled = true; };
    }
    quotes::DownloadOutcome Run() {
        platform::Progress progress;
        progress.Status = [this](const std::string& s) { statuses.push_back(s); };
        return RunWith(site, progress);
    }
    // The download of the quote site through `fetcher`, the day shown in the grid as the window does.
    quotes::DownloadOutcome RunWith(platform::Fetcher& fetcher, const platform::Progress& progress = {}) {
        quotesite::SiteSource source("http://127.0.0.1:1/");
        quotes::DownloadOutcome outcome = quotes::RunDownload(source, fetcher, options, progress);
        quotes::ShowDayInGrid(outcome.Day, grid);
        return outcome;
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
    EXPECT_TRUE(fs::is_empty(f.dir / "CsvData"));
    EXPECT_TRUE(fs::is_empty(f.dir / "StockData"));
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
        ASSERT_TRUE(f.RunWith(f.site, progress).Ok);
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
    EXPECT_TRUE(fs::is_empty(f.dir / "CsvData"));
    EXPECT_FALSE(f.TempFilesLeft());
}

TEST(DownloadCommand, FilingTakesTheCsvJustSavedWhenTheDataDateChangesMeanwhile) {
    Fixture f;
    int calls = 0;
    f.options.DataDate = [&calls] { return ++calls == 1 ? platform::Date{2001, 5, 17} : platform::Date{2001, 5, 18}; };
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
    EXPECT_TRUE(outcome.Ok);  // no CSV of the data date: nothing to file

    EXPECT_TRUE(fs::is_empty(f.dir / "StockData"));

    fs::create_directory(f.dir / "CsvData");
    mirolanda::testing::WriteAll(f.dir / "CsvData" / "20010517.csv", "1301,\"Old\",1,2,3,4,5\r\n");
    outcome = f.Run();
    EXPECT_TRUE(outcome.Ok);
    EXPECT_EQ(quotes::ReadIssueRecord(f.dir / "StockData", 1301).Days[0].Price, 4);
}

TEST(DownloadCommand, DamagedHistoryFileCostsOneIssueAndTheDayStillCounts) {
    Fixture f;
    fs::create_directories(f.dir / "StockData");
    mirolanda::testing::WriteAll(f.dir / "StockData" / "1003.dat", std::string(12, 'x'));
    auto outcome = f.Run();
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    ASSERT_TRUE(outcome.CsvPath);
    EXPECT_TRUE(fs::exists(*outcome.CsvPath));
    EXPECT_EQ(ReadAll(f.dir / "StockData" / "1003.dat"), std::string(12, 'x'));
    EXPECT_EQ(quotes::ReadIssueRecord(f.dir / "StockData", 1006).Days[0].Price, 1234);
    ASSERT_EQ(outcome.Filing.Skipped.size(), 1u);
    EXPECT_EQ(outcome.Filing.Stored, static_cast<int>(f.site.listed.size()) - 1);
    EXPECT_EQ(outcome.Status, "銘柄別データを更新できませんでした: 1003.dat (大きさが3700バイトではありません: 12バイト)");
    EXPECT_EQ(f.statuses.back(), outcome.Status);
    platform::RunRecord record;
    quotes::DescribeInRunRecord(outcome, record);
    EXPECT_EQ(record.Outcome, "skipped");
}

TEST(DownloadCommand, IssuesMissingAgainstThePreviousDayAreNamed) {
    Fixture f;
    fs::create_directories(f.dir / "CsvData");
    // The previous day had 1001 and 1002 but not 1000; files of other days are not compared.
    std::string previous;
    for (int code : f.site.listed) {
        if (code != 1000) previous += std::to_string(code) + ",\"X\",1,2,3,4,5\r\n";
    }
    previous += "1001,\"X\",1,2,3,4,5\r\n1002,\"X\",1,2,3,4,5\r\n";
    mirolanda::testing::WriteAll(f.dir / "CsvData" / "20010516.csv", previous);
    mirolanda::testing::WriteAll(f.dir / "CsvData" / "20010510.csv", "5000,\"X\",1,2,3,4,5\r\n");
    mirolanda::testing::WriteAll(f.dir / "CsvData" / "20010518.csv", "5000,\"X\",1,2,3,4,5\r\n");
    auto outcome = f.Run();
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    ASSERT_TRUE(outcome.PreviousCsv);
    EXPECT_EQ(outcome.PreviousCsv->filename(), "20010516.csv");
    EXPECT_EQ(outcome.Missing, (std::vector<market::IssueCode>{1001, 1002}));
    EXPECT_EQ(outcome.Appeared, std::vector<market::IssueCode>{1000});
    EXPECT_EQ(outcome.Status, "前日比 欠落2銘柄 新規1銘柄");
    ASSERT_EQ(outcome.ShortPages.size(), 1u);  // the page of 1000～1050 listed 17, the day before 18
    EXPECT_EQ(outcome.ShortPages[0].First, 1000);
    EXPECT_EQ(outcome.ShortPages[0].Listed, 17);
    EXPECT_EQ(outcome.ShortPages[0].Previous, 18);
    platform::RunRecord record;
    quotes::DescribeInRunRecord(outcome, record);
    const std::string line = platform::FormatRunRecord(record);
    EXPECT_NE(line.find("欠落 1001,1002"), std::string::npos) << line;
    EXPECT_NE(line.find("新規 1000"), std::string::npos) << line;
}

TEST(DownloadCommand, BusinessDaysTheHistoryLacksAreNamedBecauseTheSiteServesTodayOnly) {
    Fixture f;
    f.site.listed = {1000, 5000, 9999};
    f.options.MinimumIssues = 3;
    std::string day = "20010514";  // a Monday
    f.options.DataDate = [&day] { return *platform::ParseYmd(day); };
    f.options.BuiltinBusinessDay = [](const platform::Date& d) { return platform::Weekday(d) % 6 != 0; };
    ASSERT_TRUE(f.Run().Ok);
    f.site.urls.clear();
    day = "20010517";  // Tuesday and Wednesday were not downloaded
    auto outcome = f.Run();
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    EXPECT_EQ(f.site.urls.size(), 180u) << "only the present day is asked for";
    EXPECT_EQ(outcome.MissingDays, (std::vector<platform::Date>{{2001, 5, 15}, {2001, 5, 16}}));
    EXPECT_NE(outcome.Status.find("欠けている営業日があります(株価サイトからは当日分のみ取得できます): 2001/05/15, 2001/05/16"),
              std::string::npos)
        << outcome.Status;
    platform::RunRecord record;
    quotes::DescribeInRunRecord(outcome, record);
    EXPECT_NE(platform::FormatRunRecord(record).find("欠けている営業日 2001/05/15, 2001/05/16"), std::string::npos);
    day = "20010518";  // the next day follows the one just filed
    EXPECT_TRUE(f.Run().MissingDays.empty());
}

// A page cut short and a page that is no quote page (a maintenance notice) are failed requests:
// asked again, and when every try fails the download fails with the reason, saving nothing.
TEST(DownloadCommand, CutPageOrNoQuotePageIsAFailedRequestThatARetryMends) {
    struct Case {
        const char* reason;
        void (*spoil)(ScriptedSite& site, int from, int count);
    };
    const Case cases[] = {
        {"ページが途中で切れています", [](ScriptedSite& site, int from, int) { site.cutAt = from; }},
        {"株価ページではありません",
         [](ScriptedSite& site, int from, int count) {
             for (int n = from; n < from + count; ++n) site.maintenanceAt.insert(n);
         }},
    };
    platform::RetryOptions noWait;
    noWait.Wait = [](platform::Milliseconds) { return true; };
    for (const Case& c : cases) {
        Fixture f;
        c.spoil(f.site, 5, 1);
        auto outcome = f.Run();
        EXPECT_FALSE(outcome.Ok) << c.reason;
        EXPECT_EQ(outcome.Status, std::string("Internet Error(") + c.reason + ")");
        EXPECT_FALSE(fs::exists(f.dir / "CsvData" / "20010517.csv"));

        Fixture g;
        c.spoil(g.site, 5, 1);
        platform::RetryingFetcher retrying(g.site, noWait);
        outcome = g.RunWith(retrying);
        ASSERT_TRUE(outcome.Ok) << outcome.Status;
        EXPECT_EQ(g.site.urls.size(), 181u);
        EXPECT_EQ(retrying.Retries(), 1);
        EXPECT_EQ(outcome.Issues, static_cast<int>(g.site.listed.size()));
    }
    // One that persists through every retry fails the download with its reason.
    Fixture h;
    h.site.maintenanceAt = {5, 6, 7, 8};
    platform::RetryingFetcher retrying(h.site, noWait);
    const auto outcome = h.RunWith(retrying);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Status, "Internet Error(株価ページではありません)");
    EXPECT_EQ(retrying.Retries(), 3);
    EXPECT_FALSE(fs::exists(h.dir / "CsvData" / "20010517.csv"));
}

TEST(DownloadCommand, AFolderThatCannotBeMadeIsReportedBeforeAnyRequest) {
    Fixture f;
    mirolanda::testing::WriteAll(f.dir / "file", "x");
    f.options.StockFolder = f.dir / "file" / "StockData";
    EXPECT_THROW(f.Run(), platform::FileError);
    EXPECT_TRUE(f.site.urls.empty());
    f.options.StockFolder = f.dir / "deep" / "er" / "StockData";  // whole paths are made
    EXPECT_TRUE(f.Run().Ok);
}

// A daily CSV that cannot be written (a folder stands in its place, which fails for root too)
// fails the download with the file named, and keeps the day for a later save.
TEST(DownloadCommand, ADayThatCannotBeSavedFailsNamingTheFileAndKeepsTheDay) {
    Fixture f;
    fs::create_directories(f.dir / "CsvData" / "20010517.csv");
    const auto outcome = f.Run();
    EXPECT_FALSE(outcome.Ok);
    EXPECT_TRUE(outcome.SaveFailed);
    EXPECT_EQ(outcome.Status.rfind("保存できませんでした: ", 0), 0u) << outcome.Status;
    EXPECT_NE(outcome.Status.find("20010517.csv"), std::string::npos) << outcome.Status;
    EXPECT_EQ(outcome.Issues, static_cast<int>(f.site.listed.size()));
    EXPECT_EQ(f.grid.RowCount(), outcome.Issues) << "the day stays to be saved again";
    EXPECT_EQ(f.statuses.back(), outcome.Status);
    EXPECT_FALSE(fs::exists(f.dir / "StockData" / "1000.dat")) << "nothing filed from a day not saved";
}
