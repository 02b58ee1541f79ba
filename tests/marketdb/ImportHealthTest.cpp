#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "marketdb/Backfill.h"
#include "marketdb/Export.h"
#include "marketdb/Health.h"
#include "marketdb/Import.h"
#include "Days.h"
#include "support/TempFolder.h"

namespace mirolanda::marketdb {
namespace {

using test::MakeDay;

bool IsWeekday(const platform::Date& d) { return platform::Weekday(d) != 0 && platform::Weekday(d) != 6; }

TEST(ImportTest, FilesAndFoldersAreListedOldestFirstAndOtherNamesRefused) {
    testing::TempFolder tmp;
    std::filesystem::create_directory(tmp / "CsvData");
    for (const char* name : {"20240305.csv", "20240304.CSV", "notes.txt", "2024030.csv"}) {
        testing::WriteAll(tmp / "CsvData" / name, "");
    }
    testing::WriteAll(tmp / "20240301.csv", "");
    testing::WriteAll(tmp / "copy of 20240302.csv", "");
    std::vector<Refusal> refused;
    const auto files = ListDayFiles({tmp / "CsvData", tmp / "copy of 20240302.csv", tmp / "20240301.csv", tmp / "none"},
                                    refused);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].Path, tmp / "20240301.csv");
    EXPECT_EQ(files[1].Day, (platform::Date{2024, 3, 4}));
    EXPECT_EQ(files[2].Path, tmp / "CsvData" / "20240305.csv");
    ASSERT_EQ(refused.size(), 2u);  // the folder's other files are not the user's to hear of
    EXPECT_EQ(refused[0].Path, tmp / "copy of 20240302.csv");
    EXPECT_EQ(refused[1].Reason, "ファイルがありません");
}

TEST(ImportTest, AnUnreadableFileIsRefusedWithItsReasonAndTheOthersStored) {
    testing::TempFolder tmp;
    MarketDb db(tmp / "Market.sqlite3");
    const std::vector<DayFile> files = {{{2024, 3, 4}, "20240304.csv"}, {{2024, 3, 5}, "20240305.csv"},
                                        {{2024, 3, 6}, "20240306.csv"}};
    auto read = [](const DayFile& f) {
        if (f.Day.Day == 5) throw platform::FormatError(f.Path, 3, "数値ではありません");
        return MakeDay(f.Day, {{1301, 1, 1, 1, 1, 1}, {1332, 2, 2, 2, 2, 2}});
    };
    std::vector<std::pair<int, int>> steps;
    platform::Progress progress;
    progress.Advance = [&](int done, int total) { steps.push_back({done, total}); };
    const ImportSummary summary = ImportDays(db, files, read, progress);
    EXPECT_EQ(summary.Days, 2);
    EXPECT_EQ(summary.Bars, 4);
    ASSERT_EQ(summary.Refused.size(), 1u);
    EXPECT_NE(std::string(summary.Refused[0].Reason).find("数値ではありません"), std::string::npos);
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{1, 3}, {3, 3}}));

    std::atomic<bool> cancel = true;
    EXPECT_TRUE(ImportDays(db, files, read, progress, &cancel).Cancelled);
}

// A whole market of `issues` issues on `days` weekdays from 2024-03-04.
std::vector<market::DaySnapshot> Market(int days, int issues) {
    std::vector<market::DaySnapshot> market;
    platform::Date day{2024, 3, 4};
    for (int d = 0; d < days; ++d, day = platform::AddDays(day, IsWeekday(platform::AddDays(day, 1)) ? 1 : 3)) {
        market::DaySnapshot snapshot{day, "csv", {}};
        for (int code = 1000; code < 1000 + issues; ++code) {
            const market::Tenths close = 1000 + code * 3 + d * 7;
            market::Bar bar{day, close - 5, close + 10, close - 10, close, 100 * code + d, std::nullopt, 1.0};
            snapshot.Rows.push_back({code, "銘柄", bar, "", ""});
        }
        market.push_back(std::move(snapshot));
    }
    return market;
}

std::string ExportSome(const MarketDb& db) {
    std::string text;
    for (int code : {1000, 1500, 1999}) text += ExportIssue(db, code, {2024, 1, 1}, {2024, 12, 31}, true, Period::Week);
    return text;
}

// Imports the market in a child that tells the pipe at each progress step and waits for leave to
// go on; the parent kills it with SIGKILL at its `killAt`-th step.
void ImportKilledAt(const std::filesystem::path& file, const std::vector<market::DaySnapshot>& market, int killAt) {
    int told[2], leave[2];
    ASSERT_EQ(::pipe(told), 0);
    ASSERT_EQ(::pipe(leave), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        MarketDb db(file);
        platform::Progress progress;
        progress.Advance = [&](int, int) {
            char c = 's';
            if (::write(told[1], &c, 1) != 1 || ::read(leave[0], &c, 1) != 1) ::_exit(3);
        };
        for (const auto& day : market) db.Add(day, progress);
        ::_exit(0);
    }
    char c = 0;
    for (int step = 1; step < killAt; ++step) {
        ASSERT_EQ(::read(told[0], &c, 1), 1);
        ASSERT_EQ(::write(leave[1], &c, 1), 1);
    }
    ASSERT_EQ(::read(told[0], &c, 1), 1);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    for (int fd : {told[0], told[1], leave[0], leave[1]}) ::close(fd);
}

