// The tab "データダウンロード": the result table `FgFix` and the commands download
// (`CmdGetData`), CSV save (`CmdCsvSave`) and per-issue save (`CmdDatSave`). The download
// and the filing run on a worker thread; the window stays responsive and shows their
// status texts and progress.
#pragma once

#include <QWidget>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/HttpClient.h"
#include "platform/RunLog.h"
#include "platform/Table.h"
#include "market/QuoteSource.h"
#include "quotes/DownloadCommand.h"

class QPushButton;
class QTableView;

namespace mirolanda::quotes {
class SourceClient;
}

namespace mirolanda::app {

class BackgroundJob;
class CancellableFetcher;
class TableModel;
class CommandStatus;
class WindowServices;

// The whole download, as quotes::RunDownload does it; tests put a scripted one in its place.
using DownloadRunner = std::function<quotes::DownloadOutcome(market::QuoteSource&, platform::Fetcher&,
                                                             const quotes::DownloadOptions&, const platform::Progress&)>;

class DownloadTab final : public QWidget {
    Q_OBJECT
public:
    // Without a fetcher the tab makes its own HTTP client.
    explicit DownloadTab(WindowServices& services, DownloadRunner runner = {},
                         std::unique_ptr<platform::Fetcher> fetcher = nullptr, QWidget* parent = nullptr);
    ~DownloadTab() override;

    // Empties `FgFix` to its heading row and disables `CmdCsvSave`.
    void ResetResultGrid();

    // Whether a download that finds another writer in the program folder waits for it (the
    // user's command, with the status line saying so) or fails at once, to be tried again
    // later (the automatic download).
    enum class WriterWait { Wait, TryOnce };
    // Starts the download; false when another command is running.
    bool CmdGetData_Click(WriterWait wait = WriterWait::Wait);
    void CmdCsvSave_Click();
    void CmdDatSave_Click();
    // Files the given CSV files one after the other, warning about each badly named one.
    void FileCsvFiles(const std::vector<std::filesystem::path>& files);

    // `CmdGetData`, off while any command runs.
    void SetStartEnabled(bool enabled);
    // Start-up: shows the newest daily CSV file in the result grid, when there is one.
    void LoadAtStartup();

    bool Busy() const;
    // Stops a running download at once; nothing of it is saved and 「中止しました」 is shown.
    void Cancel();
    // Cancels and waits for the worker (at close).
    void CancelAndWait();

    // The outcome of the download that ended last.
    const quotes::DownloadOutcome& LastOutcome() const { return outcome_; }

    const platform::Table& ResultTable() const { return fgFix_; }

signals:
    // A download ended: ok unless a request failed, it was cancelled or an error (of saving)
    // was shown; the failure's status text, empty when a message box told it.
    void DownloadFinished(bool ok, const QString& failure, bool cancelled);
    // A filing of chosen CSV files ended.
    void FilingFinished();

private:
    void DownloadDone(const quotes::DownloadOutcome& outcome, std::exception_ptr error);
    void ChooseAndFile();
    void FileNext();

    QTableView* FgFix = nullptr;
    TableModel* FgFixModel = nullptr;
    QPushButton* CmdGetData = nullptr;
    QPushButton* CmdCsvSave = nullptr;
    QPushButton* CmdDatSave = nullptr;

    WindowServices& services_;
    CommandStatus& status_;  // services_.Status()
    DownloadRunner runner_;
    std::unique_ptr<CancellableFetcher> fetcher_;
    quotes::SourceClient* client_ = nullptr;  // inside fetcher_: the retry policy and the source's pace
    std::unique_ptr<market::QuoteSource> source_;  // the running download's source
    platform::RunRecord record_;              // the running download's log line
    BackgroundJob* job_ = nullptr;
    platform::Table fgFix_{7};
    quotes::DownloadOutcome outcome_;
    std::deque<std::filesystem::path> filing_;
    // What the market database had to tell of the running download (set on the worker).
    std::vector<std::string> databaseNotices_;
};

}  // namespace mirolanda::app
