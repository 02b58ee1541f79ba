// The download from the J-Quants API against the simulator in this process, through the real
// HTTP client and the paced fetcher on a recording clock (no sleeping): pages followed to the
// end, the key header, 429 waited out, a wrong key or an empty day ending with nothing saved,
// the master cache, the exchange's calendar, and a missed week caught up day by day with the
// same files as downloading each day on its day.
#include "jquants/JQuantsSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/SjisText.h"
#include "quotes/DownloadCommand.h"
#include "platform/TextFields.h"
#include "quotes/ResultGrid.h"
#include "quotes/StockFile.h"
#include "quotes/SourceClient.h"
#include "support/RecordingPaceClock.h"
#include "support/TempFolder.h"
#include "tools/JQuantsApi.h"
#include "tools/SimQuotePage.h"
#include "tools/SimServer.h"

using namespace mirolanda;
using mirolanda::testing::ReadAll;
using mirolanda::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

const platform::Date kFriday{2026, 1, 16};
// Few issues, as every download files each of them into its history file.
constexpr int kIssues = 120;
constexpr int kLetterIssues = 6;  // 130A … 135A
constexpr size_t kPageSize = 50;  // 126 issues and their second share classes: three pages

tools::SimOptions SimWith(int delayDays = 0, std::vector<platform::Date> closed = {}) {
    tools::SimOptions o;
    o.Market = {kIssues, 3, kLetterIssues};
    o.Day = kFriday;
    o.JQuants.PageSize = kPageSize;
    o.JQuants.DelayDays = delayDays;
    o.JQuants.ClosedDays = std::move(closed);
    return o;
}

// The client a download uses, its pace and retry waits on one recording clock.
struct Client {
    mirolanda::testing::RecordingPaceClock* clock;
    std::unique_ptr<quotes::SourceClient> fetcher;
    int perMinute;
    explicit Client(int pace) : perMinute(pace) {
        auto owned = std::make_unique<mirolanda::testing::RecordingPaceClock>();
        clock = owned.get();
        platform::RetryOptions retry;
        retry.Wait = [clock = clock](platform::Milliseconds wait) { return clock->Wait(wait.count()); };
        fetcher = std::make_unique<quotes::SourceClient>(std::make_unique<platform::HttpClient>(), retry,
                                                         std::move(owned));
    }
};

class JQuantsDownloadTest : public ::testing::Test {
protected:
    void Start(tools::SimOptions sim) {
        sim_ = std::make_unique<tools::SimServer>(sim);
        const int port = sim_->Start(0);
        settings.ApiUrl = "http://127.0.0.1:" + std::to_string(port) + "/v2/";
        settings.ApiKey = sim.JQuants.Key;
        options.BuiltinBusinessDay = [closed = sim.JQuants](const platform::Date& d) {
            return tools::HolidayDivision(d, closed) != 0;
        };
        options.Now = [this] { return now; };
        options.MinimumIssues = kIssues;
        Use(dir.Path());
    }
    void Use(const fs::path& folder) {
        fs::create_directories(folder);
        options.TempFolder = folder / "Temp";
        options.CsvFolder = folder / "CsvData";
        options.StockFolder = folder / "StockData";
    }
    // The market day `day` at 18:00, for the simulator and the program alike.
    void At(const platform::Date& day) {
        sim_->SetDay(day);
        now = {day, 18, 0, 0};
    }
    // A download through the client, readied for the command as the programs do it.
    quotes::DownloadOutcome Run(Client& client) {
        settings.RequestsPerMinute = client.perMinute;
        client.fetcher->BeginCommand(jquants::JQuantsSource(settings));
        return Run(*client.fetcher);
    }
    quotes::DownloadOutcome Run(platform::Fetcher& fetcher) {
        platform::Progress progress;
        progress.Status = [this](const std::string& s) { statuses.push_back(s); };
        jquants::JQuantsSource source(settings);
        quotes::DownloadOutcome outcome = quotes::RunDownload(source, fetcher, options, progress);
        quotes::ShowDayInGrid(outcome.Day, grid);
        return outcome;
    }
    long ApiRequests() const { return sim_->Stats().JQuants; }

    TempFolder dir;
    std::unique_ptr<tools::SimServer> sim_;
    quotes::DownloadOptions options;
    jquants::JQuantsSettings settings;
    platform::DateTime now{kFriday, 18, 0, 0};
    platform::Table grid;
    std::vector<std::string> statuses;
};

// Nothing saved: the folders a download makes before its first request hold no file.
bool NothingIn(const fs::path& folder) { return !fs::exists(folder) || fs::is_empty(folder); }

std::vector<std::string> Lines(const fs::path& csv) {
    return platform::SplitLines(platform::SjisToUtf8(ReadAll(csv)));
}

}  // namespace

