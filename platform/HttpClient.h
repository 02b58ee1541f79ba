// The HTTP client: one reused libcurl handle (keep-alive), with the access mode of the
// connection settings, bounded sizes and times, and cancellation from another thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirolanda::platform {

// The description of a fetch that Cancel() ended.
inline constexpr std::string_view kCancelledDescription = "中断されました";

struct FetchResult {
    FetchResult() = default;
    // The four fields every fetcher fills.
    FetchResult(bool ok, std::string body, std::string description, long status)
        : Ok(ok), Body(std::move(body)), Description(std::move(description)), Status(status) {}

    bool Ok = false;
    std::string Body;         // the body as bytes, untouched; also that of an HTTP error answer
    // On failure: libcurl's error text, "HTTP 503" for an error status, or our own text for
    // a body past the size limit, a stall, or a cancellation.
    std::string Description;
    long Status = 0;          // the HTTP status, 0 when no response came
    // A failure that may go away when asked again: a time-out, a reset or dropped
    // connection, a refused connection, a 5xx or 429 answer (set even when such an answer
    // is kept as Ok), a body its caller found cut short. Never set for a cancel.
    bool Transient = false;
    bool Refused = false;          // nobody listened: transient only once the server has answered before
    long RetryAfterSeconds = -1;   // the answer's Retry-After, in seconds from its Date; −1 without one
    int CurlCode = 0;         // libcurl's CURLcode of a failed transfer, 0 when it went through
    // The failure in the user's words where the client knows it better than libcurl's code
    // tells it (a page cut short, a header too long, a transfer too slow); "" otherwise.
    std::string Reason;
};

// The answer of a request that a cancel ended or refused before it was sent.
inline FetchResult CancelledResult() { return {false, {}, std::string(kCancelledDescription), 0}; }

// One request header, such as "x-api-key" and its value. Values may be secrets: no text the
// client makes (descriptions, errors) ever contains one.
struct HttpHeader {
    std::string Name;
    std::string Value;
};

// The defaults suit quote pages (a page of fifty codes is about 10 KB); a client for images
// raises MaxBodyBytes and TotalTimeoutMs.
struct HttpLimits {
    long ConnectTimeoutMs = 15000;
    long StallTimeoutMs = 30000;        // fails when no byte (header or body) arrives for this long
    long TotalTimeoutMs = 60000;        // one request never takes longer than this
    // A transfer slower than LowSpeedBytes a second for LowSpeedSeconds is stalled too: a
    // server that drips a byte at a time never trips the stall limit above.
    long LowSpeedBytes = 1024;
    long LowSpeedSeconds = 30;
    size_t MaxBodyBytes = 1u << 20;     // a junk server fails in seconds, not after megabytes
    bool FailOnHttpError = true;        // a 4xx/5xx status is a failure
};

// What a caller says about a body that came back: "" when it is whole, otherwise what is
// wrong with it (a page cut short). Such a body counts as a transient failure.
using BodyCheck = std::function<std::string(std::string_view body)>;

// What domain code fetches through, so tests can give it a fake.
class Fetcher {
public:
    virtual ~Fetcher() = default;
    virtual FetchResult Fetch(const std::string& url) = 0;
    // The connection set-up (see HttpClient::SetAccess); fakes may ignore it.
    virtual void SetAccess(int /*mode*/, const std::string& /*proxy*/) {}
    // Ends a pending Fetch from another thread; fakes that never block may ignore it.
    virtual void Cancel() {}
    // Fetch, then the check; a retrying fetcher asks again for a body the check refuses.
    virtual FetchResult FetchChecked(const std::string& url, const BodyCheck& check);
    // Headers sent with every later request until set again ({} for none); fakes may ignore them.
    virtual void SetRequestHeaders(std::vector<HttpHeader> /*headers*/) {}
};

// A good result whose body the check refuses becomes a transient failure with its text.
FetchResult ApplyBodyCheck(FetchResult result, const BodyCheck& check);

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
    // only. Never throws for network failures: they come back as !Ok. A request that fails
    // on a reused connection the peer had closed is sent once more on a fresh connection.
    FetchResult Fetch(const std::string& url) override;

    // Ends a pending Fetch (from any thread) at once; it returns !Ok, "中断されました". With no
    // fetch pending it does nothing: the next Fetch runs normally.
    void Cancel() override;

    // While any header is set, redirects are not followed, so a secret header never travels to
    // another host. Throws Error (naming no value) for a name or value with a line break or NUL.
    void SetRequestHeaders(std::vector<HttpHeader> headers) override;

    // How many new TCP connections this client has opened (for keep-alive checks).
    long ConnectionsOpened() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A base address without the slashes at its end, so a path joins it with exactly one '/'.
std::string_view TrimTrailingSlashes(std::string_view url);

}  // namespace mirolanda::platform
