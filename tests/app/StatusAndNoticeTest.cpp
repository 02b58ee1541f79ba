// What the window tells the user: a long status text shortened with its whole text (and the
// failure's detail) in the tooltip; the data date and the last download beside it, kept
// across restarts; the newest daily CSV shown at start; the notifications of the automatic
// download and of alerts, and the tray's part in closing.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include "WindowFixture.h"
#include "app/download/AutoDownload.h"
#include "app/download/DownloadReport.h"
#include "app/widgets/ElidedLabel.h"
#include "holdings/BuyData.h"
#include "platform/Errors.h"
#include "platform/SjisText.h"
#include "quotes/ResultGrid.h"
#include "quotes/CsvFile.h"
#include "quotes/StockFile.h"
#include "support/TempFolder.h"

namespace mirolanda::app::test {
namespace {

TEST(ElidedStatus, ALongTextEndsInAnEllipsisAndTheTooltipHoldsItWhole) {
    App();
    ElidedLabel label;
    label.resize(200, 17);
    label.show();
    const QString longText = QStringLiteral("ダウンロード銘柄数が不足しています(3559銘柄、必要数 3560銘柄)、もう一度ダウンロードしてください");
    label.SetFullText(longText, QStringLiteral("Failed to connect to 127.0.0.1 port 9: Connection refused"));
    EXPECT_TRUE(label.text().endsWith(QStringLiteral("…")));
    EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()), 200);
    EXPECT_EQ(label.toolTip(), longText + "\nFailed to connect to 127.0.0.1 port 9: Connection refused");
    EXPECT_EQ(label.FullText(), longText);
    label.resize(2000, 17);
    EXPECT_EQ(label.text(), longText) << "whole again once it fits";
    label.SetFullText(QStringLiteral("短い"));
    EXPECT_EQ(label.text(), "短い");
    EXPECT_EQ(label.toolTip(), "");
}

TEST(DownloadReport, TheLastDownloadIsStoredAndReadBack) {
    const LastDownload ok{"2026/12/07 16:05", 3600, true, ""};
    EXPECT_EQ(FormatLastDownload(ok), "2026/12/07 16:05 3600");
    const LastDownload failed{"2026/12/07 21:30", 0, false, "Internet Error(接続できません)"};
    EXPECT_EQ(FormatLastDownload(failed), "2026/12/07 21:30 NG Internet Error(接続できません)");
    for (const LastDownload& last : {ok, failed}) {
        auto back = ParseLastDownload(FormatLastDownload(last));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->When, last.When);
        EXPECT_EQ(back->Ok, last.Ok);
        EXPECT_EQ(back->Failure, last.Failure);
    }
    for (const char* unreadable : {"", "2026/12/07", "2026/12/07 16:05 x", "2026/12/07 16:05 -3", "2026/12/07-16:05 3"}) {
        EXPECT_FALSE(ParseLastDownload(unreadable)) << unreadable;
    }
    EXPECT_EQ(StatusAreaText("20261207", ok), "データ日付 2026/12/07　最終ダウンロード 2026/12/07 16:05 3,600銘柄");
    EXPECT_EQ(StatusAreaText("20261207", failed),
              "データ日付 2026/12/07　最終ダウンロード 2026/12/07 21:30 失敗 (Internet Error(接続できません))");
    EXPECT_EQ(StatusAreaText("20261207", std::nullopt), "データ日付 2026/12/07");
    EXPECT_EQ(DownloadDoneText(1234567, true), "1,234,567銘柄を保存しました");
    EXPECT_EQ(DownloadDoneText(999, false), "999銘柄をダウンロードしました");
}

class NoticeTest : public WindowTest {
protected:
    QString Area() const { return Control<ElidedLabel>("LblDataInfo")->FullText(); }
    bool Download() {
        if (!window->Download()->CmdGetData_Click()) return false;
        return WaitForDownload();
    }
};

