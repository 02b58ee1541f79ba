#include "app/download/DownloadTab.h"
#include "app/commands/FolderLockWait.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "app/commands/BackgroundJob.h"
#include "app/commands/CancellableFetcher.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/download/DownloadReport.h"
#include "app/commands/ErrorBox.h"
#include "app/widgets/TableModel.h"
#include "app/commands/RetryStatus.h"
#include "app/commands/RunLogEntry.h"
#include "app/commands/WindowServices.h"
#include "marketdb/SideStore.h"
#include "quotes/SourceClient.h"
#include "quotes/CsvFile.h"
#include "quotes/ResultGrid.h"
#include "quotes/StockFile.h"
#include "settings/CommandOptions.h"
#include "settings/QuoteSources.h"

namespace mirolanda::app {

DownloadTab::DownloadTab(WindowServices& services, DownloadRunner runner, std::unique_ptr<platform::Fetcher> fetcher,
                         QWidget* parent)
    : QWidget(parent), services_(services), status_(services.Status()), runner_(std::move(runner)) {
    if (!runner_) runner_ = [](auto& source, auto& client, const auto& options, const auto& progress) {
        return quotes::RunDownload(source, client, options, progress);
    };
    job_ = new BackgroundJob(this);
    if (!fetcher) fetcher = std::make_unique<platform::HttpClient>();
    auto source = std::make_unique<quotes::SourceClient>(std::move(fetcher),
                                                         RetriesShownIn(job_->WorkerProgress(), services_.RetryWaits()));
    client_ = source.get();
    // A wait for the source's pace is told in the status line, from the worker's thread.
    client_->Pace().OnWait = [progress = job_->WorkerProgress()](int64_t ms) { progress.Show(quotes::PaceWaitText(ms)); };
    fetcher_ = std::make_unique<CancellableFetcher>(std::move(source));
    connect(job_, &BackgroundJob::StatusText, this, [this](const QString& text) { status_.ShowStatus(text); });
    connect(job_, &BackgroundJob::Advanced, this, [this](int done, int total) { status_.ShowProgress(done, total); });

    new AnchorLayout(this);
    FgFixModel = new TableModel(&fgFix_, this);
    FgFix = Named(new QTableView(this), QStringLiteral("FgFix"), {90, 90, 7935, 3840}, kGrow);
    FgFix->setModel(FgFixModel);
    FgFix->setAccessibleName(QStringLiteral("ダウンロード結果"));
    FgFix->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CmdGetData = MakeButton(this, QStringLiteral("CmdGetData"), QStringLiteral("ダウンロード(&D)"), {3645, 4050, 1365, 420}, kBottomRight);
    CmdCsvSave = MakeButton(this, QStringLiteral("CmdCsvSave"), QStringLiteral("ＣＳＶ保存(&C)"), {5160, 4050, 1365, 420}, kBottomRight);
    CmdDatSave = MakeButton(this, QStringLiteral("CmdDatSave"), QStringLiteral("銘柄別保存(&S)"), {6660, 4050, 1365, 420}, kBottomRight);
    connect(CmdGetData, &QPushButton::clicked, this, [this] {
        if (!CmdGetData_Click()) services_.Dialog().Beep();
    });
    connect(CmdCsvSave, &QPushButton::clicked, this, [this] { CmdCsvSave_Click(); });
    connect(CmdDatSave, &QPushButton::clicked, this, [this] { CmdDatSave_Click(); });
    ResetResultGrid();
}

DownloadTab::~DownloadTab() { CancelAndWait(); }

void DownloadTab::ResetResultGrid() {
    quotes::ResetResultGrid(fgFix_);
    // Column 1 has its own width; the others are sized so all seven fit without scrolling.
    FgFixModel->SetColumnWidthTwips(0, 900);
    FgFixModel->SetColumnWidthTwips(1, 2170);
    for (int c = 2; c < 6; ++c) FgFixModel->SetColumnWidthTwips(c, 825);
    FgFixModel->SetColumnWidthTwips(6, 1200);
    FgFixModel->SetColumnAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 2; c < 7; ++c) FgFixModel->SetColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    FgFixModel->Reload();
    FgFixModel->ConfigureView(FgFix);
    CmdCsvSave->setEnabled(false);
}

bool DownloadTab::Busy() const { return job_->Busy(); }

void DownloadTab::Cancel() { fetcher_->Cancel(); }

void DownloadTab::SetStartEnabled(bool enabled) { CmdGetData->setEnabled(enabled); }

void DownloadTab::CancelAndWait() {
    Cancel();
    job_->Wait();
}

