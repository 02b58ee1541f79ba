#include "platform/PacedFetcher.h"

#include <algorithm>
#include <chrono>

namespace mirolanda::platform {
namespace {

constexpr int64_t kMinuteMs = 60000;

}  // namespace

int64_t SteadyPaceClock::NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool SteadyPaceClock::Wait(int64_t ms) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return interrupted_; });
    return !interrupted_;
}

void SteadyPaceClock::Interrupt() {
    std::lock_guard lock(mutex_);
    interrupted_ = true;
    wake_.notify_all();
}

void SteadyPaceClock::Rearm() {
    std::lock_guard lock(mutex_);
    interrupted_ = false;
}

PacedFetcher::PacedFetcher(std::unique_ptr<Fetcher> inner, PaceOptions options, std::unique_ptr<PaceClock> clock)
    : inner_(std::move(inner)), options_(options), clock_(std::move(clock)) {}

void PacedFetcher::Cancel() {
    clock_->Interrupt();
    inner_->Cancel();
}

// Waits until fewer than N requests started in the last sixty seconds, then counts this one.
bool PacedFetcher::WaitForPlace() {
    const int limit = options_.RequestsPerMinute;
    if (limit > 0) {
        int64_t now = clock_->NowMs();
        while (!starts_.empty() && starts_.front() + kMinuteMs <= now) starts_.pop_front();
        while (static_cast<int>(starts_.size()) >= limit) {
            const int64_t wait = std::max<int64_t>(starts_.front() + kMinuteMs - now, 0);
            if (OnWait) OnWait(wait);
            if (!clock_->Wait(wait)) return false;
            now = clock_->NowMs();
            while (!starts_.empty() && starts_.front() + kMinuteMs <= now) starts_.pop_front();
        }
    }
    starts_.push_back(clock_->NowMs());
    // Only the last minute matters; the list never outgrows the largest pace used.
    while (starts_.size() > 1000) starts_.pop_front();
    return true;
}

FetchResult PacedFetcher::Fetch(const std::string& url) {
    clock_->Rearm();
    if (!WaitForPlace()) return CancelledResult();
    return inner_->Fetch(url);
}

}  // namespace mirolanda::platform
