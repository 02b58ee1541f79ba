#include "app/commands/BackgroundJob.h"

#include <QThread>

namespace mirolanda::app {

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob() {
    Wait();
    delete thread_;
}

bool BackgroundJob::Start(std::function<void()> work, std::function<void(std::exception_ptr)> done) {
    if (thread_) return false;
    error_ = nullptr;
    done_ = std::move(done);
    thread_ = QThread::create([this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            error_ = std::current_exception();
        }
    });
    connect(thread_, &QThread::finished, this, &BackgroundJob::Finish, Qt::QueuedConnection);
    thread_->start();
    return true;
}

platform::Progress BackgroundJob::WorkerProgress() {
    platform::Progress progress;
    progress.Status = [this](const std::string& text) { emit StatusText(QString::fromStdString(text)); };
    progress.Advance = [this](int done, int total) { emit Advanced(done, total); };
    return progress;
}

void BackgroundJob::Wait() {
    if (thread_) thread_->wait();
}

void BackgroundJob::Finish() {
    if (!thread_) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    auto done = std::move(done_);
    done_ = nullptr;
    if (done) done(std::exchange(error_, nullptr));
}

}  // namespace mirolanda::app
