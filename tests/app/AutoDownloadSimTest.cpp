// The automatic download end to end: the window's timer tick, the real download over HTTP
// against the market simulator on a loopback port, the daily CSV and the history files
// written, "LastAutoDownLoad" recorded; and a failed request tried again after the wait. And
// the download meeting a user's `mirolanda-cli file` on the same program folder.
#include <sys/wait.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <future>
#include <map>
#include <optional>

#include "WindowFixture.h"
#include "app/download/AutoDownload.h"
#include "platform/FolderLock.h"
#include "platform/RunLog.h"
#include "platform/SjisText.h"
#include "marketdb/MarketDb.h"
#include "quotes/DownloadCommand.h"
#include "quotes/StockFile.h"
#include "support/CliRun.h"
#include "support/SimProcess.h"
#include "tools/Market.h"

namespace mirolanda::app::test {
namespace {

class SimTest : public WindowTest {
protected:
    // The test's simulator, ended after the window: the window's idle connection would keep
    // it from stopping at once.
    const testing::SimProcess& StartSim(std::vector<std::string> args) { return sim_.emplace(std::move(args)); }
    void TearDown() override {
        window.reset();
        sim_.reset();
    }
    void OpenAgainst(const testing::SimProcess& sim) {
        Store("Parameters/QuoteSiteUrl", QString::fromStdString(sim.BaseUrl()));
        Store("Parameters/ConnectionMode", "1");
        Store("Parameters/AutoMode", "1");
        Store("Parameters/AutoTime", "21:30");
        Open(Options());
    }
    bool TickAndWait() {
        window->Automation()->Tick();
        return WaitForDownload(180000);
    }

private:
    std::optional<testing::SimProcess> sim_;
};

TEST_F(SimTest, TheTickDownloadsTheMarketSavesItAndRecordsTheDataDate) {
    const testing::SimProcess& sim = StartSim({"--issues", "3600", "--date", "20261207"});
    clock.Set({{2026, 12, 7}, 21, 29, 50});
    OpenAgainst(sim);
    EXPECT_FALSE(TickAndWait());
    clock.Set({{2026, 12, 7}, 21, 30, 0});
    ASSERT_TRUE(TickAndWait());
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().Text.toStdString();
    EXPECT_EQ(Status(), "3,600銘柄を保存しました");
    EXPECT_EQ(window->DownloadState(), 0);
    EXPECT_EQ(window->Download()->ResultTable().RowCount(), 3600);
    EXPECT_EQ(notifier.notes.size(), 1u);
    EXPECT_EQ(Stored("Parameters/LastAutoDownLoad"), "20261207");
    EXPECT_TRUE(std::filesystem::exists(program / "CsvData" / "20261207.csv"));
    const auto& first = window->Download()->ResultTable().RowAt(0);
    auto record = quotes::ReadIssueRecord(program / "StockData", std::stoi(first[0]));
    EXPECT_EQ(record.Days[0].Date, "2026/12/07");
    EXPECT_EQ(std::to_string(record.Days[0].Price), first[5]);
    EXPECT_FALSE(TickAndWait()) << "done for this data date";
}

TEST_F(SimTest, AFailedRequestFailsTheTickAndTheTryAfterTheWaitDownloads) {
    const testing::SimProcess& sim = StartSim({"--issues", "3600", "--date", "20261207", "--fault", "http500@5-8"});
    clock.Set({{2026, 12, 7}, 21, 30, 0});
    OpenAgainst(sim);
    ASSERT_TRUE(TickAndWait());
    EXPECT_TRUE(Status().startsWith("Internet Error(")) << Status().toStdString();
    EXPECT_FALSE(IsStored("Parameters/LastAutoDownLoad"));
    EXPECT_EQ(window->DownloadState(), -1);
    EXPECT_FALSE(std::filesystem::exists(program / "CsvData" / "20261207.csv"));
    clock.Set({{2026, 12, 7}, 21, 35, 0});
    ASSERT_TRUE(TickAndWait());
    EXPECT_EQ(Stored("Parameters/LastAutoDownLoad"), "20261207");
    EXPECT_TRUE(std::filesystem::exists(program / "CsvData" / "20261207.csv"));
}

TEST_F(SimTest, ACancelledDownloadStopsAtOnceSavesNothingAndLeavesNoTemporaryFiles) {
    const testing::SimProcess& sim = StartSim({"--issues", "3600", "--date", "20261207", "--latency-ms", "20"});
    Store("Parameters/QuoteSiteUrl", QString::fromStdString(sim.BaseUrl()));
    Store("Parameters/ConnectionMode", "1");
    Store("Parameters/AutoMode", "0");
    Open(Options());
    ASSERT_TRUE(window->Download()->CmdGetData_Click());
    auto* cancel = Control<QPushButton>("CmdCancel");
    EXPECT_TRUE(cancel->isVisibleTo(window.get()));
    // Some blocks are in, parsed through the temporary folder.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status().startsWith("ダウンロード－要求 13"); }, 60000)) << Status().toStdString();
    // No other network command may start meanwhile, from any of its buttons.
    EXPECT_FALSE(Control<QPushButton>("CmdGetData")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>("CmdOneNow(0)")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>("CmdOneNow(1)")->isEnabled());

    QSignalSpy finished(window->Download(), &DownloadTab::DownloadFinished);
    cancel->click();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(finished.at(0).at(2).toBool()) << "ended as cancelled";
    EXPECT_EQ(Status(), "中止しました");
    EXPECT_EQ(window->DownloadState(), 0);
    // The folders were made before the first request; nothing went into them.
    for (const char* name : {"CsvData", "StockData", "Temp"}) {
        const auto path = program / name;
        EXPECT_TRUE(!std::filesystem::exists(path) || std::filesystem::is_empty(path)) << name;
    }
    EXPECT_FALSE(cancel->isVisibleTo(window.get()));
    EXPECT_FALSE(Control<QPushButton>("CmdCsvSave")->isEnabled());
    EXPECT_TRUE(Control<QPushButton>("CmdGetData")->isEnabled());
    EXPECT_FALSE(IsStored("Parameters/LastDownload")) << "a cancelled download is not the last download";
}

namespace fs = std::filesystem;

// Every file below a program folder, by its path there, with its bytes; but for the files
// that differ between two runs of the very same writes:
bool Compared(const fs::path& file) {
    const std::string name = file.filename().string();
    if (name == platform::FolderLock::kFileName) return false;  // holds nothing; there once a writer ran
    if (name == platform::kRunLogName) return false;            // each line says when its command ran
    // The market database stamps each day with when it was stored (the CLI by the real clock),
    // and SQLite lays out its pages as it likes.
    return !name.starts_with(marketdb::kDefaultFileName);
}

std::map<std::string, std::string> DataFiles(const fs::path& program) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(program))
        if (e.is_regular_file() && Compared(e.path()))
            files[fs::relative(e.path(), program).string()] = testing::ReadAll(e.path());
    return files;
}

