// The download tab: the download on its worker thread (tabs, state, status, the result
// table, the options read from the settings tab), its failure path, errors of saving, the
// CSV save, the per-issue save through the file dialog, and closing during a download.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <future>

#include "WindowFixture.h"
#include "app/download/AutoDownload.h"
#include "app/settings/AutoSettingsPage.h"
#include "app/holdings/HoldingsTab.h"
#include "app/settings/RunLogPage.h"
#include "app/settings/SettingsTab.h"
#include "platform/Errors.h"
#include "jquants/JQuantsSource.h"
#include "quotes/ResultGrid.h"
#include "app/commands/FolderLockWait.h"
#include "platform/FolderLock.h"
#include "quotes/CsvFile.h"
#include "platform/RunLog.h"
#include "quotes/StockFile.h"

namespace mirolanda::app::test {
namespace {

class DownloadTest : public WindowTest {
protected:
    DownloadTest() { Store("Parameters/AutoMode", "0"); }
    DownloadTab& Tab() { return *window->Download(); }
};

TEST_F(DownloadTest, ADownloadDisablesTheTabsUntilFetchingIsDoneThenFillsTheTable) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> started;
    MainFrmOptions options = Options();
    options.Runner = [&, inner = download.Runner()](auto& grid, auto& fetcher, const auto& o, const auto& progress) {
        started.set_value();
        released.wait();
        return inner(grid, fetcher, o, progress);
    };
    Open(std::move(options));
    download.Script({{true, 3}});

    QSignalSpy finished(&Tab(), &DownloadTab::DownloadFinished);
    ASSERT_TRUE(Tab().CmdGetData_Click());
    started.get_future().wait();
    EXPECT_FALSE(Control<QTabWidget>("TabMain")->isEnabled());
    EXPECT_EQ(window->DownloadState(), 1);
    EXPECT_EQ(Status(), "ダウンロード－開始");
    EXPECT_FALSE(Tab().CmdGetData_Click()) << "one download at a time";
    for (const char* start : {"CmdGetData", "CmdOneNow(0)", "CmdOneNow(1)"}) EXPECT_FALSE(Control<QPushButton>(start)->isEnabled()) << start;
    EXPECT_TRUE(Control<QPushButton>("CmdCancel")->isVisibleTo(window.get()));
    release.set_value();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_TRUE(Control<QTabWidget>("TabMain")->isEnabled());
    EXPECT_EQ(window->DownloadState(), 0);
    EXPECT_EQ(Status(), "3銘柄をダウンロードしました") << "the scripted download saves nothing";
    EXPECT_TRUE(Control<QPushButton>("CmdCsvSave")->isEnabled());
    for (const char* start : {"CmdGetData", "CmdOneNow(0)", "CmdOneNow(1)"}) EXPECT_TRUE(Control<QPushButton>(start)->isEnabled()) << start;
    EXPECT_FALSE(Control<QPushButton>("CmdCancel")->isVisibleTo(window.get()));
    EXPECT_FALSE(Control<QProgressBar>("PrgDownload")->isVisible());
    ASSERT_EQ(Control<QTableView>("FgFix")->model()->rowCount(), 3);
    EXPECT_EQ(Control<QTableView>("FgFix")->model()->index(2, 0).data().toString(), "1302");
    EXPECT_EQ(Control<QTableView>("FgFix")->model()->headerData(6, Qt::Horizontal).toString(), "出来高");
}

// Another writer (the timer's mirolanda-cli) holds the program folder: the download waits on its
// worker, the status line says so with the event loop running, and it runs once the writer is
// done. The automatic download does not wait: its try fails, to be tried again later. A cancel
// ends a wait with nothing run.
TEST_F(DownloadTest, ADownloadWaitsForAnotherWriterTheAutomaticOneTriesLaterACancelEndsTheWait) {
    Open();
    auto other = platform::FolderLock::Try(program);
    ASSERT_TRUE(other);
    QSignalSpy finished(&Tab(), &DownloadTab::DownloadFinished);
    ASSERT_TRUE(Tab().CmdGetData_Click());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status() == kFolderBusyStatus; }, 10000)) << Status().toStdString();
    EXPECT_EQ(download.Runs(), 0);
    EXPECT_TRUE(Control<QPushButton>("CmdCancel")->isVisibleTo(window.get()));
    other.reset();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_EQ(download.Runs(), 1);

    other = platform::FolderLock::Try(program);
    ASSERT_TRUE(Tab().CmdGetData_Click(DownloadTab::WriterWait::TryOnce));
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(finished.at(1).at(0).toBool());
    EXPECT_EQ(finished.at(1).at(1).toString(), "他の処理がデータを書き込み中です");
    EXPECT_EQ(window->DownloadState(), -1);
    EXPECT_EQ(download.Runs(), 1);

    ASSERT_TRUE(Tab().CmdGetData_Click());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status() == kFolderBusyStatus; }, 10000)) << Status().toStdString();
    Tab().Cancel();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(finished.at(2).at(2).toBool()) << "cancelled";
    EXPECT_EQ(Status(), kCancelledStatus);
    EXPECT_EQ(download.Runs(), 1);
}

