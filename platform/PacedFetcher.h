// A fetcher that keeps a rate-limited API's rules for every request made through it: at most
// N requests in any sixty seconds, and an HTTP 429 answer waited out (its Retry-After when
// given, else a minute, doubled each time it comes again) before the same request goes out
// again, a bounded number of times. It sits between a command and the HTTP client, and its
// waits end at once on Cancel(). The clock and the wait are injectable, so tests never sleep.
//
// The 429 handling here is this API's own; a shared retry policy of the HTTP client (waits for
// 5xx and 429 on other hosts) can take it over, keeping the minute-long default wait.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/HttpClient.h"

namespace mirolanda::platform {

// Monotonic milliseconds and a wait that another thread can cut short.
class PaceClock {
public:
    virtual ~PaceClock() = default;
    virtual int64_t NowMs() = 0;
    // Waits `ms`; false when Interrupt() ended the wait (or came before it).
    virtual bool Wait(int64_t ms) = 0;
    // Ends the wait under way and every later one until Rearm().
    virtual void Interrupt() = 0;
    virtual void Rearm() = 0;
};

// The steady clock and a condition variable.
class SteadyPaceClock final : public PaceClock {
public:
    int64_t NowMs() override;
    bool Wait(int64_t ms) override;
    void Interrupt() override;
    void Rearm() override;

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool interrupted_ = false;
};

struct PaceOptions {
    int RequestsPerMinute = 0;      // 0: no pacing (the quote site)
    int MaxTooManyWaits = 4;        // 429 answers to one request before its 429 is returned
    int64_t TooManyWaitMs = 60000;  // the first wait after a 429 without Retry-After
    int64_t MaxWaitMs = 600000;     // no single wait is longer, whatever Retry-After says
};

// Why a wait happens, for a status line.
enum class WaitReason { Pace, TooMany };

class PacedFetcher final : public Fetcher {
public:
    explicit PacedFetcher(std::unique_ptr<Fetcher> inner, PaceOptions options = {},
                          std::unique_ptr<PaceClock> clock = std::make_unique<SteadyPaceClock>());

    // Waits for a free place in the minute, fetches, and waits out 429 answers. A wait cut
    // short by Cancel() returns !Ok, "中断されました".
    FetchResult Fetch(const std::string& url) override;
    void SetAccess(int mode, const std::string& proxy) override { inner_->SetAccess(mode, proxy); }
    void SetRequestHeaders(std::vector<HttpHeader> headers) override { inner_->SetRequestHeaders(std::move(headers)); }
    void Cancel() override;

    // The pace for the requests from now on (the past minute's requests still count).
    void SetRequestsPerMinute(int perMinute) { options_.RequestsPerMinute = perMinute; }
    // Called before each wait with its length, from the fetching thread.
    std::function<void(int64_t waitMs, WaitReason reason)> OnWait;

private:
    bool WaitFor(int64_t ms, WaitReason reason);
    bool WaitForPlace();
    int64_t TooManyWaitMs(const FetchResult& answer, int times) const;

    std::unique_ptr<Fetcher> inner_;
    PaceOptions options_;
    std::unique_ptr<PaceClock> clock_;
    std::deque<int64_t> starts_;  // start times of the requests of the last minute
};

// A Retry-After value in delta-seconds ("120"), as milliseconds; nothing for an HTTP date or
// anything else, which the caller treats as absent.
std::optional<int64_t> RetryAfterMs(const std::string& value);

}  // namespace mirolanda::platform
