// Asking again after a transient failure: a Fetcher that wraps another and retries a request
// that timed out, was reset, was refused after the server had answered before, or got a 5xx
// or 429 answer (or a body its caller found cut short), a bounded number of times with
// growing waits, honouring Retry-After. Every quote source fetches through it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/HttpClient.h"
#include "platform/HttpDates.h"

namespace mirolanda::platform {

using Milliseconds = std::chrono::milliseconds;

struct RetryOptions {
    // One wait per retry, in order: three retries after 1, 4 and 16 seconds.
    std::vector<Milliseconds> Waits = {std::chrono::seconds(1), std::chrono::seconds(4), std::chrono::seconds(16)};
    // A Retry-After longer than this is not waited for in full.
    Milliseconds MaxRetryAfter = std::chrono::minutes(5);
    // A 429 answer without Retry-After waits at least this, doubled for each further retry: a
    // rate-limited API that blocks clients who keep going asks for a minute.
    Milliseconds TooManyFirstWait{0};
    // Waits the time or returns false at once when cancelled; empty: a real wait that Cancel()
    // ends. Tests give one that does not sleep.
    std::function<bool(Milliseconds)> Wait;
    // Told before each wait: the retry's number from 1, the wait, the failure that caused it.
    std::function<void(int retry, Milliseconds wait, const FetchResult& failure)> Retrying;
};

class RetryingFetcher final : public Fetcher {
public:
    explicit RetryingFetcher(Fetcher& inner, RetryOptions options = {});
    explicit RetryingFetcher(std::unique_ptr<Fetcher> inner, RetryOptions options = {});

    FetchResult Fetch(const std::string& url) override;
    FetchResult FetchChecked(const std::string& url, const BodyCheck& check) override;
    void SetAccess(int mode, const std::string& proxy) override { inner_.SetAccess(mode, proxy); }
    void SetRequestHeaders(std::vector<HttpHeader> headers) override { inner_.SetRequestHeaders(std::move(headers)); }
    // Ends the pending request or wait at once; the fetch returns the cancelled result.
    void Cancel() override;

    // A new command: a refused connection is not retried until the server has answered, and
    // the counts start from zero.
    void BeginCommand();
    // The least wait after a 429 without Retry-After (RetryOptions::TooManyFirstWait).
    void SetTooManyFirstWait(Milliseconds wait) { options_.TooManyFirstWait = wait; }
    long Requests() const { return requests_.load(); }  // requests asked for, retries not counted
    long Retries() const { return retries_.load(); }

private:
    bool Retryable(const FetchResult& result) const;
    Milliseconds WaitBefore(size_t retry, const FetchResult& failure) const;
    bool WaitFor(Milliseconds wait);

    std::unique_ptr<Fetcher> owned_;
    Fetcher& inner_;
    RetryOptions options_;
    std::atomic<long> requests_{0};
    std::atomic<long> retries_{0};
    std::atomic<bool> answered_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool cancelled_ = false;
};

}  // namespace mirolanda::platform
