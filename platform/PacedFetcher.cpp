#include "platform/PacedFetcher.h"

#include <algorithm>
#include <chrono>

namespace mirolanda::platform {
namespace {

constexpr int64_t kMinuteMs = 60000;
constexpr long kTooManyRequests = 429;
const char* const kCancelledText = "中断されました";

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

std::optional<int64_t> RetryAfterMs(const std::string& value) {
    if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoll(value) * 1000;
}

PacedFetcher::PacedFetcher(std::unique_ptr<Fetcher> inner, PaceOptions options, std::unique_ptr<PaceClock> clock)
    : inner_(std::move(inner)), options_(options), clock_(std::move(clock)) {}

void PacedFetcher::Cancel() {
    clock_->Interrupt();
    inner_->Cancel();
}

bool PacedFetcher::WaitFor(int64_t ms, WaitReason reason) {
    ms = std::clamp<int64_t>(ms, 0, options_.MaxWaitMs);
    if (ms == 0) return true;
    if (OnWait) OnWait(ms, reason);
    return clock_->Wait(ms);
}

// Waits until fewer than N requests started in the last sixty seconds, then counts this one.
bool PacedFetcher::WaitForPlace() {
    const int limit = options_.RequestsPerMinute;
    if (limit > 0) {
        int64_t now = clock_->NowMs();
        while (!starts_.empty() && starts_.front() + kMinuteMs <= now) starts_.pop_front();
        while (static_cast<int>(starts_.size()) >= limit) {
            if (!WaitFor(starts_.front() + kMinuteMs - now, WaitReason::Pace)) return false;
            now = clock_->NowMs();
            while (!starts_.empty() && starts_.front() + kMinuteMs <= now) starts_.pop_front();
        }
    }
    starts_.push_back(clock_->NowMs());
    // Only the last minute matters; the list never outgrows the largest pace used.
    while (starts_.size() > 1000) starts_.pop_front();
    return true;
}

// Retry-After when the server gives one, else a minute doubled for each 429 in a row.
int64_t PacedFetcher::TooManyWaitMs(const FetchResult& answer, int times) const {
    if (auto ms = RetryAfterMs(answer.RetryAfter)) return std::max<int64_t>(*ms, 1000);
    int64_t wait = options_.TooManyWaitMs;
    for (int i = 1; i < times && wait < options_.MaxWaitMs; ++i) wait *= 2;
    return wait;
}

FetchResult PacedFetcher::Fetch(const std::string& url) {
    clock_->Rearm();
    for (int tooMany = 0;; ++tooMany) {
        if (!WaitForPlace()) return {false, {}, kCancelledText, 0, {}};
        FetchResult answer = inner_->Fetch(url);
        if (answer.Status != kTooManyRequests || tooMany >= options_.MaxTooManyWaits) return answer;
        if (!WaitFor(TooManyWaitMs(answer, tooMany + 1), WaitReason::TooMany)) {
            return {false, {}, kCancelledText, 0, {}};
        }
    }
}

}  // namespace mirolanda::platform
