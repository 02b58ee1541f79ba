// The HTTP client: one reused libcurl handle (keep-alive), with the access mode of the
// connection settings, bounded sizes and times, and cancellation from another thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace mirolanda::platform {

struct FetchResult {
    bool Ok = false;
    std::string Body;         // the body as bytes, untouched
    // On failure: libcurl's error text, "HTTP 503" for an error status, or our own text for
    // a body past the size limit, a stall, or a cancellation.
    std::string Description;
    long Status = 0;          // the HTTP status, 0 when no response came
    int CurlCode = 0;         // libcurl's CURLcode of a failed transfer, 0 when it went through
};

struct HttpLimits {
    long ConnectTimeoutMs = 15000;
    long StallTimeoutMs = 30000;        // fails when no byte (header or body) arrives for this long
    long TotalTimeoutMs = 300000;       // bounds a server that drips bytes just fast enough
    size_t MaxBodyBytes = 16u << 20;    // far above any real page or image
    bool FailOnHttpError = true;        // a 4xx/5xx status is a failure
};

// What domain code fetches through, so tests can give it a fake.
class Fetcher {
public:
    virtual ~Fetcher() = default;
    virtual FetchResult Fetch(const std::string& url) = 0;
    // The connection set-up (see HttpClient::SetAccess); fakes may ignore it.
    virtual void SetAccess(int /*mode*/, const std::string& /*proxy*/) {}
    // Ends a pending Fetch from another thread; fakes that never block may ignore it.
    virtual void Cancel() {}
};

class HttpClient final : public Fetcher {
public:
    explicit HttpClient(HttpLimits limits = {});
    ~HttpClient() override;
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // 0: libcurl's defaults (the usual proxy environment variables apply); 1: direct, no proxy
    // whatever the environment says; 2: through proxy "server:port". Other values change nothing.
    void SetAccess(int mode, const std::string& proxy) override;

    // Synchronous GET, one at a time per client; follows up to 5 redirects, http and https
    // only. Never throws for network failures: they come back as !Ok.
    FetchResult Fetch(const std::string& url) override;

    // Ends a pending Fetch (from any thread) at once; it returns !Ok, "中断されました". With no
    // fetch pending it does nothing: the next Fetch runs normally.
    void Cancel() override;

    // How many new TCP connections this client has opened (for keep-alive checks).
    long ConnectionsOpened() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A base address without the slashes at its end, so a path joins it with exactly one '/'.
std::string_view TrimTrailingSlashes(std::string_view url);

}  // namespace mirolanda::platform