void DownloadTab::LoadAtStartup() {
    try {
        const auto folder = services_.CurrentFolders().CsvData;
        if (auto newest = quotes::NewestDailyCsv(folder)) {
            quotes::LoadDailyCsv(*newest, fgFix_);
            FgFixModel->Reload();
            FgFixModel->ConfigureView(FgFix);
        }
    } catch (const std::exception& error) {
        // Not worth a box at start-up: the grid stays empty and the status line says why.
        status_.ShowStatus(QStringLiteral("前回のＣＳＶファイルを表示できません"), ErrorText(error));
    }
}

bool DownloadTab::CmdGetData_Click(WriterWait wait) {
    if (Busy() || status_.DownloadState() == 1) return false;
    BeginNetworkCommand(status_, QStringLiteral("ダウンロード－開始"));
    quotes::DownloadOptions options = settings::DownloadOptionsFrom(services_.LiveSettings());
    settings::SetMarketCalendar(options, services_.Holidays(), services_.Clock());
    record_ = BeginRunRecord(services_, "download");
    source_ = settings::SourceFrom(services_.LiveSettings(), services_.Secrets().ApiKey());
    record_.Source = source_->Address();
    client_->BeginCommand(*source_);
    // The saves that follow the fetching run to their end: a cancel now would leave half a day.
    options.FetchingDone = [this] {
        QMetaObject::invokeMethod(this, [this] {
            status_.SetTabsEnabled(true);
            status_.SetCancellable(false);
        }, Qt::QueuedConnection);
    };
    fetcher_->Reset();
    outcome_ = {};
    platform::Progress progress = job_->WorkerProgress();
    // The bar shows the pass under way: the steps count over every pass the download may make.
    progress.Advance = [advance = progress.Advance, passes = std::max(options.MaxPasses, 1)](int done, int total) {
        int perPass = std::max(total / passes, 1);
        advance(done >= total ? perPass : (done - 1) % perPass + 1, perPass);
    };
    databaseNotices_.clear();
    job_->Start([this, options, progress, wait, folder = services_.ProgramFolder(),
                 database = settings::MarketDatabaseFrom(services_.LiveSettings()), &clock = services_.Clock()] {
                    outcome_ = {};
                    std::optional<platform::FolderLock> lock;
                    try {
                        lock = wait == WriterWait::Wait
                                   ? WaitForWriterLock(folder, progress, [this] { return fetcher_->Cancelled(); })
                                   : platform::FolderLock::Try(folder);
                    } catch (const platform::FolderBusy&) {
                        outcome_.Cancelled = true;  // the user stopped the wait
                        return;
                    }
                    if (!lock) {
                        // Another writer holds the folder: a failed try, tried again later.
                        outcome_.Status = "他の処理がデータを書き込み中です";
                        return;
                    }
                    // Every day saved goes into the market database too; it never stops the saves.
                    marketdb::SideStore store(database, [&clock] { return clock.Now(); });
                    quotes::DownloadOptions withDatabase = options;
                    withDatabase.MoreStores.push_back(&store);
                    try {
                        outcome_ = runner_(*source_, *fetcher_, withDatabase, progress);
                    } catch (...) {
                        databaseNotices_ = store.Notices();
                        throw;
                    }
                    databaseNotices_ = store.Notices();
                },
                [this](std::exception_ptr error) {
                    // A failure thrown (a folder that cannot be made) is named like any other, so
                    // that the last download's record (one line) tells it rather than nothing.
                    if (error) outcome_.Status = ErrorText(error).replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString();
                    DownloadDone(outcome_, error);
                });
    return true;
}

void DownloadTab::DownloadDone(const quotes::DownloadOutcome& outcome, std::exception_ptr error) {
    quotes::ShowDayInGrid(outcome.Day, fgFix_);
    FgFixModel->Reload();
    FgFixModel->ConfigureView(FgFix);
    status_.ShowProgress(0, 0);
    status_.SetTabsEnabled(true);
    status_.SetCancellable(false);
    const bool ok = !error && outcome.Ok;
    const bool cancelled = !error && outcome.Cancelled;
    record_.Notes.insert(record_.Notes.end(), databaseNotices_.begin(), databaseNotices_.end());
    EndNetworkRecord(services_, std::move(record_), outcome, error, *client_);
    // A day fetched whole but not saved can be saved again once its folder is mended.
    if (ok || (outcome.SaveFailed && outcome.Issues > 0)) CmdCsvSave->setEnabled(true);
    if (ok) {
        // The count stored, then the day's remarks: days caught up, issues missing against the
        // day before, history files left alone because they are damaged, calendar differences.
        QString remarks = QString::fromStdString(outcome.Status);
        for (const std::string& notice : databaseNotices_) {
            remarks += (remarks.isEmpty() ? QString() : QStringLiteral("　")) + QString::fromStdString(notice);
        }
        status_.ShowStatus(DownloadDoneText(outcome.Issues, outcome.CsvPath.has_value()) +
                             (remarks.isEmpty() ? QString() : QStringLiteral("　") + remarks));
    } else if (cancelled) {
        status_.ShowStatus(kCancelledStatus);
    } else {
        status_.ShowStatus(QString::fromStdString(outcome.Status), QString::fromStdString(outcome.Detail));
    }
    // A cancel is the user's choice, not a failure that holds back the automatic download.
    status_.SetDownloadState(ok || cancelled ? 0 : -1);
    if (error) {
        ShowError(services_, error);
    } else if (outcome.SaveFailed) {
        services_.Dialog().Inform(services_.Window(), MessageIcon::Critical, kAppTitle, QString::fromStdString(outcome.Status));
    }
    emit DownloadFinished(ok, ok || cancelled ? QString() : QString::fromStdString(outcome.Status), cancelled);
}

