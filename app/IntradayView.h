// The holdings' intraday update and its viewer on the page "現況": the buttons `CmdOneNow`(0)
// and (1) fetch the held issues' latest quotes and chart images on a worker thread, file the
// prices and rebuild the holdings grid; the scroll bar `ScOne` pages through the quote rows,
// each shown with its chart image and set against the holding of the same code.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "platform/HttpClient.h"
#include "platform/Table.h"

namespace mirolanda::app {

class BackgroundJob;
class CancellableFetcher;
class HoldingsTab;
class WindowServices;

class IntradayView final : public QObject {
    Q_OBJECT
public:
    // `refreshGrid` rebuilds the holdings grid from the files; without a fetcher the view makes
    // its own HTTP client.
    IntradayView(WindowServices& services, HoldingsTab& tab, std::function<void()> refreshGrid,
                 std::unique_ptr<platform::Fetcher> fetcher = nullptr);
    ~IntradayView() override;

    // The update; the index (which button) is not used. False while another network command runs.
    bool CmdOneNow_Click(int index);
    // Shows the quote row of the scroll bar's position, or nothing when there is none.
    void ScOne_Change();

    bool Busy() const;
    // Ends a running update at its next request and waits for the worker (at close).
    void CancelAndWait();

signals:
    // An update has ended and its results are shown.
    void UpdateFinished(bool ok);

private:
    void UpdateDone(bool ok, const std::string& status, std::exception_ptr error);

    WindowServices& services_;
    HoldingsTab& tab_;
    std::function<void()> refreshGrid_;
    std::unique_ptr<CancellableFetcher> fetcher_;
    BackgroundJob* job_ = nullptr;
    platform::Table work_{8};  // filled by the worker; handed to `FgOneTmp` when it ends
};

}  // namespace mirolanda::app
