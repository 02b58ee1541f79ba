// The page "現況" of the holdings tab: the holdings' intraday update and its viewer. The
// buttons `CmdOneNow`(0) (on "管理・日足", wired by the holdings tab) and (1) fetch the held
// issues' latest quotes and chart images on a worker thread, file the prices and have the
// holdings grid rebuilt; the scroll bar `ScOne` pages through the quote rows, each shown with
// its chart image and set against the holding of the same code.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "platform/HttpClient.h"
#include "platform/Retry.h"
#include "platform/RunLog.h"
#include "holdings/Intraday.h"
#include "platform/Table.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace mirolanda::app {

class BackgroundJob;
class CancellableFetcher;
class PictureArea;
class CommandStatus;
class WindowServices;

class IntradayView final : public QWidget {
    Q_OBJECT
public:
    // `holdings` is the holdings table and `grid` the holdings grid's table, both owned by the
    // holdings tab; `refreshGrid` rebuilds the grid from the files. Without a fetcher the view
    // makes its own HTTP client.
    IntradayView(WindowServices& services, const platform::Table& holdings, const platform::Table& grid,
                 std::function<void()> refreshGrid, std::unique_ptr<platform::Fetcher> fetcher = nullptr,
                 QWidget* parent = nullptr);
    ~IntradayView() override;

    // The update; the index (which button) is not used. False while another network command runs.
    bool CmdOneNow_Click(int index);
    // Shows the quote row of the scroll bar's position, or nothing when there is none.
    void ScOne_Change();

    // `CmdOneNow`(1), off while any command runs.
    void SetUpdateEnabled(bool enabled);

    bool Busy() const;
    // Stops a running update at once: no image or price of it is kept, 「中止しました」 is shown.
    void Cancel();
    // Cancels and waits for the worker (at close).
    void CancelAndWait();

    // The quote table of the last update (8 columns, no heading row).
    const platform::Table& Quotes() const { return FgOneTmp; }

signals:
    // An update has ended and its results are shown.
    void UpdateFinished(bool ok);

private:
    void UpdateDone(const holdings::IntradayOutcome& outcome, std::exception_ptr error);

    WindowServices& services_;
    CommandStatus& status_;  // services_.Status()
    const platform::Table& holdings_;
    const platform::Table& grid_;
    std::function<void()> refreshGrid_;
    std::unique_ptr<CancellableFetcher> fetcher_;
    platform::RetryingFetcher* retrying_ = nullptr;  // inside fetcher_
    platform::RunRecord record_;                     // the running update's log line
    BackgroundJob* job_ = nullptr;
    platform::Table FgOneTmp{8};
    platform::Table work_{8};  // filled by the worker; handed to `FgOneTmp` when it ends

    PictureArea* PictOne = nullptr;
    QScrollBar* ScOne = nullptr;
    QLabel* lblDayInfo = nullptr;
    QLabel* lblDayMeigara = nullptr;
    QPushButton* CmdOneNow1 = nullptr;
};

}  // namespace mirolanda::app
