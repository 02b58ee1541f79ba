// The client a download fetches through, for any quote source: the HTTP client under the one
// retry policy (platform/Retry.h), and the source's pace in between, so a retried request keeps
// the pace too, and the source's least wait after a 429 without Retry-After (an API may block
// clients that keep going). Kept across commands, so the pace of
// the last minute carries over; Cancel() ends a request or a wait at once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/PacedFetcher.h"
#include "platform/Retry.h"
#include "market/QuoteSource.h"

namespace mirolanda::quotes {

// The status line while the paced fetcher waits (PacedFetcher::OnWait): «ダウンロード－待機 60秒
// (1分あたりの回数制限)».
std::string PaceWaitText(int64_t waitMs);

class SourceClient final : public platform::Fetcher {
public:
    explicit SourceClient(std::unique_ptr<platform::Fetcher> http, platform::RetryOptions retry = {},
                          std::unique_ptr<platform::PaceClock> clock = std::make_unique<platform::SteadyPaceClock>());

    // Readies the client for a command of this source: its pace, the least wait after a 429,
    // and the request and retry counts from zero.
    void BeginCommand(const market::QuoteSource& source);

    platform::FetchResult Fetch(const std::string& url) override { return retry_.Fetch(url); }
    platform::FetchResult FetchChecked(const std::string& url, const platform::BodyCheck& check) override {
        return retry_.FetchChecked(url, check);
    }
    void SetAccess(int mode, const std::string& proxy) override { retry_.SetAccess(mode, proxy); }
    void SetRequestHeaders(std::vector<platform::HttpHeader> headers) override {
        retry_.SetRequestHeaders(std::move(headers));
    }
    void Cancel() override { retry_.Cancel(); }

    long Requests() const { return retry_.Requests(); }
    long Retries() const { return retry_.Retries(); }
    // Where a wait for the pace is told (for a status line).
    platform::PacedFetcher& Pace() { return *paced_; }

private:
    SourceClient(std::unique_ptr<platform::PacedFetcher> paced, platform::RetryOptions retry)
        : paced_(paced.get()), retry_(std::move(paced), std::move(retry)) {}

    platform::PacedFetcher* paced_;  // owned by retry_
    platform::RetryingFetcher retry_;
};

}  // namespace mirolanda::quotes
