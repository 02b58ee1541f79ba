// The retry policy of the window's network commands: the usual waits, each retry told in the
// status line («再試行 1 (4秒後): サーバーエラー (HTTP 503)») from the worker's thread.
#pragma once

#include <QString>
#include <vector>

#include "platform/FetchFailure.h"
#include "platform/Progress.h"
#include "platform/Retry.h"

namespace mirolanda::app {

// `progress` is a background job's worker progress, which hands the text to the window's thread.
inline platform::RetryOptions RetriesShownIn(platform::Progress progress, std::vector<platform::Milliseconds> waits) {
    platform::RetryOptions options;
    options.Waits = std::move(waits);
    options.Retrying = [progress](int retry, platform::Milliseconds wait, const platform::FetchResult& failure) {
        progress.Show(QStringLiteral("再試行 %1 (%2秒後): %3")
                          .arg(retry)
                          .arg((wait.count() + 999) / 1000)
                          .arg(QString::fromStdString(platform::FailureReason(failure)))
                          .toStdString());
    };
    return options;
}

}  // namespace mirolanda::app
