#include "app/holdings/IntradayView.h"
#include "app/commands/FolderLockWait.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "app/commands/BackgroundJob.h"
#include "app/commands/CancellableFetcher.h"
#include "app/widgets/Controls.h"
#include "app/commands/ErrorBox.h"
#include "app/commands/RetryStatus.h"
#include "app/commands/RunLogEntry.h"
#include "app/widgets/PictureArea.h"
#include "app/commands/WindowServices.h"
#include "holdings/Intraday.h"

namespace mirolanda::app {

IntradayView::IntradayView(WindowServices& services, const platform::Table& holdings, const platform::Table& grid,
                           std::function<void()> refreshGrid, std::unique_ptr<platform::Fetcher> fetcher, QWidget* parent)
    : QWidget(parent), services_(services), status_(services.Status()), holdings_(holdings), grid_(grid), refreshGrid_(std::move(refreshGrid)) {
    job_ = new BackgroundJob(this);
    if (!fetcher) fetcher = std::make_unique<platform::HttpClient>();
    auto retrying = std::make_unique<platform::RetryingFetcher>(std::move(fetcher), RetriesShownIn(job_->WorkerProgress(), services_.RetryWaits()));
    retrying_ = retrying.get();
    fetcher_ = std::make_unique<CancellableFetcher>(std::move(retrying));
    connect(job_, &BackgroundJob::StatusText, this, [this](const QString& text) { status_.ShowStatus(text); });

    new AnchorLayout(this);
    lblDayMeigara = MakeLabel(this, {}, {60, 60, 6180, 300}, QStringLiteral("lblDayMeigara"), kGrowWidth);
    auto* update = CmdOneNow1 = MakeButton(this, QStringLiteral("CmdOneNow(1)"), QStringLiteral("最新情報更新(&U)"), {6345, 60, 1500, 375}, kRight);
    PictOne = Named(new PictureArea(this), QStringLiteral("PictOne"), {60, 420, 6180, 2835}, kGrow);
    ScOne = Named(new QScrollBar(Qt::Horizontal, this), QStringLiteral("ScOne"), {60, 3270, 6180, 255}, kBottomGrowWidth);
    ScOne->setRange(1, 1);
    ScOne->setFocusPolicy(Qt::StrongFocus);
    ScOne->setAccessibleName(QStringLiteral("表示する銘柄"));
    ScOne->setAccessibleDescription(QStringLiteral("左右の矢印キーで持株の銘柄を切り替えます"));
    PictOne->setAccessibleName(QStringLiteral("銘柄のチャート"));
    lblDayInfo = MakeLabel(this, {}, {60, 3585, 7785, 300}, QStringLiteral("lblDayInfo"), kBottomGrowWidth);

    connect(update, &QPushButton::clicked, this, [this] {
        if (!CmdOneNow_Click(1)) services_.Dialog().Beep();
    });
    connect(ScOne, &QScrollBar::valueChanged, this, [this] { ScOne_Change(); });
}

IntradayView::~IntradayView() { CancelAndWait(); }

bool IntradayView::Busy() const { return job_->Busy(); }

void IntradayView::Cancel() { fetcher_->Cancel(); }

void IntradayView::SetUpdateEnabled(bool enabled) { CmdOneNow1->setEnabled(enabled); }

void IntradayView::CancelAndWait() {
    Cancel();
    job_->Wait();
}

bool IntradayView::CmdOneNow_Click(int /*index*/) {
    if (Busy() || status_.DownloadState() == 1) return false;
    BeginNetworkCommand(status_, QStringLiteral("ＹＡＨＯＯ接続"));

    holdings::IntradayOptions o = settings::IntradayOptionsFrom(services_.LiveSettings());
    o.DataDate = WorkerDataDate(services_);
    std::vector<std::string> codes;
    for (const auto& row : grid_.Rows()) codes.push_back(row.empty() ? std::string() : row[0]);

    fetcher_->Reset();
    retrying_->BeginCommand();
    record_ = BeginRunRecord(services_, "intraday");
    record_.Source = o.QuoteSiteUrl;
    work_ = platform::Table(8);
    auto outcome = std::make_shared<holdings::IntradayOutcome>();
    platform::Progress progress = job_->WorkerProgress();
    job_->Start([this, o, codes, outcome, progress, folder = services_.ProgramFolder()] {
                    // It writes the holdings' history files: one writer at a time.
                    const auto lock = WaitForWriterLock(folder, progress, [this] { return fetcher_->Cancelled(); });
                    *outcome = holdings::RunIntradayUpdate(work_, codes, *fetcher_, o, progress);
                },
                [this, outcome](std::exception_ptr error) { UpdateDone(*outcome, error); });
    return true;
}

void IntradayView::UpdateDone(const holdings::IntradayOutcome& outcome, std::exception_ptr error) {
    const bool cancelled = !error && outcome.Cancelled;
    EndNetworkRecord(services_, std::move(record_), outcome, error, *retrying_);
    // What was fetched stays, whether or not the update went through; a cancelled update
    // wrote nothing, so the viewer keeps the rows that match the images it has.
    if (!cancelled) FgOneTmp = std::move(work_);
    work_ = platform::Table(8);
    const bool ok = outcome.Ok && !error;
    if (ok) {
        Guarded(services_, [this] { refreshGrid_(); });
        QScrollBar* sc = ScOne;
        const QSignalBlocker quiet(sc);
        // One position per holding: one the site did not answer is shown as such.
        sc->setRange(1, std::max(1, holdings_.RowCount()));
        sc->setValue(1);
        // Redraw even when the position already was 1: the rows are new.
        ScOne_Change();
    }
    if (cancelled) {
        status_.ShowStatus(kCancelledStatus);
    } else {
        // On success the history files the update left alone, if any; on failure its reason.
        status_.ShowStatus(error ? QString() : QString::fromStdString(outcome.Status),
                             QString::fromStdString(outcome.Detail));
    }
    status_.SetTabsEnabled(true);
    status_.SetCancellable(false);
    status_.SetDownloadState(ok || cancelled ? 0 : -1);
    if (error) ShowError(services_, error);
    emit UpdateFinished(ok);
}

void IntradayView::ScOne_Change() {
    std::optional<holdings::DayView> view;
    Guarded(services_, [&] {
        view = holdings::DayViewAt(FgOneTmp, holdings_, services_.CurrentFolders().Setting, ScOne->value());
    });
    if (!view) {
        PictOne->Clear();
        lblDayMeigara->clear();
        lblDayInfo->clear();
        return;
    }
    if (view->Image.empty()) {
        PictOne->Clear();
    } else {
        PictOne->ShowFile(QString::fromStdString(view->Image.string()));
    }
    lblDayMeigara->setText(QString::fromStdString(view->Meigara));
    lblDayInfo->setText(QString::fromStdString(view->Info));
}

}  // namespace mirolanda::app
