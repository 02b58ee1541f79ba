// The automatic download end to end: the window's timer tick, the real download over HTTP
// against the market simulator on a loopback port, the daily CSV and the history files
// written, "LastAutoDownLoad" recorded; and a failed request tried again after the wait.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "WindowFixture.h"
#include "app/download/AutoDownload.h"
#include "quotes/StockFile.h"
#include "support/SimProcess.h"

namespace mirolanda::app::test {
namespace {

class SimTest : public WindowTest {
protected:
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
};

TEST_F(SimTest, TheTickDownloadsTheMarketSavesItAndRecordsTheDataDate) {
    testing::SimProcess sim({"--issues", "3600", "--date", "20261207"});
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
    testing::SimProcess sim({"--issues", "3600", "--date", "20261207", "--fault", "http500@5-8"});
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
    testing::SimProcess sim({"--issues", "3600", "--date", "20261207", "--latency-ms", "20"});
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

}  // namespace
}  // namespace mirolanda::app::test
