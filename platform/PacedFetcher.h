// A fetcher that keeps a rate-limited API's pace for every request made through it: at most
// N requests in any sixty seconds. It sits between the retry policy (platform/Retry.h, which
// waits out 429 answers) and the HTTP client, so a retried request keeps the pace too; its
// waits end at once on Cancel(). The clock and the wait are injectable, so tests never sleep.
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
    int RequestsPerMinute = 0;  // 0: no pacing (the quote site)
};

class PacedFetcher final : public Fetcher {
public:
    explicit PacedFetcher(std::unique_ptr<Fetcher> inner, PaceOptions options = {},
                          std::unique_ptr<PaceClock> clock = std::make_unique<SteadyPaceClock>());

    // Waits for a free place in the minute, then fetches. A wait cut short by Cancel() returns
    // !Ok, "中断されました".
    FetchResult Fetch(const std::string& url) override;
    void SetAccess(int mode, const std::string& proxy) override { inner_->SetAccess(mode, proxy); }
    void SetRequestHeaders(std::vector<HttpHeader> headers) override { inner_->SetRequestHeaders(std::move(headers)); }
    void Cancel() override;

    // The pace for the requests from now on (the past minute's requests still count).
    void SetRequestsPerMinute(int perMinute) { options_.RequestsPerMinute = perMinute; }
    // Called before each wait with its length, from the fetching thread.
    std::function<void(int64_t waitMs)> OnWait;

private:
    bool WaitForPlace();

    std::unique_ptr<Fetcher> inner_;
    PaceOptions options_;
    std::unique_ptr<PaceClock> clock_;
    std::deque<int64_t> starts_;  // start times of the requests of the last minute
};

}  // namespace mirolanda::platform
