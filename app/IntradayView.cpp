#include "app/IntradayView.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "app/BackgroundJob.h"
#include "app/CancellableFetcher.h"
#include "app/ErrorBox.h"
#include "app/HoldingsTab.h"
#include "app/PictureArea.h"
#include "app/WindowServices.h"
#include "holdings/Intraday.h"

namespace mirolanda::app {

IntradayView::IntradayView(WindowServices& services, HoldingsTab& tab, std::function<void()> refreshGrid,
                           std::unique_ptr<platform::Fetcher> fetcher)
    : QObject(&tab), services_(services), tab_(tab), refreshGrid_(std::move(refreshGrid)) {
    fetcher_ = std::make_unique<CancellableFetcher>(fetcher ? std::move(fetcher) : std::make_unique<platform::HttpClient>());
    job_ = new BackgroundJob(this);
    connect(job_, &BackgroundJob::StatusText, this, [this](const QString& text) { services_.ShowStatus(text); });
    for (int i = 0; i < 2; ++i) {
        connect(tab_.CmdOneNow[static_cast<size_t>(i)], &QPushButton::clicked, this, [this, i] {
            if (!CmdOneNow_Click(i)) services_.Dialog().Beep();
        });
    }
    connect(tab_.ScOne, &QScrollBar::valueChanged, this, [this] { ScOne_Change(); });
}

IntradayView::~IntradayView() { CancelAndWait(); }

bool IntradayView::Busy() const { return job_->Busy(); }

void IntradayView::CancelAndWait() {
    fetcher_->Cancel();
    job_->Wait();
}

bool IntradayView::CmdOneNow_Click(int /*index*/) {
    if (Busy() || services_.DownloadState() == 1) return false;
    BeginNetworkCommand(services_, QStringLiteral("ＹＡＨＯＯ接続"));

    holdings::IntradayOptions o;
    const ConnectionSetup connection = services_.Connection();
    const platform::Folders folders = services_.CurrentFolders();
    const HostUrls hosts = services_.CurrentHosts();
    o.QuoteSiteUrl = hosts.QuoteSite;
    o.ChartSiteUrl = hosts.ChartSite;
    o.ConnectionMode = connection.Mode;
    o.Proxy = connection.Proxy;
    o.TempFolder = folders.Temp;
    o.SettingFolder = folders.Setting;
    o.StockFolder = folders.StockData;
    o.DataDate = WorkerDataDate(services_);
    std::vector<std::string> codes;
    for (const auto& row : tab_.BuyGrid.Rows()) codes.push_back(row.empty() ? std::string() : row[0]);

    fetcher_->Reset();
    work_ = platform::Table(8);
    auto outcome = std::make_shared<holdings::IntradayOutcome>();
    platform::Progress progress = job_->WorkerProgress();
    job_->Start([this, o, codes, outcome, progress] { *outcome = holdings::RunIntradayUpdate(work_, codes, *fetcher_, o, progress); },
                [this, outcome](std::exception_ptr error) { UpdateDone(outcome->Ok, outcome->Status, error); });
    return true;
}

void IntradayView::UpdateDone(bool ok, const std::string& status, std::exception_ptr error) {
    // What was fetched stays, whether or not the update went through.
    tab_.FgOneTmp = std::move(work_);
    work_ = platform::Table(8);
    ok = ok && !error;
    if (ok) {
        Guarded(services_, [this] { refreshGrid_(); });
        QScrollBar* sc = tab_.ScOne;
        const QSignalBlocker quiet(sc);
        sc->setRange(1, std::max(1, tab_.FgOneTmp.RowCount()));
        sc->setValue(1);
        // Redraw even when the position already was 1: the rows are new.
        ScOne_Change();
    }
    services_.ShowStatus(error ? QString() : QString::fromStdString(status));
    services_.SetTabsEnabled(true);
    services_.SetDownloadState(ok ? 0 : -1);
    if (error) ShowError(services_, error);
    emit UpdateFinished(ok);
}

void IntradayView::ScOne_Change() {
    std::optional<holdings::DayView> view;
    Guarded(services_, [&] {
        view = holdings::DayViewAt(tab_.FgOneTmp, tab_.FgBuyTmp, services_.CurrentFolders().Setting, tab_.ScOne->value());
    });
    if (!view) {
        tab_.PictOne->Clear();
        tab_.lblDayMeigara->clear();
        tab_.lblDayInfo->clear();
        return;
    }
    if (view->Image.empty()) {
        tab_.PictOne->Clear();
    } else {
        tab_.PictOne->ShowFile(QString::fromStdString(view->Image.string()));
    }
    tab_.lblDayMeigara->setText(QString::fromStdString(view->Meigara));
    tab_.lblDayInfo->setText(QString::fromStdString(view->Info));
}

}  // namespace mirolanda::app
