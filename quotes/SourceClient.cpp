#include "quotes/SourceClient.h"

namespace mirolanda::quotes {
namespace {

std::unique_ptr<platform::PacedFetcher> Paced(std::unique_ptr<platform::Fetcher> http,
                                              std::unique_ptr<platform::PaceClock> clock) {
    return std::make_unique<platform::PacedFetcher>(std::move(http), platform::PaceOptions{}, std::move(clock));
}

}  // namespace

std::string PaceWaitText(int64_t waitMs) {
    return "ダウンロード－待機 " + std::to_string((waitMs + 999) / 1000) + "秒 (1分あたりの回数制限)";
}

SourceClient::SourceClient(std::unique_ptr<platform::Fetcher> http, platform::RetryOptions retry,
                           std::unique_ptr<platform::PaceClock> clock)
    : SourceClient(Paced(std::move(http), std::move(clock)), std::move(retry)) {}

void SourceClient::BeginCommand(const market::QuoteSource& source) {
    const market::SourcePace pace = source.Pace();
    paced_->SetRequestsPerMinute(pace.RequestsPerMinute);
    retry_.SetTooManyFirstWait(platform::Milliseconds{pace.WaitAfterTooManyMs});
    retry_.BeginCommand();
}

}  // namespace mirolanda::quotes
