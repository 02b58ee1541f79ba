// The tab "おまけ": two pages, "短期" (index 0, mode "Short") and "長期" (index 1, mode
// "Long"), each with its list table, chart picture, image scroll bar, notice and three
// buttons: the list request, the creation of the selected dates' charts and of every chart
// that can be created or updated. Requests run on a worker thread; the window stays live.
#pragma once

#include <QWidget>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/HttpClient.h"
#include "platform/Table.h"

class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTableView;

namespace mirolanda::bonus {
struct ChartJob;
}

namespace mirolanda::app {

class BackgroundJob;
class CancellableFetcher;
class PictureArea;
class TableModel;
class CommandStatus;
class WindowServices;

// One page's list and controls.
struct BonusPage {
    platform::Table List{4};  // date, state, image count, update stamp (hidden)
    QTableView* FgList = nullptr;
    TableModel* FgListModel = nullptr;
    PictureArea* PictChrt = nullptr;
    QScrollBar* Sc = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* CmdGetNewList = nullptr;
    QPushButton* CmdGetImage = nullptr;
    QPushButton* CmdUpdImage = nullptr;
};

class BonusTab final : public QWidget {
    Q_OBJECT
public:
    // Without a fetcher the tab makes its own HTTP client for the publisher's server, one that
    // keeps the body of an error status.
    explicit BonusTab(WindowServices& services, std::unique_ptr<platform::Fetcher> fetcher = nullptr,
                      QWidget* parent = nullptr);
    ~BonusTab() override;

    // Start-up loading, once the settings are in place: loads both bonus lists.
    void LoadAtStartup();

    // The commands; each returns false (and starts nothing) while another network command runs.
    bool CmdGetNewList_Click(int index);
    // Creates the charts of the selected rows; `then` runs once the command has ended.
    bool CmdGetImage_Click(int index, std::function<void()> then = {});
    bool CmdUpdImage_Click(int index);
    void FgList_Click(int index);
    void FgList_DblClick(int index);
    // Shows the first image of the current row, or an empty picture.
    void FgList_EnterCell(int index);
    // Shows the image at the scroll bar's position.
    void Sc_Change(int index);

    bool Busy() const;
    // Stops a running request or chart creation at once: the images it stored are removed,
    // the lists keep what they held, and 「中止しました」 is shown.
    void Cancel();
    // Cancels and waits for the worker (at close).
    void CancelAndWait();

    // The list table of a page as `FgList`(index) shows it.
    const platform::Table& List(int index) const { return Page[static_cast<size_t>(index)].List; }

    // The fixed notices of the two pages.
    static QString NoticeText(int index);

signals:
    // A command that ran on the worker has ended and its results are shown.
    void CommandFinished();

private:
    QWidget* BuildPage(int index);
    void Connect(int index);
    bool CanStart();
    // Runs chart creation on the worker: `create` is CreateCharts or UpdateAllCharts.
    void RunCharts(int index, bool oneRow, std::function<int(const bonus::ChartJob&, platform::Table&)> create,
                   std::function<void()> then);
    void ChartsDone(int index, bool oneRow, int total, std::exception_ptr error, std::function<void()> then);
    // Tells the view the table changed, keeping its current row.
    void ReloadList(int index);
    // The current row of the page's list when it has charts to show; −1 otherwise.
    int PictureRow(int index) const;
    void ShowPicture(int index, int row, int number, bool setPosition);
    void SetScroll(int index, int maximum, std::optional<int> position);

    std::array<BonusPage, 2> Page;
    WindowServices& services_;
    CommandStatus& status_;  // services_.Status()
    std::unique_ptr<CancellableFetcher> fetcher_;
    BackgroundJob* job_ = nullptr;
    bool quiet_ = false;  // the window itself is moving a row or a scroll bar
    int16_t stateBefore_ = 0;
    std::atomic<int> imagesAsked_{0};
    std::atomic<bool> lastImageOk_{true};
    std::shared_ptr<platform::Table> work_;
    platform::Table listBefore_;                // the page's list when the chart command began
    std::vector<std::filesystem::path> stored_;  // images the running chart command wrote
};

}  // namespace mirolanda::app