TEST(ImportTest, AKillAtAnyMomentLeavesASoundFileAndTheRerunExportsTheSameBytes) {
    const auto market = Market(4, 1000);  // four steps a day: after 256, 512, 768 and all rows
    testing::TempFolder tmp;
    MarketDb reference(tmp / "reference.sqlite3");
    for (const auto& day : market) reference.Add(day, {});
    const std::string expected = ExportSome(reference);

    for (int killAt : {1, 4, 5, 7, 12, 16}) {
        const auto file = tmp / ("killed" + std::to_string(killAt) + ".sqlite3");
        ImportKilledAt(file, market, killAt);
        MarketDb db(file);
        const CheckReport report = CheckDatabase(db, IsWeekday);
        EXPECT_TRUE(report.Sound()) << killAt;
        // Whole days or nothing: every day stored holds all its bars.
        EXPECT_EQ(report.Count.Bars, report.Count.Days * 1000) << killAt;
        EXPECT_EQ(report.Count.Days, (killAt - 1) / 4) << killAt;
        for (const auto& day : market) db.Add(day, {});
        EXPECT_EQ(ExportSome(db), expected) << killAt;
    }
}

TEST(HealthTest, CheckCountsAndNamesTheBusinessDaysMissing) {
    testing::TempFolder tmp;
    MarketDb db(tmp / "Market.sqlite3");
    db.Add(MakeDay({2024, 3, 1}, {{1301, 1, 1, 1, 1, 1}}), {});
    db.Add(MakeDay({2024, 3, 6}, {{1301, 1, 1, 1, 1, 1}, {1332, 1, 1, 1, 1, 1}}), {});
    const CheckReport report = CheckDatabase(db, IsWeekday);
    EXPECT_TRUE(report.Sound());
    EXPECT_EQ(report.Count.Issues, 2);
    EXPECT_EQ(report.Count.Bars, 3);
    EXPECT_EQ(report.Count.First, (platform::Date{2024, 3, 1}));
    EXPECT_EQ(report.Missing, (std::vector<platform::Date>{{2024, 3, 4}, {2024, 3, 5}}));
}

TEST(BackfillTest, SkipsTheSourcesDaysCommitsEachAndStopsAtARefusalNamingThePlansFirstDate) {
    testing::TempFolder tmp;
    MarketDb db(tmp / "Market.sqlite3");
    db.Add(MakeDay({2024, 3, 5}, {{1301, 1, 1, 1, 1, 1}}, "jquants"), {});
    db.Add(MakeDay({2024, 3, 6}, {{1301, 1, 1, 1, 1, 1}}, "csv"), {});
    platform::FixedClock clock({{2024, 4, 1}, 10, 0, 0});
    std::vector<platform::Date> fetched;
    auto fetch = [&](const platform::Date& day) {
        fetched.push_back(day);
        clock.AdvanceSeconds(12);
        if (day == platform::Date{2024, 3, 8}) throw PlanRefusal("refused", platform::Date{2024, 3, 8});
        return MakeDay(day, {{1301, 2, 2, 2, 2, 2}}, "jquants");
    };
    std::vector<BackfillStatus> statuses;
    const std::vector<platform::Date> plan = {{2024, 3, 4}, {2024, 3, 5}, {2024, 3, 6}, {2024, 3, 7}, {2024, 3, 8}};
    const BackfillResult result = Backfill(db, "jquants", plan, fetch, clock,
                                           [&](const BackfillStatus& s) { statuses.push_back(s); });
    EXPECT_EQ(fetched, (std::vector<platform::Date>{{2024, 3, 4}, {2024, 3, 6}, {2024, 3, 7}, {2024, 3, 8}}));
    EXPECT_EQ(result.Fetched, 3);
    EXPECT_EQ(result.Skipped, 1);
    EXPECT_NE(result.Stop.find("2024/03/08"), std::string::npos);
    ASSERT_EQ(statuses.size(), 3u);
    EXPECT_EQ(statuses[0].Left, 3);
    EXPECT_EQ(statuses[0].SecondsLeft, 36);
    EXPECT_EQ(statuses[2].Done, 3);
    EXPECT_EQ(db.DaySource({2024, 3, 6}), "jquants");
    EXPECT_EQ(db.DaySource({2024, 3, 7}), "jquants");

    fetched.clear();
    Backfill(db, "jquants", {plan.begin(), plan.begin() + 4}, fetch, clock, {});
    EXPECT_TRUE(fetched.empty());  // nothing fetched twice
}

}  // namespace
}  // namespace mirolanda::marketdb
