// mirolanda-cli download end to end against the market simulator on a loopback port: the
// served day written byte for byte and filed, every fault mode failing cleanly, the
// completeness re-run, and the three connection modes.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/CliRun.h"
#include "quotes/StockFile.h"
#include "support/LoopbackServer.h"
#include "support/SimProcess.h"
#include "support/TempFolder.h"
#include "tools/Market.h"
#include "tools/QuotePage.h"

using namespace mirolanda;
using namespace mirolanda::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kIssues = 3600;
constexpr int kSeed = 7;
const platform::Date kDay{2026, 12, 4};  // a Friday

// Proxy variables of the machine running the tests must not steer the child.
const std::map<std::string, std::string> kCleanEnv = {
    {"http_proxy", ""}, {"HTTP_PROXY", ""}, {"no_proxy", ""}, {"NO_PROXY", ""}, {"all_proxy", ""}, {"ALL_PROXY", ""}};

struct DownloadRun {
    TempFolder dir;
    SimProcess sim;

    explicit DownloadRun(std::vector<std::string> simArgs = {})
        : sim(WithDefaults(std::move(simArgs))) {
        Set("QuoteSiteUrl", sim.BaseUrl());
    }
    static std::vector<std::string> WithDefaults(std::vector<std::string> args) {
        for (std::string a : {"--issues", "3600", "--seed", "7", "--date", "20261204"}) args.push_back(a);
        return args;
    }
    void Set(const std::string& key, const std::string& value) {
        ASSERT_EQ(RunCli({"--settings", (dir / "s.conf").string(), "setting", key, value}, dir.Path()).Status, 0);
    }
    CliResult Download(std::vector<std::string> extra = {}, std::map<std::string, std::string> env = kCleanEnv) {
        std::vector<std::string> args = {"--settings", (dir / "s.conf").string(), "--program-folder",
                                         dir.Path().string(), "--now", "2026-12-04 22:00", "download",
                                         "--stall-timeout", "2"};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args, dir.Path(), env);
    }
    fs::path Csv() const { return dir / "CsvData" / "20261204.csv"; }
    bool TempFilesLeft() const {
        return fs::exists(dir / "Temp" / "result.euc") || fs::exists(dir / "Temp" / "result.sjis");
    }
    long Requests() const {
        RawReply stats = RawGet(sim.Port(), "/stats");
        auto at = stats.Body.find("\"requests\":");
        return at == std::string::npos ? -1 : std::stol(stats.Body.substr(at + 11));
    }
};

}  // namespace

TEST(DownloadCli, WritesTheServedDayByteForByteAndFilesIt) {
    DownloadRun run;
    CliResult r = run.Download();
    ASSERT_EQ(r.Status, 0) << r.Err;
    tools::Market market(tools::MarketOptions{kIssues, kSeed});
    EXPECT_TRUE(ReadAll(run.Csv()) == tools::ExpectedDailyCsv(market, kDay));
    EXPECT_EQ(r.Out, run.Csv().string() + "\t3600\n");
    EXPECT_EQ(run.Requests(), 180);
    EXPECT_FALSE(run.TempFilesLeft());

    const tools::Issue& issue = market.Issues().front();
    auto record = quotes::ReadIssueRecord(run.dir / "StockData", issue.Code);
    EXPECT_EQ(record.Days[0].Date, "2026/12/04");
    EXPECT_EQ(record.Days[0].Price, market.Quote(issue, kDay).Close);
}

TEST(DownloadCli, EveryFailedRequestEndsWithItsErrorAndNothingSaved) {
    struct Case {
        const char* fault;
        const char* expect;
    };
    // A connection closed unanswered is refused on the first request: on a reused connection
    // libcurl rightly retries once on a fresh one, which would hide the fault.
    for (const Case& c : {Case{"refuse@1", "Internet Error(接続が切れました): "}, Case{"reset@5", "Internet Error("},
                          Case{"http500@5", "Internet Error(サーバーエラー (HTTP 500)): HTTP 500"},
                          Case{"stall@5", "Internet Error(応答がありません): 応答が途絶えました"}}) {
        SCOPED_TRACE(c.fault);
        DownloadRun run({"--fault", c.fault});
        CliResult r = run.Download();
        EXPECT_EQ(r.Status, 1) << r.Err.substr(0, 500);
        EXPECT_NE(r.Err.find(c.expect), std::string::npos) << r.Err.substr(0, 500);
        EXPECT_TRUE(r.Out.empty());
        EXPECT_FALSE(fs::exists(run.dir / "CsvData"));
        EXPECT_FALSE(fs::exists(run.dir / "StockData"));
        EXPECT_FALSE(run.TempFilesLeft());
    }
}

TEST(DownloadCli, ShortPageTriggersOneCompleteRerun) {
    DownloadRun run({"--fault", "fewer@5"});
    run.Set("AutoDownNum", "3600");  // every listed issue, so one short page is too few
    CliResult r = run.Download();
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(run.Requests(), 360);
    EXPECT_TRUE(ReadAll(run.Csv()) == tools::ExpectedDailyCsv(tools::Market({kIssues, kSeed}), kDay));
}

TEST(DownloadCli, PagesThatNeverCompleteEndAfterTheLastPassWithNothingSaved) {
    for (const char* fault : {"garbage@1-", "cut@1-"}) {
        SCOPED_TRACE(fault);
        DownloadRun run({"--fault", fault});
        CliResult r = run.Download();
        EXPECT_EQ(r.Status, 1);
        EXPECT_NE(r.Err.find("不足"), std::string::npos) << r.Err;
        EXPECT_EQ(run.Requests(), 5 * 180);
        EXPECT_FALSE(fs::exists(run.dir / "CsvData"));
        EXPECT_FALSE(run.TempFilesLeft());
    }
}

TEST(DownloadCli, ProxyModeGoesThroughTheNamedProxy) {
    DownloadRun run;
    ForwardingProxy proxy;
    const int port = proxy.Start();
    run.Set("ConnectionMode", "2");
    run.Set("ProxyServer", "127.0.0.1");
    run.Set("ProxyPort", std::to_string(port));
    CliResult r = run.Download({"--no-file"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(proxy.Forwarded(), 180);
}

TEST(DownloadCli, EnvironmentProxyIsUsedInModeZeroAndIgnoredInModeOne) {
    DownloadRun run;
    ForwardingProxy proxy;
    proxy.Start();
    auto env = kCleanEnv;
    env["http_proxy"] = "http://" + proxy.Address();

    run.Set("ConnectionMode", "1");
    ASSERT_EQ(run.Download({"--no-csv", "--no-file"}, env).Status, 0);
    EXPECT_EQ(proxy.Forwarded(), 0);

    run.Set("ConnectionMode", "0");
    ASSERT_EQ(run.Download({"--no-csv", "--no-file"}, env).Status, 0);
    EXPECT_EQ(proxy.Forwarded(), 180);
}
