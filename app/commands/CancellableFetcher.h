// A fetcher for a network command run on a worker thread: once cancelled it refuses every
// request, so the command ends at its next one, and a request under way is ended through the
// HTTP client. Reset before each command.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/FetchFailure.h"
#include "platform/HttpClient.h"

namespace mirolanda::app {

class CancellableFetcher final : public platform::Fetcher {
public:
    explicit CancellableFetcher(std::unique_ptr<platform::Fetcher> inner) : inner_(std::move(inner)) {}
    platform::FetchResult Fetch(const std::string& url) override {
        if (cancelled_) return platform::CancelledResult();
        return inner_->Fetch(url);
    }
    // The check goes to the inner fetcher, which may ask again for a body it refuses.
    platform::FetchResult FetchChecked(const std::string& url, const platform::BodyCheck& check) override {
        if (cancelled_) return platform::CancelledResult();
        return inner_->FetchChecked(url, check);
    }
    void SetAccess(int mode, const std::string& proxy) override { inner_->SetAccess(mode, proxy); }
    void SetRequestHeaders(std::vector<platform::HttpHeader> headers) override {
        inner_->SetRequestHeaders(std::move(headers));
    }
    void Cancel() override {
        cancelled_ = true;
        inner_->Cancel();
    }
    void Reset() { cancelled_ = false; }
    bool Cancelled() const { return cancelled_; }

private:
    std::unique_ptr<platform::Fetcher> inner_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace mirolanda::app
