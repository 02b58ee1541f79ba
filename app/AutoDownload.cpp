#include "app/AutoDownload.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include "app/AutoDownloadRules.h"
#include "app/AutoSettingsPage.h"
#include "app/Dialogs.h"
#include "app/ErrorBox.h"
#include "app/SettingsStore.h"
#include "app/WindowServices.h"

namespace mirolanda::app {

AutoDownload::AutoDownload(WindowServices& services, const AutoSettingsPage& page, std::function<bool()> startDownload,
                           QObject* parent)
    : QObject(parent), services_(services), page_(page), startDownload_(std::move(startDownload)) {
    timer_.setObjectName(QStringLiteral("TimerAutoDownload"));
    timer_.setInterval(10000);
    connect(&timer_, &QTimer::timeout, this, &AutoDownload::Tick);
}

void AutoDownload::Enable() { timer_.start(); }

void AutoDownload::Tick() {
    // While a message box waits for the user, a new download (and its messages) waits too.
    if (running_ || QApplication::activeModalWidget()) return;
    Guarded(services_, [this] {
        AutoTick tick;
        tick.AutoOn = page_.ChkAuto->isChecked();
        tick.DownloadState = services_.DownloadState();
        if (!tick.AutoOn || tick.DownloadState != 0) return;
        tick.LastAuto = services_.Settings().Read("LastAutoDownLoad");
        tick.DataDate = services_.DataDate();
        tick.StartTime = page_.TxtAutoStartTime->text().toStdString();
        tick.Now = services_.Clock().Now();
        if (!IsAutoDownloadDue(tick)) return;
        runningDate_ = tick.DataDate;
        running_ = startDownload_();
    });
}

void AutoDownload::DownloadFinished(bool ok, bool requestFailed) {
    if (!running_) return;
    running_ = false;
    if (ok) {
        Guarded(services_, [this] { services_.Settings().Write("LastAutoDownLoad", runningDate_); });
    } else if (requestFailed) {
        // A failed request is tried again at the next tick. A failed save keeps the state at
        // −1, so the message is not repeated every ten seconds.
        services_.SetDownloadState(0);
    }
}

void AutoDownload::OfferRerun() {
    Guarded(services_, [this] {
        if (services_.Settings().Read("LastAutoDownLoad") != services_.DataDate()) return;
        bool again = services_.Dialog().AskYesNo(services_.Window(), QStringLiteral("自動ダウンロード設定"),
                                                 QStringLiteral("既に本日分の自動ダウンロードは完了済みですが、\r再度実行しますか？"));
        if (again) services_.Settings().Write("LastAutoDownLoad", "");
    });
}

}  // namespace mirolanda::app