TEST_F(DownloadTest, AFailedRequestKeepsTheRowsShowsTheErrorAndLeavesCsvSaveOff) {
    download.Script({{false, 40}});
    Open();
    QSignalSpy finished(&Tab(), &DownloadTab::DownloadFinished);
    ASSERT_TRUE(Tab().CmdGetData_Click());
    ASSERT_TRUE(WaitForDownload());
    EXPECT_EQ(Control<QTableView>("FgFix")->model()->rowCount(), 40);
    EXPECT_FALSE(Control<QPushButton>("CmdCsvSave")->isEnabled());
    EXPECT_EQ(window->DownloadState(), -1);
    EXPECT_EQ(Status(), "Internet Error(Connection refused)");
    // The HTTP library's own words stay for whoever looks closer.
    EXPECT_TRUE(Control<ElidedLabel>("LblExecMsg")->toolTip().endsWith("\nFailed to connect to 127.0.0.1 port 9"));
    EXPECT_TRUE(Control<QTabWidget>("TabMain")->isEnabled());
    EXPECT_TRUE(dialogs.shown.empty()) << "a network failure gives no message box";
}

TEST_F(DownloadTest, TheDownloadIsGivenTheSettingsAsTheControlsHoldThem) {
    Store("Parameters/ConnectionMode", "2");
    Open();
    Control<QRadioButton>("OptInetConfig(1)")->setChecked(true);  // not saved: the stored mode counts
    Control<QLineEdit>("TxtInetProxyServer")->setText("proxy.lan");
    Control<QLineEdit>("TxtInetProxyPort")->setText("3128");
    Control<QLineEdit>("TxtQuoteSiteUrl")->setText("http://127.0.0.1:9/");
    Control<QLineEdit>("TxtFolderData")->setText((folder.Path() / "csv").string().c_str());
    Control<QLineEdit>("TxtAutoMinNum")->setText(" 3500件");
    Control<QCheckBox>("ChkAutoCsvSave")->setChecked(false);
    ASSERT_TRUE(Tab().CmdGetData_Click());
    ASSERT_TRUE(WaitForDownload());
    const quotes::DownloadOptions& o = download.lastOptions;
    EXPECT_EQ(o.ConnectionMode, 2);
    EXPECT_EQ(o.Proxy, "proxy.lan:3128");
    ASSERT_NE(download.lastSource, nullptr);
    EXPECT_EQ(download.lastSource->Address(), "http://127.0.0.1:9");
    EXPECT_EQ(o.CsvFolder, folder.Path() / "csv");
    EXPECT_EQ(o.StockFolder, program / "StockData");
    EXPECT_DOUBLE_EQ(o.MinimumIssues, 3500);
    EXPECT_FALSE(o.AutoCsvSave);
    EXPECT_TRUE(o.AutoDataSave);
    ASSERT_TRUE(o.DataDate);
    EXPECT_EQ(platform::FormatYmd(o.DataDate()), "20261207");
}

