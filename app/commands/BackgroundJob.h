// Runs one long piece of work (a download, a filing) on its own thread so the window never
// freezes. Status texts and progress steps come back to the window's thread through queued
// signals; the completion runs there too, with the work's exception if it threw. Only one
// piece of work runs at a time; the destructor waits for it (cancel it first).
#pragma once

#include <QObject>
#include <QString>
#include <exception>
#include <functional>

#include "platform/Progress.h"

class QThread;

namespace mirolanda::app {

class BackgroundJob final : public QObject {
    Q_OBJECT
public:
    explicit BackgroundJob(QObject* parent = nullptr);
    ~BackgroundJob() override;

    bool Busy() const { return thread_ != nullptr; }

    // Starts the work; false (and nothing started) while another one runs. `done` runs on
    // the window's thread once the work has returned or thrown.
    bool Start(std::function<void()> work, std::function<void(std::exception_ptr)> done);

    // A progress for the work: Status and Advance become the signals below; Pump does nothing,
    // since the window's events run on their own thread.
    platform::Progress WorkerProgress();

    // Blocks until the running work has returned (for shutdown).
    void Wait();

signals:
    void StatusText(const QString& text);
    void Advanced(int done, int total);

private:
    void Finish();

    QThread* thread_ = nullptr;
    std::exception_ptr error_;
    std::function<void(std::exception_ptr)> done_;
};

}  // namespace mirolanda::app