// A day's CSV of the market's issues, each closing at base + code, in the folder `in`.
fs::path DailyCsv(const fs::path& in, const tools::Market& market, const std::string& ymd, int base) {
    std::vector<std::string> lines;
    for (const tools::Issue& issue : market.Issues())
        lines.push_back(issue.Symbol + ",\"N\",1,2,3," + std::to_string(base + issue.Code) + ",5");
    fs::create_directories(in);
    testing::WriteAll(in / (ymd + ".csv"), platform::EncodeSjisLines(lines));
    return in / (ymd + ".csv");
}

// Whether the child has ended, leaving it to be waited for.
bool Ended(int pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

// The window's download and a user's `mirolanda-cli file` of other days, started together on
// one program folder (the CLI as the download is about to save, so that without the lock the
// two would write the same history files at once), give the files of the two run one after
// the other: the download, holding the folder since its start, first.
TEST_F(SimTest, TheDownloadAndAFilingTogetherGiveWhatTheyGiveOneAfterTheOther) {
    constexpr int kIssues = 600;
    testing::SimProcess sim({"--issues", std::to_string(kIssues), "--date", "20261207"});
    const tools::Market market(tools::MarketOptions{.Issues = kIssues});
    Store("Parameters/QuoteSiteUrl", QString::fromStdString(sim.BaseUrl()));
    Store("Parameters/ConnectionMode", "1");
    Store("Parameters/AutoMode", "0");
    Store("Parameters/AutoDownCheck", "0");  // a market of fewer issues than a day's usual count
    const fs::path apart = folder / "apart", apartSettings = folder / "apart.ini", cliSettings = folder / "cli.ini";
    fs::copy_file(settingsFile, apartSettings);
    testing::WriteAll(cliSettings, "[Parameters]\n");

    // Both folders hold the same three days already.
    const fs::path in = folder / "in";
    quotes::ConvertCsvFilesToIssueFiles({DailyCsv(in, market, "20261116", 100), DailyCsv(in, market, "20261117", 200),
                                         DailyCsv(in, market, "20261118", 300)},
                                        program / "StockData");
    fs::copy(program, apart, fs::copy_options::recursive);
    auto filing = [&](const fs::path& prog) {
        std::vector<std::string> args = {"--settings", cliSettings.string(), "--program-folder", prog.string(), "file"};
        // Each day closes at its day of the month × 1000 + code.
        for (const std::string ymd : {"20261130", "20261201", "20261202", "20261203", "20261204"})
            args.push_back(DailyCsv(in, market, ymd, std::stoi(ymd.substr(6)) * 1000).string());
        return args;
    };
    const std::map<std::string, std::string> env = {{"HOME", folder.Path().string()}};

    // The download stops where it is about to save until the CLI has started and either waits
    // for the folder or is writing.
    std::atomic<bool> fetched{false};
    std::promise<void> go;
    std::shared_future<void> goes = go.get_future().share();
    // Lets the download go on however this test ends, so that closing the window cannot hang.
    const std::unique_ptr<std::promise<void>, void (*)(std::promise<void>*)> letGo(&go, [](std::promise<void>* p) {
        try {
            p->set_value();
        } catch (const std::future_error&) {  // let go already
        }
    });
    MainFrmOptions options = Options();
    options.Runner = [&](auto& source, auto& client, const quotes::DownloadOptions& o, const auto& progress) {
        quotes::DownloadOptions paused = o;
        paused.FetchingDone = [&, done = o.FetchingDone] {
            if (done) done();
            fetched = true;
            goes.wait();
        };
        return quotes::RunDownload(source, client, paused, progress);
    };
    Open(std::move(options));
    QSignalSpy finished(window->Download(), &DownloadTab::DownloadFinished);
    ASSERT_TRUE(window->Download()->CmdGetData_Click());
    const bool reached = QTest::qWaitFor([&] { return fetched.load() || !finished.isEmpty(); }, 120000);
    testing::TempFolder scratch;
    testing::CliChild cli = testing::StartCli(filing(program), scratch.Path(), env);
    auto underWay = [&] {
        const fs::path said = scratch / "cli.err";  // made by the child once it runs
        if (fs::exists(said) && testing::ReadAll(said).find(platform::kFolderBusyText) != std::string::npos) return true;
        for (const auto& e : fs::directory_iterator(program / "StockData"))
            if (e.path().filename().string().front() == '.') return true;  // its temporaries
        return Ended(cli.Pid);
    };
    const bool met = QTest::qWaitFor(underWay, 60000);
    go.set_value();
    const bool done = finished.wait(120000) || !finished.isEmpty();
    const testing::CliResult filed = cli.Finish();
    ASSERT_TRUE(reached && met && done) << reached << met << done;
    ASSERT_TRUE(finished.at(0).at(0).toBool()) << Status().toStdString();
    EXPECT_EQ(filed.Status, 0) << filed.Err;
    EXPECT_EQ(filed.Err, std::string(platform::kFolderBusyText) + "\n") << "the CLI waited for the download";
    window.reset();

    // The same two, one after the other, on the second folder.
    options = Options();
    options.ProgramFolder = apart;
    options.SettingsFile = apartSettings;
    Open(std::move(options));
    ASSERT_TRUE(window->Download()->CmdGetData_Click());
    ASSERT_TRUE(WaitForDownload(120000));
    const testing::CliResult after = testing::RunCli(filing(apart), scratch.Path(), env);
    ASSERT_EQ(after.Status, 0) << after.Err;

    const auto together = DataFiles(program);
    EXPECT_EQ(together.size(), kIssues + 1u) << "a history file per issue and the day's CSV";
    EXPECT_TRUE(together.contains("CsvData/20261207.csv"));
    EXPECT_TRUE(together == DataFiles(apart));
    // No day lost: the three before, the CLI's five and the download's.
    const tools::Issue& first = market.Issues().front();
    const auto record = quotes::ReadIssueRecord(program / "StockData", first.Code);
    ASSERT_EQ(record.DayCount(), 9);
    EXPECT_EQ(record.Days[0].Date, "2026/12/07");
    EXPECT_EQ(record.Days[1].Price, 4000 + first.Code);
    window.reset();  // its idle connection would keep the simulator from stopping at once
}

}  // namespace
}  // namespace mirolanda::app::test