void DownloadTab::CmdCsvSave_Click() {
    Guarded(services_, [this] {
        WriteWhenUnlocked(services_, this, [this, grid = fgFix_, folder = services_.CurrentFolders().CsvData,
                                            date = services_.DataDate()] {
            status_.ShowStatus(QStringLiteral("ＣＳＶファイル保存中"));
            quotes::SaveDailyCsv(grid, folder, date);
            status_.ShowStatus(QStringLiteral("ＣＳＶファイル保存完了"));
        });
    });
}

void DownloadTab::CmdDatSave_Click() {
    if (Busy()) {
        services_.Dialog().Beep();
        return;
    }
    Guarded(services_, [this] { ChooseAndFile(); });
}

void DownloadTab::ChooseAndFile() {
    FileChoice choice;
    choice.Title = QStringLiteral("銘柄別データ保存");
    choice.Folder = QString::fromStdString(services_.CurrentFolders().CsvData.string());
    choice.ProposedName = QString::fromStdString(services_.DataDate()) + QStringLiteral(".csv");
    choice.Filter = QStringLiteral("CSVﾌｧｲﾙ(*.csv);;全てのﾌｧｲﾙ(*.*)");
    QStringList chosen = services_.Dialog().ChooseFiles(services_.Window(), choice);
    std::vector<std::filesystem::path> files;
    for (const QString& name : chosen) files.emplace_back(name.toStdString());
    FileCsvFiles(files);
}

void DownloadTab::FileCsvFiles(const std::vector<std::filesystem::path>& files) {
    if (files.empty() || Busy()) return;
    filing_.assign(files.begin(), files.end());
    fetcher_->Reset();  // closing the window stops a filing that waits for another writer
    // The filing runs on the worker: until it ends, no other command (the intraday update writes
    // history files too) may start and no folder may change.
    status_.SetTabsEnabled(false);
    FileNext();
}

void DownloadTab::FileNext() {
    if (filing_.empty()) {
        status_.ShowStatus({});
        status_.SetTabsEnabled(true);
        emit FilingFinished();
        return;
    }
    auto csv = filing_.front();
    filing_.pop_front();
    auto stock = services_.CurrentFolders().StockData;
    auto result = std::make_shared<quotes::FilingResult>(quotes::FilingResult::NoFile);
    auto report = std::make_shared<quotes::FilingReport>();
    auto record = std::make_shared<platform::RunRecord>(BeginRunRecord(services_, "file"));
    record->Source = csv.string();
    platform::Progress progress = job_->WorkerProgress();
    // A damaged history file is left as it is and named; every other issue is filed.
    job_->Start([=, this, folder = services_.ProgramFolder()] {
                    const auto lock = WaitForWriterLock(folder, progress, [this] { return fetcher_->Cancelled(); });
                    *result = quotes::ConvertCsvToIssueFiles(csv, stock, progress, report.get());
                },
                [this, result, report, record, csv](std::exception_ptr error) {
                    if (error) record->Error = ErrorText(error).toStdString();
                    quotes::DescribeFilingInRunRecord(!error, *report, *record);
                    EndRunRecord(services_, std::move(*record));
                    if (error) {
                        ShowError(services_, error);
                    } else if (!report->Skipped.empty()) {
                        services_.Dialog().Inform(services_.Window(), MessageIcon::Warning, kAppTitle,
                                                  QString::fromStdString(quotes::SkippedSummary(report->Skipped)));
                    } else if (*result == quotes::FilingResult::BadName) {
                        // Several files may be chosen at once: say which one.
                        services_.Dialog().Inform(services_.Window(), MessageIcon::Warning, kAppTitle,
                                                  QString::fromUtf8(quotes::kBadCsvNameMessage.data(),
                                                                    static_cast<qsizetype>(quotes::kBadCsvNameMessage.size())) +
                                                      QStringLiteral("\r") + QString::fromStdString(csv.string()));
                    }
                    FileNext();
                });
}

}  // namespace mirolanda::app
