#include "platform/Retry.h"

#include <algorithm>

namespace mirolanda::platform {
RetryingFetcher::RetryingFetcher(Fetcher& inner, RetryOptions options) : inner_(inner), options_(std::move(options)) {}

RetryingFetcher::RetryingFetcher(std::unique_ptr<Fetcher> inner, RetryOptions options)
    : owned_(std::move(inner)), inner_(*owned_), options_(std::move(options)) {}

FetchResult RetryingFetcher::Fetch(const std::string& url) { return FetchChecked(url, {}); }

FetchResult RetryingFetcher::FetchChecked(const std::string& url, const BodyCheck& check) {
    {
        // A cancel ends the request it finds; it does not spoil the next one.
        std::lock_guard lock(mutex_);
        cancelled_ = false;
    }
    ++requests_;
    for (size_t retry = 0;; ++retry) {
        FetchResult result = inner_.FetchChecked(url, check);
        if (result.Status > 0) answered_ = true;
        if (!Retryable(result) || retry >= options_.Waits.size()) return result;
        const Milliseconds wait = WaitBefore(retry, result);
        if (options_.Retrying) options_.Retrying(static_cast<int>(retry) + 1, wait, result);
        if (!WaitFor(wait)) return CancelledResult();
        ++retries_;
    }
}

void RetryingFetcher::Cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    wake_.notify_all();
    inner_.Cancel();
}

void RetryingFetcher::BeginCommand() {
    answered_ = false;
    requests_ = 0;
    retries_ = 0;
}

bool RetryingFetcher::Retryable(const FetchResult& result) const {
    if (!result.Transient) return false;
    // Nobody listening on the first request is a wrong address or a server that is down: asking
    // again would only make the user wait. Later it is a server restarting, worth a retry.
    return !result.Refused || answered_.load();
}

Milliseconds RetryingFetcher::WaitBefore(size_t retry, const FetchResult& failure) const {
    Milliseconds wait = options_.Waits[retry];
    if (failure.Status == 429 && failure.RetryAfterSeconds < 0) wait = std::max(wait, options_.TooManyFirstWait * (1 << retry));
    if (failure.RetryAfterSeconds >= 0) {
        const Milliseconds asked = std::min<Milliseconds>(std::chrono::seconds(failure.RetryAfterSeconds), options_.MaxRetryAfter);
        wait = std::max(wait, asked);
    }
    return wait;
}

bool RetryingFetcher::WaitFor(Milliseconds wait) {
    if (options_.Wait) {
        if (!options_.Wait(wait)) return false;
        std::lock_guard lock(mutex_);
        return !cancelled_;
    }
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, wait, [this] { return cancelled_; });
}

}  // namespace mirolanda::platform