TEST_F(JQuantsDownloadTest, WholeMarketFollowsEveryPageAndGivesTheQuoteSiteRows) {
    Start(SimWith());
    Client client(5);
    const auto outcome = Run(client);
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    EXPECT_EQ(outcome.Issues, kIssues + kLetterIssues);
    // The calendar, then three master pages and three bar pages; at five a minute the sixth
    // request waits for the minute to pass.
    EXPECT_EQ(ApiRequests(), 7);
    EXPECT_EQ(client.clock->waits, std::vector<int64_t>{60000});
    EXPECT_EQ(quotes::PaceWaitText(59001), "ダウンロード－待機 60秒 (1分あたりの回数制限)");
    const fs::path csv = dir / "CsvData" / "20260116.csv";
    ASSERT_EQ(outcome.CsvPath, csv);
    EXPECT_EQ(ReadAll(csv), tools::ExpectedJQuantsCsv(sim_->GetMarket(), kFriday));
    // A traded numeric issue's line is the quote site's line of the same day; the codes with
    // letters stand after the numeric codes of their prefix.
    const tools::Market& market = sim_->GetMarket();
    std::map<std::string, std::string> lineOf;
    std::vector<std::string> order;
    for (const std::string& line : Lines(csv)) {
        order.push_back(line.substr(0, 4));
        lineOf[order.back()] = line;
    }
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_EQ(std::count(order.begin(), order.end(), "130A"), 1);
    int compared = 0;
    for (const tools::Issue& issue : market.Issues()) {
        const tools::DayQuote q = market.Quote(issue, kFriday);
        if (!q.Traded) continue;
        EXPECT_EQ(lineOf[issue.Symbol], tools::ExpectedCsvLine(issue, q));
        ++compared;
    }
    EXPECT_GT(compared, kIssues * 9 / 10);
    EXPECT_EQ(quotes::ReadIssueRecord(dir / "StockData", market.Issues()[0].Code).Days[0].Date, "2026/01/16");
    const market::IssueCode letters = *market::IssueCode::Parse("130A");
    const tools::DayQuote first = market.Quote(market.LetterIssues()[0], kFriday);
    EXPECT_EQ(quotes::ReadIssueRecord(dir / "StockData", letters).Days[0].Price,
              first.Traded ? tools::StoredPrice(market.LetterIssues()[0], first.Close, kFriday, 4) : 0);
    EXPECT_EQ(statuses.front(), "ダウンロード－開始");
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "ダウンロード－要求 株価 2026/01/16 (3)"), statuses.end());
    EXPECT_EQ(statuses.back(), "");

    // Again the same day: the names and the calendar come from the cache, only the bars are asked.
    const long before = ApiRequests();
    ASSERT_TRUE(Run(client).Ok);
    EXPECT_EQ(ApiRequests() - before, 3);
    EXPECT_EQ(ReadAll(csv), tools::ExpectedJQuantsCsv(sim_->GetMarket(), kFriday));
}

TEST_F(JQuantsDownloadTest, WrongOrMissingKeyEndsAtOnceWithNothingSaved) {
    Start(SimWith());
    struct Case {
        const char* name;
        std::string key;
        std::string status;
        long requests;
    };
    const std::vector<Case> cases = {
        {"wrong key (403)", "wrong-key-4711", "APIキーが正しくありません(The incoming api key is invalid or expired.)", 1},
        {"no key", "", jquants::kJQuantsNoKeyText, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Client client(5);
        settings.ApiKey = c.key;
        const long before = ApiRequests();
        const auto outcome = Run(client);
        EXPECT_FALSE(outcome.Ok);
        EXPECT_EQ(outcome.Status, c.status);
        EXPECT_EQ(statuses.back(), c.status);
        EXPECT_EQ(ApiRequests() - before, c.requests);
        EXPECT_TRUE(c.key.empty() || outcome.Status.find(c.key) == std::string::npos);
        EXPECT_TRUE(NothingIn(dir / "CsvData"));
        EXPECT_TRUE(NothingIn(dir / "StockData"));
    }

    // A 401 from a server that wants no key at all ends the same way; the server's echo of the
    // key never reaches the status.
    struct Echo final : platform::Fetcher {
        platform::FetchResult Fetch(const std::string&) override {
            return {false, "{\"message\":\"bad key mirolanda-test-key\"}", "HTTP 401", 401};
        }
    } echo;
    settings.ApiKey = "mirolanda-test-key";
    const auto outcome = Run(echo);
    EXPECT_EQ(outcome.Status, "APIキーが正しくありません(bad key ***)");
    EXPECT_TRUE(NothingIn(dir / "CsvData"));
}

TEST_F(JQuantsDownloadTest, TooManyRequestsIsWaitedOutAndTheDownloadGoesOn) {
    struct Case {
        int retryAfter;
        std::vector<int64_t> waits;
    };
    for (const Case& c : {Case{0, {60000, 120000}}, Case{5, {5000, 5000}}}) {
        SCOPED_TRACE(c.retryAfter);
        tools::SimOptions sim = SimWith();
        sim.JQuants.RetryAfterSeconds = c.retryAfter;
        sim.Faults.Add(tools::FaultKind::TooMany, "3-4");
        Start(sim);
        Client client(0);
        const auto outcome = Run(client);
        ASSERT_TRUE(outcome.Ok) << outcome.Status;
        EXPECT_EQ(client.clock->waits, c.waits);
        EXPECT_EQ(ReadAll(dir / "CsvData" / "20260116.csv"), tools::ExpectedJQuantsCsv(sim_->GetMarket(), kFriday));
        for (const char* sub : {"Temp", "CsvData", "StockData"}) fs::remove_all(dir / sub);
    }
}

TEST_F(JQuantsDownloadTest, EmptyDayEndsWithThePlansDelayAndNothingSaved) {
    Start(SimWith(/*delayDays=*/84));
    Client client(5);
    const auto outcome = Run(client);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Status, jquants::kJQuantsNotYetText);
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_TRUE(NothingIn(dir / "CsvData"));
}