TEST_F(DownloadTest, AnErrorOfSavingIsShownAndNotRetriedEveryTick) {
    Store("Parameters/AutoMode", "1");
    clock.Set({{2026, 12, 7}, 21, 30, 0});
    MainFrmOptions options = Options();
    int runs = 0;
    options.Runner = [&](auto&, auto&, const auto&, const auto&) -> quotes::DownloadOutcome {
        ++runs;
        throw platform::FileError("/full/disk/20261207.csv", "ファイルを書き込めません");
    };
    Open(std::move(options));
    window->Automation()->Tick();
    ASSERT_TRUE(WaitForDownload());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].Icon, MessageIcon::Critical);
    EXPECT_TRUE(dialogs.shown[0].Text.contains("20261207.csv"));
    EXPECT_EQ(window->DownloadState(), -1);
    EXPECT_TRUE(Control<QTabWidget>("TabMain")->isEnabled());
    window->Automation()->Tick();
    EXPECT_FALSE(Tab().Busy());
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(IsStored("Parameters/LastAutoDownLoad"));
}

TEST_F(DownloadTest, CsvSaveWritesTheDailyFileOfTheDataDate) {
    download.Script({{true, 2}});
    Open();
    ASSERT_TRUE(Tab().CmdGetData_Click());
    ASSERT_TRUE(WaitForDownload());
    Control<QPushButton>("CmdCsvSave")->click();
    EXPECT_TRUE(std::filesystem::exists(program / "CsvData" / "20261207.csv"));
    EXPECT_EQ(Status(), "ＣＳＶファイル保存完了");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DownloadTest, CsvSaveIntoAFolderThatCannotBeMadeIsReported) {
    testing::WriteAll(folder.Path() / "plainfile", "x");
    Open();
    Control<QLineEdit>("TxtFolderData")->setText(QString::fromStdString((folder.Path() / "plainfile" / "csv").string()));
    Tab().CmdCsvSave_Click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].Icon, MessageIcon::Critical);
    EXPECT_TRUE(dialogs.shown[0].Text.contains("plainfile")) << dialogs.shown[0].Text.toStdString();
}

// The data source and its key on 「インターネット接続」: the key asked for in a box that hides it,
// kept (no secret store here) in the settings file with a warning, and the download given the
// API's options from the page as it stands.
TEST_F(DownloadTest, TheJQuantsSourceAndItsKeyReachTheDownload) {
    Open();
    EXPECT_EQ(Control<QLabel>("LblJQuantsApiKey")->text(), "APIキー: 未設定");
    dialogs.secret = QStringLiteral(" my-api-key ");
    Control<QPushButton>("CmdJQuantsApiKey")->click();
    ASSERT_EQ(dialogs.Informs().size(), 1u);
    EXPECT_EQ(dialogs.Informs()[0].Icon, MessageIcon::Warning);
    EXPECT_TRUE(dialogs.Informs()[0].Text.contains("平文")) << dialogs.Informs()[0].Text.toStdString();
    EXPECT_FALSE(dialogs.Informs()[0].Text.contains("my-api-key"));
    EXPECT_EQ(Stored("Parameters/JQuantsApiKey"), "my-api-key");
    EXPECT_EQ(Control<QLabel>("LblJQuantsApiKey")->text(), "APIキー: 設定済み (設定ファイルに平文)");

    Control<QRadioButton>("OptQuoteSource(1)")->setChecked(true);
    Control<QLineEdit>("TxtJQuantsPerMinute")->setText("60");
    Control<QLineEdit>("TxtJQuantsApiUrl")->setText("http://127.0.0.1:9/v2/");
    ASSERT_TRUE(Tab().CmdGetData_Click());
    ASSERT_TRUE(WaitForDownload());
    const quotes::DownloadOptions& o = download.lastOptions;
    const auto* api = dynamic_cast<const jquants::JQuantsSource*>(download.lastSource);
    ASSERT_NE(api, nullptr);
    EXPECT_EQ(api->Settings().ApiKey, "my-api-key");
    EXPECT_EQ(api->Address(), "J-Quants http://127.0.0.1:9/v2");
    EXPECT_EQ(api->Pace().RequestsPerMinute, 60);
    ASSERT_TRUE(o.BuiltinBusinessDay);
    EXPECT_FALSE(o.BuiltinBusinessDay({2026, 12, 6})) << "a Sunday";
    ASSERT_TRUE(o.Now);
    EXPECT_EQ(platform::FormatYmd(o.Now().Day), "20261207");

    // Saved with its group; the key never in the run log the download left.
    Control<QPushButton>("CmdInetConfigSave")->click();
    EXPECT_EQ(Stored("Parameters/QuoteSource"), "jquants");
    const auto log = platform::ReadRunLogTail(program);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("\tdownload\tsource=J-Quants http://127.0.0.1:9/v2\toutcome=ok"), std::string::npos) << log[0];
    // 「設定・保守」→「実行記録」 shows it.
    Control<RunLogPage>("RunLogPage")->Refresh();
    auto* table = Control<QTableWidget>("FgRunLog");
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 2)->text(), "ダウンロード");
    EXPECT_EQ(table->item(0, 3)->text(), "J-Quants http://127.0.0.1:9/v2");
    EXPECT_EQ(table->item(0, 4)->text(), "成功");
}