TEST_F(NoticeTest, TheStatusAreaTellsTheDataDateAndTheLastDownloadAcrossRestarts) {
    Store("Parameters/AutoMode", "0");
    Open();
    EXPECT_EQ(Area(), "データ日付 2026/12/07");
    download.Script({{true, 3600}});
    ASSERT_TRUE(Download());
    EXPECT_EQ(Area(), "データ日付 2026/12/07　最終ダウンロード 2026/12/07 20:00 3,600銘柄");
    EXPECT_EQ(Status(), "3,600銘柄をダウンロードしました");
    // While a command runs the area gives way to the progress bar and the cancel button.
    EXPECT_TRUE(Control<ElidedLabel>("LblDataInfo")->isVisibleTo(window.get()));
    EXPECT_FALSE(Control<QPushButton>("CmdCancel")->isVisibleTo(window.get()));
    window.reset();
    Open();
    EXPECT_EQ(Area(), "データ日付 2026/12/07　最終ダウンロード 2026/12/07 20:00 3,600銘柄");

    download.Script({{false, 10}});
    ASSERT_TRUE(Download());
    EXPECT_EQ(Area(), "データ日付 2026/12/07　最終ダウンロード 2026/12/07 20:00 失敗 (Internet Error(Connection refused))");
    EXPECT_TRUE(notifier.notes.empty()) << "a download the user started tells nothing on the desktop";
}

// A day fetched whole whose CSV cannot be written (a folder stands in its place) is a failed
// download that says so, not the network error of the download before it; ＣＳＶ保存 saves the
// day once the place is free.
TEST_F(NoticeTest, ADownloadThatFailsOnSavingNamesThatFailureAndCanBeSavedAgain) {
    Store("Parameters/AutoMode", "0");
    Store("Parameters/AutoDataSave", "0");
    const auto csv = program / "CsvData" / "20261207.csv";
    std::filesystem::create_directories(csv);
    Open();
    download.Script({{false, 10}, {true, 3, true}});
    ASSERT_TRUE(Download());
    ASSERT_TRUE(Download());
    EXPECT_TRUE(Status().startsWith("保存できませんでした: ")) << Status().toStdString();
    EXPECT_TRUE(Status().contains("20261207.csv")) << Status().toStdString();
    EXPECT_EQ(Area(), "データ日付 2026/12/07　最終ダウンロード 2026/12/07 20:00 失敗 (" + Status() + ")");
    EXPECT_EQ(Stored("Parameters/LastDownload"), "2026/12/07 20:00 NG " + Status());
    EXPECT_EQ(window->DownloadState(), -1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].Icon, MessageIcon::Critical);
    ASSERT_TRUE(Control<QPushButton>("CmdCsvSave")->isEnabled());
    EXPECT_EQ(Control<QTableView>("FgFix")->model()->rowCount(), 3);

    std::filesystem::remove(csv);
    Control<QPushButton>("CmdCsvSave")->click();
    EXPECT_EQ(Status(), "ＣＳＶファイル保存完了");
    EXPECT_TRUE(std::filesystem::is_regular_file(csv));
}

// A download that throws before anything is fetched (a folder that cannot be made) is named in
// the last download's record too.
TEST_F(NoticeTest, AFailureThrownByTheDownloadIsNamedInTheStatusArea) {
    Store("Parameters/AutoMode", "0");
    MainFrmOptions options = Options();
    options.Runner = [](auto&, auto&, const auto&, const auto&) -> quotes::DownloadOutcome {
        throw platform::FileError("/ro/CsvData", "フォルダを作成できません(Read-only file system)");
    };
    Open(std::move(options));
    ASSERT_TRUE(Download());
    EXPECT_EQ(Status(), "フォルダを作成できません(Read-only file system): /ro/CsvData");
    EXPECT_EQ(Area(), "データ日付 2026/12/07　最終ダウンロード 2026/12/07 20:00 失敗 (" + Status() + ")");
    EXPECT_FALSE(Control<QPushButton>("CmdCsvSave")->isEnabled()) << "nothing was fetched";
}

TEST_F(NoticeTest, TheNewestDailyCsvIsShownAtStart) {
    platform::Table grid;
    quotes::ResetResultGrid(grid);
    grid.AddRow({"1301", "極洋", "3000", "3100", "2990", "3050", "12000"});
    quotes::SaveDailyCsv(grid, program / "CsvData", "20261203");
    grid.AddRow({"7203", "トヨタ自動車", "2000", "2100", "1990", "2050", "500000"});
    quotes::SaveDailyCsv(grid, program / "CsvData", "20261204");
    Open();
    EXPECT_EQ(window->Download()->ResultTable().Rows(), grid.Rows());
    EXPECT_FALSE(Control<QPushButton>("CmdCsvSave")->isEnabled());
}

class AutoNoticeTest : public NoticeTest {
protected:
    AutoNoticeTest() {
        Store("Parameters/AutoMode", "1");
        Store("Parameters/AutoTime", "19:00");
    }
    bool Tick() {
        window->Automation()->Tick();
        if (!window->Download()->Busy()) return false;
        return WaitForDownload();
    }
};