TEST_F(JQuantsDownloadTest, TheExchangesCalendarDecidesTheDataDateAndItsDifferencesAreToldOnce) {
    const platform::Date closed{2026, 1, 14};  // a Wednesday the exchange closes
    Start(SimWith(0, {closed}));
    options.BuiltinBusinessDay = [](const platform::Date& d) { return platform::Weekday(d) % 6 != 0; };
    At(closed);
    Client client(0);
    auto outcome = Run(client);
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    EXPECT_EQ(outcome.CsvPath->filename(), "20260113.csv");
    const auto& told = outcome.CalendarDifferences;
    EXPECT_NE(std::find_if(told.begin(), told.end(), [&](const auto& d) { return d.Day == closed && !d.ExchangeBusiness; }),
              told.end());
    outcome = Run(client);
    EXPECT_TRUE(outcome.CalendarDifferences.empty());
}

// A week away: the download on return fetches each missed business day, oldest first, and
// leaves the same CSV and history files as a user who downloaded every day on its day.
TEST_F(JQuantsDownloadTest, MissedWeekIsCaughtUpLikeDownloadingEachDayOnItsDay) {
    Start(SimWith());
    const std::vector<platform::Date> days = {{2026, 1, 8},  {2026, 1, 9},  {2026, 1, 12}, {2026, 1, 13},
                                              {2026, 1, 14}, {2026, 1, 15}, {2026, 1, 16}};
    const fs::path daily = dir / "daily", away = dir / "away";
    Client client(5);
    Use(daily);
    for (const platform::Date& day : days) {
        At(day);
        const auto outcome = Run(client);
        ASSERT_TRUE(outcome.Ok) << outcome.Status;
        EXPECT_TRUE(outcome.CaughtUp.empty());
    }

    Use(away);
    At(days.front());
    ASSERT_TRUE(Run(client).Ok);
    At(days.back());
    client.clock->waits.clear();
    const auto outcome = Run(client);
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    EXPECT_EQ(outcome.CaughtUp, std::vector<platform::Date>(days.begin() + 1, days.end() - 1));
    EXPECT_TRUE(outcome.NotCaughtUp.empty());
    EXPECT_FALSE(client.clock->waits.empty());  // 37 requests at five a minute

    for (const fs::path& sub : {fs::path("CsvData"), fs::path("StockData")}) {
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(daily / sub)) names.push_back(entry.path().filename());
        ASSERT_EQ(names.size(), sub == "CsvData" ? days.size() : static_cast<size_t>(kIssues + kLetterIssues));
        for (const fs::path& name : names) ASSERT_EQ(ReadAll(away / sub / name), ReadAll(daily / sub / name)) << name;
    }

    // At most the last so many days are caught up; the older ones are named, not fetched. A
    // newer day the intraday update filed for a held issue does not count as a filing.
    const fs::path limited = dir / "limited";
    Use(limited);
    At(days.front());
    ASSERT_TRUE(Run(client).Ok);
    quotes::StoreDayPrice(limited / "StockData", sim_->GetMarket().Issues()[0].Code, "held", "2026/01/16", 1);
    At(days.back());
    options.MaxCatchUpDays = 3;
    const auto bounded = Run(client);
    ASSERT_TRUE(bounded.Ok) << bounded.Status;
    EXPECT_EQ(bounded.CaughtUp, std::vector<platform::Date>(days.end() - 4, days.end() - 1));
    EXPECT_EQ(bounded.NotCaughtUp, std::vector<platform::Date>(days.begin() + 1, days.end() - 4));

    // The catch-up alone runs through the data date itself.
    const fs::path alone = dir / "alone";
    Use(alone);
    At(days.front());
    ASSERT_TRUE(Run(client).Ok);
    At(days[3]);
    options.MaxCatchUpDays = 20;
    jquants::JQuantsSource source(settings);
    const auto caughtUp = quotes::CatchUpMissedDays(source, *client.fetcher, options);
    ASSERT_TRUE(caughtUp.Ok) << caughtUp.Status;
    EXPECT_EQ(caughtUp.Days, std::vector<platform::Date>(days.begin() + 1, days.begin() + 4));
    EXPECT_EQ(ReadAll(alone / "CsvData" / "20260113.csv"), ReadAll(daily / "CsvData" / "20260113.csv"));
}
