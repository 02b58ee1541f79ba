// The automatic daily download: a ten-second timer whose tick starts the download once per
// data date at the set start time, records the data date when it went through, and tries a
// failed one again after a growing wait; and the re-run offer when the mode is ticked again.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "platform/Date.h"

namespace mirolanda::app {

class CommandStatus;
class WindowServices;

class AutoDownload final : public QObject {
    Q_OBJECT
public:
    // `startDownload` starts the download command and returns false when it could not start;
    // the command's end is reported to DownloadFinished.
    AutoDownload(WindowServices& services, std::function<bool()> startDownload, QObject* parent = nullptr);

    // Enables the timer (once, at start-up); it is never stopped afterwards.
    void Enable();
    QTimer& Timer() { return timer_; }

    // One tick of `TimerAutoDownload`.
    void Tick();
    // The download command ended (started by the tick or not), with the failure's status text
    // and whether the user cancelled it.
    void DownloadFinished(bool ok, const QString& failure, bool cancelled);
    // `ChkAuto` became ticked: if this data date was already downloaded automatically, ask
    // whether to run it again, and on Yes forget that it was done.
    void OfferRerun();

    bool Running() const { return running_; }
    // The failed tries in a row of the data date last tried (0 after a success).
    int Failures() const { return failures_; }

signals:
    // A download started by the tick has ended and its outcome is recorded.
    void Finished(bool ok, bool cancelled);

private:
    // After a failed try (a request or a save): the next one waits 5, 10, 20 … minutes.
    void ScheduleRetry(const QString& failure);

    WindowServices& services_;
    CommandStatus& status_;  // services_.Status()
    std::function<bool()> startDownload_;
    QTimer timer_;
    bool running_ = false;      // a download started by the tick is under way
    std::string runningDate_;   // the data date it will record
    // Failed tries of one data date, and when the next may start.
    std::string failedDate_;
    int failures_ = 0;
    std::optional<platform::DateTime> retryAt_;
    std::string cancelledDate_; // the data date whose automatic download the user cancelled
};

}  // namespace mirolanda::app
