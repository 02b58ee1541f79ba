#include "app/download/AutoDownload.h"

#include <QApplication>

#include "app/download/AutoDownloadRules.h"
#include "app/widgets/Dialogs.h"
#include "app/commands/ErrorBox.h"
#include "app/commands/WindowServices.h"

namespace mirolanda::app {

AutoDownload::AutoDownload(WindowServices& services, std::function<bool()> startDownload, QObject* parent)
    : QObject(parent), services_(services), status_(services.Status()), startDownload_(std::move(startDownload)) {
    timer_.setObjectName(QStringLiteral("TimerAutoDownload"));
    timer_.setInterval(10000);
    connect(&timer_, &QTimer::timeout, this, &AutoDownload::Tick);
}

void AutoDownload::Enable() { timer_.start(); }

void AutoDownload::Tick() {
    // While a message box waits for the user, a new download (and its messages) waits too.
    if (running_ || QApplication::activeModalWidget()) return;
    Guarded(services_, [this] {
        const settings::Snapshot live = services_.LiveSettings();
        AutoTick tick;
        tick.AutoOn = live.Checked(settings::keys::AutoMode);
        tick.DownloadState = status_.DownloadState();
        if (!tick.AutoOn || tick.DownloadState == 1) return;
        tick.LastAuto = live.Text(settings::keys::LastAutoDownLoad);
        tick.DataDate = services_.DataDate();
        tick.StartTime = live.Text(settings::keys::AutoTime);
        tick.Now = services_.Clock().Now();
        if (failedDate_ == tick.DataDate) tick.RetryAt = retryAt_;
        if (!IsAutoDownloadDue(tick) || tick.DataDate == cancelledDate_) return;
        runningDate_ = tick.DataDate;
        running_ = startDownload_();
    });
}

void AutoDownload::DownloadFinished(bool ok, const QString& failure, bool cancelled) {
    if (!running_) return;
    running_ = false;
    // The user stopped it: not again by itself for this data date (ticking the mode or the
    // download button starts it again).
    if (cancelled) {
        cancelledDate_ = runningDate_;
    } else if (ok) {
        failures_ = 0;
        retryAt_.reset();
        Guarded(services_, [this] { services_.Settings().Write(settings::keys::LastAutoDownLoad, runningDate_); });
    } else {
        ScheduleRetry(failure);
    }
    emit Finished(ok, cancelled);
}

void AutoDownload::ScheduleRetry(const QString& failure) {
    // Whatever failed, a request or a save, is tried again after a wait that grows with each
    // failure of this data date; the status line says when.
    if (failedDate_ != runningDate_) failures_ = 0;
    failedDate_ = runningDate_;
    ++failures_;
    retryAt_ = platform::AddSeconds(services_.Clock().Now(), RetryDelayMinutes(failures_) * 60L);
    const QString next = QStringLiteral("次回の自動ダウンロード ") + QString::fromStdString(platform::FormatHhMm(*retryAt_));
    status_.ShowStatus(failure.isEmpty() ? next : failure + QStringLiteral("　") + next);
}

void AutoDownload::OfferRerun() {
    cancelledDate_.clear();
    Guarded(services_, [this] {
        if (services_.Settings().Read(settings::keys::LastAutoDownLoad) != services_.DataDate()) return;
        bool again = services_.Dialog().AskYesNo(services_.Window(), QStringLiteral("自動ダウンロード設定"),
                                                 QStringLiteral("既に本日分の自動ダウンロードは完了済みですが、\r再度実行しますか？"),
                                                 DefaultButton::No);
        if (again) services_.Settings().Write(settings::keys::LastAutoDownLoad, "");
    });
}

}  // namespace mirolanda::app
