#include "quotes/SourceClient.h"

namespace mirolanda::quotes {
namespace {

// The J-Quants API asks a client that got 429 to wait at least a minute.
constexpr platform::Milliseconds kJQuantsTooManyWait = std::chrono::minutes(1);

std::unique_ptr<platform::PacedFetcher> Paced(std::unique_ptr<platform::Fetcher> http,
                                              std::unique_ptr<platform::PaceClock> clock) {
    return std::make_unique<platform::PacedFetcher>(std::move(http), platform::PaceOptions{}, std::move(clock));
}

}  // namespace

SourceClient::SourceClient(std::unique_ptr<platform::Fetcher> http, platform::RetryOptions retry,
                           std::unique_ptr<platform::PaceClock> clock)
    : SourceClient(Paced(std::move(http), std::move(clock)), std::move(retry)) {}

void SourceClient::BeginCommand(const DownloadOptions& options) {
    const bool api = options.Source == QuoteSource::JQuants;
    paced_->SetRequestsPerMinute(api ? options.JQuants.RequestsPerMinute : 0);
    retry_.SetTooManyFirstWait(api ? kJQuantsTooManyWait : platform::Milliseconds{0});
    retry_.BeginCommand();
}

}  // namespace mirolanda::quotes