TEST_F(AutoNoticeTest, AnAutomaticDownloadIsNotifiedAndAFailureOnlyOnce) {
    download.Script({{false, 10}, {false, 10}, {true, 3600}});
    Open();
    ASSERT_TRUE(Tick());
    ASSERT_EQ(notifier.notes.size(), 1u);
    EXPECT_EQ(notifier.notes[0].Title, "自動ダウンロード失敗");
    EXPECT_EQ(notifier.notes[0].Text, "Internet Error(Connection refused)");
    EXPECT_TRUE(notifier.notes[0].Warning);
    clock.Set({{2026, 12, 7}, 20, 5, 0});
    ASSERT_TRUE(Tick());  // the try after the wait fails again: nothing new on the desktop
    EXPECT_EQ(notifier.notes.size(), 1u);
    clock.Set({{2026, 12, 7}, 20, 15, 0});
    ASSERT_TRUE(Tick());
    ASSERT_EQ(notifier.notes.size(), 2u);
    EXPECT_EQ(notifier.notes[1].Title, "自動ダウンロード完了");
    EXPECT_EQ(notifier.notes[1].Text, "3,600銘柄をダウンロードしました");
    EXPECT_FALSE(notifier.notes[1].Warning);
}

TEST_F(AutoNoticeTest, AHoldingThatCrossesItsThresholdIsNotifiedAfterTheAutomaticDownload) {
    const auto folders = settings::DefaultFolders(program);
    quotes::StoreDayPrice(folders.StockData, 1002, "㈱関西化学", "2026/12/04", 1000);
    std::filesystem::create_directories(folders.Setting);
    testing::WriteAll(holdings::BuyDataPath(folders.Setting),
                      platform::Utf8ToSjis("1002,\"㈱関西化学\",\"2026/11/02\",1000,100\r\n"));
    MainFrmOptions options = Options();
    // The download files the day's close of the holding as a real one would.
    options.Runner = [inner = download.Runner()](market::QuoteSource& source, platform::Fetcher& fetcher,
                                                 const quotes::DownloadOptions& o, const platform::Progress& progress) {
        quotes::StoreDayPrice(o.StockFolder, 1002, "㈱関西化学", "2026/12/07", 1312);
        return inner(source, fetcher, o, progress);
    };
    Open(std::move(options));
    Control<QTabWidget>("TabMain")->setCurrentIndex(0);  // the holdings are not shown
    ASSERT_TRUE(Tick());
    QStringList texts = notifier.Texts();
    EXPECT_TRUE(texts.contains("1002 ㈱関西化学 上昇率 131.2%")) << texts.join('|').toStdString();
    // Once told, not again while it stays above.
    const size_t told = notifier.notes.size();
    Store("Parameters/LastAutoDownLoad", "");
    ASSERT_TRUE(Download());
    EXPECT_EQ(notifier.notes.size(), told);
}

TEST_F(AutoNoticeTest, WithNowhereOnTheDesktopTheNotificationIsOnTheStatusLine) {
    download.Script({{true, 3600}});
    notifier.desktop = false;
    Open();
    ASSERT_TRUE(Tick());
    ASSERT_EQ(notifier.notes.size(), 1u);
    EXPECT_EQ(Control<ElidedLabel>("LblExecMsg")->FullText(), "自動ダウンロード完了：3,600銘柄をダウンロードしました");
}

TEST_F(AutoNoticeTest, NotificationsCanBeTurnedOff) {
    Open();
    Control<QCheckBox>("ChkNotify")->setChecked(false);
    ASSERT_TRUE(Tick());
    EXPECT_TRUE(notifier.notes.empty());
}

TEST_F(NoticeTest, ClosingStaysInTheTrayOnlyWhenChosenAndThereIsATray) {
    Open();
    window->show();
    notifier.tray = true;
    EXPECT_TRUE(window->close()) << "by default closing quits";
    window->show();
    Control<QCheckBox>("ChkTrayOnClose")->setChecked(true);
    notifier.tray = false;
    EXPECT_TRUE(window->close()) << "no tray: closing quits whatever the setting";
    window->show();
    notifier.tray = true;
    EXPECT_FALSE(window->close());
    EXPECT_FALSE(window->isVisible()) << "hidden in the tray";
    window->Quit();  // the tray's 終了
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace mirolanda::app::test
