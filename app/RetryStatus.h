// The retry policy of the window's network commands: the usual waits, each retry told in the
// status line («再試行 1 (4秒後): サーバーエラー (HTTP 503)») from the worker's thread.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>

#include "app/WindowServices.h"
#include "platform/FetchFailure.h"
#include "platform/Retry.h"

namespace mirolanda::app {

// `receiver` lives on the window's thread and outlives the fetcher the options go to.
inline platform::RetryOptions RetriesShownIn(QObject* receiver, WindowServices& services) {
    platform::RetryOptions options;
    options.Waits = services.RetryWaits();
    options.Retrying = [receiver, &services](int retry, platform::Milliseconds wait, const platform::FetchResult& failure) {
        const QString text = QStringLiteral("再試行 %1 (%2秒後): %3")
                                 .arg(retry)
                                 .arg((wait.count() + 999) / 1000)
                                 .arg(QString::fromStdString(platform::FailureReason(failure)));
        QMetaObject::invokeMethod(receiver, [&services, text] { services.ShowStatus(text); }, Qt::QueuedConnection);
    };
    return options;
}

}  // namespace mirolanda::app