// A damaged history file costs one issue: the per-issue save files the others, leaves it as
// it was, names it, and the run log records both.
TEST_F(DownloadTest, PerIssueSaveLeavesADamagedHistoryFileAndNamesIt) {
    Open();
    platform::Table grid;
    quotes::ResetResultGrid(grid);
    grid.AddRow({"1301", "極洋", "3000", "3100", "2990", "3050", "12000"});
    grid.AddRow({"1332", "日本水産", "500", "510", "490", "505", "9000"});
    auto csv = quotes::SaveDailyCsv(grid, folder.Path() / "in", "20261204");
    std::filesystem::create_directories(program / "StockData");
    testing::WriteAll(program / "StockData" / "1301.dat", "damaged");
    dialogs.files = {QString::fromStdString(csv.string())};
    QSignalSpy filed(&Tab(), &DownloadTab::FilingFinished);
    Tab().CmdDatSave_Click();
    ASSERT_TRUE(filed.wait(10000));
    ASSERT_EQ(dialogs.Informs().size(), 1u);
    EXPECT_TRUE(dialogs.Informs()[0].Text.startsWith("銘柄別データを更新できませんでした: 1301.dat ("))
        << dialogs.Informs()[0].Text.toStdString();
    EXPECT_EQ(testing::ReadAll(program / "StockData" / "1301.dat"), "damaged");
    EXPECT_EQ(quotes::ReadIssueRecord(program / "StockData", 1332).Days[0].Price, 505);
    const auto log = platform::ReadRunLogTail(program);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("\tfile\t"), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("outcome=skipped\trequests=0\tretries=0\tstored=1\tskipped=1301.dat"), std::string::npos) << log[0];
}

TEST_F(DownloadTest, PerIssueSaveFilesTheChosenFilesAndWarnsAboutBadNames) {
    Open();
    platform::Table grid;
    quotes::ResetResultGrid(grid);
    grid.AddRow({"1301", "極洋", "3000", "3100", "2990", "3050", "12000"});
    auto good = quotes::SaveDailyCsv(grid, folder.Path() / "in", "20261204");
    testing::WriteAll(folder.Path() / "in" / "notes.csv", "");
    dialogs.files = {QString::fromStdString((folder.Path() / "in" / "notes.csv").string()),
                     QString::fromStdString(good.string())};
    QSignalSpy filed(&Tab(), &DownloadTab::FilingFinished);
    Tab().CmdDatSave_Click();
    // While the worker files, the intraday update (which writes the same files) cannot be started.
    EXPECT_FALSE(Control<QTabWidget>("TabMain")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>("CmdOneNow(0)")->isEnabled());
    EXPECT_EQ(dialogs.lastChoice.Title, "銘柄別データ保存");
    EXPECT_EQ(dialogs.lastChoice.Folder.toStdString(), (program / "CsvData").string());
    EXPECT_EQ(dialogs.lastChoice.ProposedName, "20261207.csv");
    EXPECT_EQ(dialogs.lastChoice.Filter, "CSVﾌｧｲﾙ(*.csv);;全てのﾌｧｲﾙ(*.*)");
    ASSERT_TRUE(filed.wait(10000));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].Icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.shown[0].Title, "Mirolanda");
    // Several files may be chosen: the warning names the one it is about.
    EXPECT_EQ(dialogs.shown[0].Text.toStdString(),
              std::string(quotes::kBadCsvNameMessage) + "\r" + (folder.Path() / "in" / "notes.csv").string());
    auto record = quotes::ReadIssueRecord(program / "StockData", 1301);
    EXPECT_EQ(record.Days[0].Date, "2026/12/04");
    EXPECT_EQ(record.Days[0].Price, 3050);
    EXPECT_EQ(Status(), "");
    EXPECT_TRUE(Control<QTabWidget>("TabMain")->isEnabled());
}

