// mirolanda-cli with the J-Quants API as the quote source, against the simulator: the key set
// from standard input only and never shown, the day's download and its files, a missed week
// caught up (also alone, with --catch-up), and a wrong key ending with nothing saved.
#include <gtest/gtest.h>

#include "support/CliRun.h"
#include "support/SimProcess.h"
#include "support/TempFolder.h"
#include "tools/JQuantsApi.h"
#include "tools/Market.h"

namespace mirolanda::testing {
namespace {

namespace fs = std::filesystem;

const std::string kKey = "mirolanda-test-key";
constexpr int kIssues = 200;
constexpr int kLetterIssues = 5;
// No secret store in the child (as on a server), and no proxy from the environment.
const std::map<std::string, std::string> kEnv = {{"DBUS_SESSION_BUS_ADDRESS", ""}, {"http_proxy", ""},
                                                 {"HTTP_PROXY", ""}, {"all_proxy", ""}, {"ALL_PROXY", ""}};

struct ApiRun {
    TempFolder dir;
    SimProcess sim;

    explicit ApiRun(std::vector<std::string> simArgs = {})
        : sim([&simArgs] {
              std::vector<std::string> args = {"--issues", std::to_string(kIssues), "--letter-issues",
                                               std::to_string(kLetterIssues), "--seed", "5", "--date", "20260116",
                                               "--jquants-page-size", "40"};
              args.insert(args.end(), simArgs.begin(), simArgs.end());
              return args;
          }()) {
        Set("QuoteSource", "jquants");
        Set("JQuantsApiUrl", sim.BaseUrl() + "/v2");
        Set("JQuantsRequestsPerMinute", "1000");  // the simulator sets no limit; nothing waits
        Set("AutoDownNum", std::to_string(kIssues));
    }
    std::vector<std::string> Globals(const std::string& now = "2026-01-16 18:00") const {
        return {"--settings", (dir / "s.ini").string(), "--program-folder", dir.Path().string(), "--now", now};
    }
    CliResult Cli(std::vector<std::string> args, const std::string& input = {}, const std::string& now = "2026-01-16 18:00") {
        std::vector<std::string> all = Globals(now);
        all.insert(all.end(), args.begin(), args.end());
        return RunCli(all, dir.Path(), kEnv, input);
    }
    void Set(const std::string& key, const std::string& value) { ASSERT_EQ(Cli({"setting", key, value}).Status, 0); }
    std::string Log() { return Cli({"log"}).Out; }
};

TEST(JQuantsCli, TheKeyComesFromStandardInputOnlyAndIsNeverShown) {
    ApiRun run;
    CliResult onLine = run.Cli({"setting", "JQuantsApiKey", kKey});
    EXPECT_EQ(onLine.Status, 2);
    EXPECT_NE(onLine.Err.find("標準入力から読みます"), std::string::npos) << onLine.Err;
    EXPECT_NE(run.Cli({"setting", "JQuantsApiKey"}).Out.find("未設定"), std::string::npos);

    ASSERT_EQ(run.Cli({"setting", "JQuantsApiKey", "-"}, kKey + "\n").Status, 0);
    const CliResult read = run.Cli({"setting", "JQuantsApiKey"});
    EXPECT_NE(read.Out.find("設定済み (設定ファイル"), std::string::npos) << read.Out;
    EXPECT_EQ(read.Out.find(kKey), std::string::npos);
}

TEST(JQuantsCli, TheDayComesThroughTheApiAndAMissedWeekIsCaughtUp) {
    ApiRun run;
    ASSERT_EQ(run.Cli({"setting", "JQuantsApiKey", "-"}, kKey).Status, 0);
    // The Friday before the week away, then the next Friday.
    CliResult first = run.Cli({"download"}, {}, "2026-01-09 18:00");
    ASSERT_EQ(first.Status, 0) << first.Err;
    // The simulated exchange trades on 成人の日; told once, and the exchange is trusted.
    EXPECT_NE(first.Err.find("2026/01/12: 取引所の営業日ですが、内蔵カレンダーでは休日です"), std::string::npos) << first.Err;
    CliResult later = run.Cli({"download"});
    ASSERT_EQ(later.Status, 0) << later.Err;
    EXPECT_EQ(later.Out, (run.dir / "CsvData" / "20260116.csv").string() + "\t" + std::to_string(kIssues + kLetterIssues) + "\n");
    EXPECT_NE(later.Err.find("追加取得した日: 2026/01/12, 2026/01/13, 2026/01/14, 2026/01/15"), std::string::npos)
        << later.Err;
    EXPECT_EQ(later.Err.find("内蔵カレンダー"), std::string::npos) << "a difference is told once";
    const tools::Market market({kIssues, 5, kLetterIssues});
    EXPECT_EQ(ReadAll(run.dir / "CsvData" / "20260116.csv"), tools::ExpectedJQuantsCsv(market, {2026, 1, 16}));
    EXPECT_EQ(ReadAll(run.dir / "CsvData" / "20260114.csv"), tools::ExpectedJQuantsCsv(market, {2026, 1, 14}));
    EXPECT_EQ(fs::file_size(run.dir / "StockData" / "130A.dat"), 3700u);
    const std::string log = run.Log();
    EXPECT_NE(log.find("source=J-Quants"), std::string::npos) << log;
    EXPECT_EQ(log.find(kKey), std::string::npos);
    EXPECT_EQ(later.Err.find(kKey), std::string::npos);

    // Every day saved, the days caught up included, went into the market database.
    EXPECT_NE(run.Cli({"db", "check"}).Out.find(", 日数 6,"), std::string::npos) << run.Cli({"db", "check"}).Out;

    // Nothing missed now; --catch-up alone says so.
    CliResult alone = run.Cli({"download", "--catch-up"});
    EXPECT_EQ(alone.Status, 0) << alone.Err;
    EXPECT_NE(alone.Err.find("欠けている営業日はありません"), std::string::npos) << alone.Err;
}

TEST(JQuantsCli, AWrongKeyEndsAtOnceWithNothingSavedAndTheKeyNowhere) {
    ApiRun run;
    const std::string wrong = "wrong-key-0123";
    ASSERT_EQ(run.Cli({"setting", "JQuantsApiKey", "-"}, wrong).Status, 0);
    CliResult r = run.Cli({"download"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("APIキーが正しくありません"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find(wrong), std::string::npos);
    EXPECT_EQ(run.Log().find(wrong), std::string::npos);
    EXPECT_FALSE(fs::exists(run.dir / "CsvData" / "20260116.csv"));
}

// The backfill stores the business days of its range and nothing else; a rerun fetches nothing;
// a date before the plan's first ends it with exit 1, naming that date, the days stored kept.
TEST(JQuantsCli, BackfillStoresEachDayOnceAndStopsAtADateThePlanRefuses) {
    ApiRun run({"--jquants-plan-from", "20260106"});
    ASSERT_EQ(run.Cli({"setting", "JQuantsApiKey", "-"}, kKey).Status, 0);
    CliResult first = run.Cli({"backfill", "--from", "2026/01/06", "--to", "2026/01/09"});
    ASSERT_EQ(first.Status, 0) << first.Err;
    EXPECT_EQ(first.Out, "4 日を取得しました (0 日は取得済みでした)\n");
    EXPECT_NE(first.Err.find("2026/01/09 を記録しました (4 日済み, 残り 0 日"), std::string::npos) << first.Err;
    EXPECT_FALSE(fs::exists(run.dir / "CsvData" / "20260106.csv"));
    const std::string check = run.Cli({"db", "check"}).Out;
    EXPECT_NE(check.find(", 日数 4,"), std::string::npos) << check;

    CliResult again = run.Cli({"backfill", "--from", "2026/01/06", "--to", "2026/01/09"});
    EXPECT_EQ(again.Status, 0) << again.Err;
    EXPECT_EQ(again.Out, "0 日を取得しました (4 日は取得済みでした)\n");

    CliResult refused = run.Cli({"backfill", "--from", "2026/01/05", "--to", "2026/01/09"});
    EXPECT_EQ(refused.Status, 1);
    EXPECT_NE(refused.Err.find("このプランで取得できるのは 2026/01/06 からです"), std::string::npos) << refused.Err;
    EXPECT_EQ(run.Cli({"db", "check"}).Out, check);

    EXPECT_EQ(run.Cli({"backfill", "--from", "2026-01-05"}).Status, 2);
    EXPECT_EQ(run.Cli({"backfill"}).Status, 2);
}

}  // namespace
}  // namespace mirolanda::testing
