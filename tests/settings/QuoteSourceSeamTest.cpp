// The quote-source seam: a third source is one class and one registry line. Registered beside
// the real ones and chosen by "QuoteSource", a fake source runs the whole download: the missed
// day caught up, the daily CSV, the history files and the run log.
#include <gtest/gtest.h>

#include "market/QuoteSource.h"
#include "platform/RunLog.h"
#include "platform/SjisText.h"
#include "quotes/DownloadCommand.h"
#include "quotes/StockFile.h"
#include "settings/CommandOptions.h"
#include "settings/QuoteSources.h"
#include "support/TempFolder.h"

namespace mirolanda::settings {
namespace {

using testing::ReadAll;

// A market of three issues that serves any day; a day's prices grow with the day of the month.
class FakeSource final : public market::QuoteSource {
public:
    explicit FakeSource(std::string address) : address_(std::move(address)) {}
    std::string_view SettingName() const override { return "fake"; }
    std::string Address() const override { return address_; }
    bool ServesPastDays() const override { return true; }
    void FetchDay(const platform::Date& day, market::SourceContext&, market::FetchedDay& into) override {
        into = {};
        into.Day = {day, "fake", {}};
        const market::Tenths base = market::FromYen(2000 + day.Day);
        // Half a yen either side of a whole one: the CSV rounds a half to the even neighbour.
        into.Day.Rows = {{market::IssueCode(1301), "極洋", {day, base, base + 15, base - 5, base + 5, 1200, 3000000, 1.0}, "", ""},
                         {*market::IssueCode::Parse("130A"), "新規\r\n上場", {day, base, base, base, base - 15, 10, {}, 1.0}, "", ""},
                         {market::IssueCode(7203), "トヨタ自動車", {}, "", ""}};  // no trade: zeros
        asked.push_back(day);
    }
    std::vector<platform::Date> asked;

private:
    std::string address_;
};

class NoNetwork final : public platform::Fetcher {
public:
    platform::FetchResult Fetch(const std::string&) override { return {}; }
};

TEST(QuoteSourceSeam, AFakeThirdSourceRunsTheWholeDownload) {
    mirolanda::testing::TempFolder dir;
    FakeSource* made = nullptr;
    market::SourceRegistry registry = QuoteSources();
    registry.Register({"fake", "テスト取得元", [&made](const market::SourceSetup& setup) {
                           auto source = std::make_unique<FakeSource>("fake:" + setup.Setting("QuoteSiteUrl"));
                           made = source.get();
                           return source;
                       }});
    ASSERT_EQ(registry.Entries().size(), 3u);
    EXPECT_EQ(registry.Entries().back().DisplayName, "テスト取得元");

    Snapshot settings(dir.Path());
    settings.Set(keys::QuoteSource, "fake");
    settings.Set(keys::QuoteSiteUrl, "//market");
    const auto source = SourceFrom(settings, "", registry);
    ASSERT_EQ(source->SettingName(), "fake");

    quotes::DownloadOptions options = DownloadOptionsFrom(settings);
    options.MinimumIssues = 3;
    options.DataDate = [] { return platform::Date{2026, 12, 4}; };  // a Friday
    options.BuiltinBusinessDay = [](const platform::Date& d) { return platform::Weekday(d) % 6 != 0; };
    // Filed up to Wednesday: Thursday is caught up before Friday.
    quotes::StoreDayPrice(options.StockFolder, 1301, "極洋", "2026/12/02", 2002);

    NoNetwork network;
    const quotes::DownloadOutcome outcome = quotes::RunDownload(*source, network, options);
    ASSERT_TRUE(outcome.Ok) << outcome.Status;
    EXPECT_EQ(made->asked, (std::vector<platform::Date>{{2026, 12, 3}, {2026, 12, 4}}));
    EXPECT_EQ(outcome.CaughtUp, (std::vector<platform::Date>{{2026, 12, 3}}));
    EXPECT_EQ(outcome.Issues, 3);

    EXPECT_EQ(ReadAll(options.CsvFolder / "20261204.csv"),
              platform::Utf8ToSjis("1301,\"極洋\",2004,2006,2004,2004,1200\r\n"
                                   "130A,\"新規  上場\",2004,2004,2004,2002,10\r\n"
                                   "7203,\"トヨタ自動車\",0,0,0,0,0\r\n"));
    EXPECT_TRUE(std::filesystem::exists(options.CsvFolder / "20261203.csv"));
    const quotes::IssueRecord record = quotes::ReadIssueRecord(options.StockFolder, 1301);
    ASSERT_EQ(record.DayCount(), 3);
    EXPECT_EQ(record.Days[0].Date, "2026/12/04");
    EXPECT_EQ(record.Days[0].Price, 2004);
    EXPECT_EQ(record.Days[1].Price, 2004) << "2003.5 goes to the even 2004";

    platform::RunRecord line;
    line.Command = "download";
    line.Source = source->Address();
    quotes::DescribeInRunRecord(outcome, line);
    platform::AppendRunRecord(dir.Path(), line);
    const auto log = platform::ReadRunLogTail(dir.Path());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("fake://market"), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("issues=3"), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("追加取得 2026/12/03"), std::string::npos) << log[0];
}

}  // namespace
}  // namespace mirolanda::settings