TEST_F(DownloadTest, CancellingTheDialogFilesNothing) {
    Open();
    QSignalSpy filed(&Tab(), &DownloadTab::FilingFinished);
    Tab().CmdDatSave_Click();
    EXPECT_FALSE(Tab().Busy());
    EXPECT_EQ(filed.count(), 0);
    EXPECT_FALSE(std::filesystem::exists(program / "StockData"));
}

// A fetcher that always answers, so only cancellation ends the download below.
class EndlessFetcher final : public platform::Fetcher {
public:
    platform::FetchResult Fetch(const std::string&) override { return {true, "page", "", 200}; }
};

TEST_F(DownloadTest, ClosingTheWindowEndsARunningDownload) {
    MainFrmOptions options = Options();
    options.Fetcher = std::make_unique<EndlessFetcher>();
    std::promise<void> started;
    options.Runner = [&](auto&, platform::Fetcher& fetcher, const auto&, const auto&) {
        started.set_value();
        quotes::DownloadOutcome outcome;
        for (;;) {
            auto page = fetcher.Fetch("http://127.0.0.1:9/q");
            if (!page.Ok) {
                outcome.Status = "Internet Error(" + page.Description + ")";
                return outcome;
            }
        }
    };
    Open(std::move(options));
    ASSERT_TRUE(Tab().CmdGetData_Click());
    started.get_future().wait();
    // Closing asks first, with No as the default; the first answer No keeps the window open.
    EXPECT_FALSE(window->close());
    ASSERT_EQ(dialogs.Asks().size(), 1u);
    EXPECT_EQ(dialogs.Asks()[0].Text, "実行中の処理があります。\r中止して終了しますか？");
    EXPECT_EQ(dialogs.Asks()[0].Default, DefaultButton::No);
    EXPECT_TRUE(Tab().Busy());
    dialogs.answerYes = true;
    EXPECT_TRUE(window->close());
    // The worker has returned: what it reports next arrives at the window as a failure.
    QSignalSpy finished(&Tab(), &DownloadTab::DownloadFinished);
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_EQ(window->DownloadState(), -1);
}

TEST_F(DownloadTest, TheCloseQuestionGoesAwayWhenTheCommandEndsMeanwhile) {
    MainFrmOptions options = Options();
    std::promise<void> started;
    std::promise<void> release;
    auto released = release.get_future().share();
    options.Runner = [&, released](auto&, platform::Fetcher&, const auto&, const auto&) {
        started.set_value();
        released.wait();
        quotes::DownloadOutcome outcome;
        outcome.Status = "Internet Error(test)";
        return outcome;
    };
    Open(std::move(options));
    ASSERT_TRUE(Tab().CmdGetData_Click());
    started.get_future().wait();
    // The user leaves the question open (its answer would be No) while the download ends.
    dialogs.answerYes = false;
    dialogs.whileAsking = [&] {
        QSignalSpy finished(&Tab(), &DownloadTab::DownloadFinished);
        release.set_value();
        ASSERT_TRUE(finished.wait(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.dismissed; }, 10000));
    };
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs.dismissals, 1);
    ASSERT_EQ(dialogs.Asks().size(), 1u);

    // With nothing running, a later close asks nothing and nothing is dismissed.
    dialogs.whileAsking = {};
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs.Asks().size(), 1u);
    EXPECT_EQ(dialogs.dismissals, 1);
}

}  // namespace
}  // namespace mirolanda::app::test
