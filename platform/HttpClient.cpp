#include "platform/HttpClient.h"

#include "platform/Errors.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>

namespace mirolanda::platform {

namespace {

constexpr long kMaxRedirects = 5;
constexpr int kPollMs = 1000;

void InitCurlOnce() {
    // libcurl's global set-up is not thread-safe; do it once for the whole process.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

using Clock = std::chrono::steady_clock;

std::string StalledText(long limitMs) {
    return "応答が途絶えました (" + std::to_string((limitMs + 999) / 1000) + " 秒間受信なし)";
}

std::string TooLargeText(size_t limit) {
    return "応答が大きすぎます (" + std::to_string(limit) + " バイト超)";
}

const char* const kCancelledText = "中断されました";

}  // namespace

struct HttpClient::Impl {
    HttpLimits limits;
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    std::atomic<bool> cancel{false};
    std::atomic<long> connections{0};
    char error[CURL_ERROR_SIZE] = {};
    std::string body;
    bool tooLarge = false;
    bool stalled = false;
    Clock::time_point lastByte;

    static size_t OnBody(char* data, size_t size, size_t count, void* user);
    static size_t OnHeader(char* data, size_t size, size_t count, void* user);
    long PollMs() const;
    void Configure();
    CURLcode Perform();
    FetchResult Describe(CURLcode code);
};

size_t HttpClient::Impl::OnBody(char* data, size_t size, size_t count, void* user) {
    auto* impl = static_cast<Impl*>(user);
    const size_t bytes = size * count;
    if (impl->cancel.load()) return 0;
    // Stop reading at the limit instead of growing without bound on a hostile answer.
    if (bytes > impl->limits.MaxBodyBytes - impl->body.size()) {
        impl->tooLarge = true;
        return 0;
    }
    impl->body.append(data, bytes);
    impl->lastByte = Clock::now();
    return bytes;
}

size_t HttpClient::Impl::OnHeader(char*, size_t size, size_t count, void* user) {
    static_cast<Impl*>(user)->lastByte = Clock::now();
    return size * count;
}

// How long the transfer loop may wait before the stall limit has to be looked at again.
long HttpClient::Impl::PollMs() const {
    const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastByte).count();
    return std::clamp(limits.StallTimeoutMs - static_cast<long>(idle), 0L, static_cast<long>(kPollMs));
}

void HttpClient::Impl::Configure() {
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Mirolanda/" MIROLANDA_VERSION);
    // Only web addresses: a server's redirect must not lead to file:// or other schemes.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, limits.ConnectTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, limits.TotalTimeoutMs);
    // Refuses early when the announced length is already past the limit.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.MaxBodyBytes));
}

// Runs the transfer through the multi interface so that Cancel() can wake the wait at once.
CURLcode HttpClient::Impl::Perform() {
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) return CURLE_FAILED_INIT;
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        CURLMcode mc = curl_multi_perform(multi, &running);
        bool done = false;
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) {
                result = msg->data.result;
                done = true;
            }
        }
        if (done) break;
        if (cancel.load()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        // Timed here rather than with libcurl's speed limit, whose average over several
        // seconds lets a server that sent a few bytes hang on well past the limit.
        const long pollMs = PollMs();
        if (pollMs == 0) {
            stalled = true;
            result = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        if (mc == CURLM_OK) mc = curl_multi_poll(multi, nullptr, 0, static_cast<int>(pollMs), nullptr);
        if (mc != CURLM_OK || running == 0) {
            if (error[0] == '\0') std::snprintf(error, sizeof error, "%s", curl_multi_strerror(mc));
            result = CURLE_FAILED_INIT;
            break;
        }
    }
    curl_multi_remove_handle(multi, easy);
    return result;
}

FetchResult HttpClient::Impl::Describe(CURLcode code) {
    FetchResult result;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.Status);
    result.CurlCode = stalled ? CURLE_OPERATION_TIMEDOUT : tooLarge ? CURLE_FILESIZE_EXCEEDED : code;
    if (cancel.load()) {
        result.Description = kCancelledText;
    } else if (stalled) {
        result.Description = StalledText(limits.StallTimeoutMs);
    } else if (tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.Description = TooLargeText(limits.MaxBodyBytes);
    } else if (code != CURLE_OK) {
        result.Description = error[0] != '\0' ? error : curl_easy_strerror(code);
    } else if (result.Status >= 400 && limits.FailOnHttpError) {
        result.Description = "HTTP " + std::to_string(result.Status);
    } else {
        result.Ok = true;
        result.Body = std::move(body);
    }
    body.clear();
    return result;
}

HttpClient::HttpClient(HttpLimits limits) : impl_(std::make_unique<Impl>()) {
    InitCurlOnce();
    impl_->limits = limits;
    impl_->multi = curl_multi_init();
    impl_->easy = curl_easy_init();
    if (!impl_->multi || !impl_->easy) {
        if (impl_->easy) curl_easy_cleanup(impl_->easy);
        if (impl_->multi) curl_multi_cleanup(impl_->multi);
        throw Error("HTTP クライアントを初期化できません");
    }
    impl_->Configure();
}

HttpClient::~HttpClient() {
    curl_easy_cleanup(impl_->easy);
    curl_multi_cleanup(impl_->multi);
}

void HttpClient::SetAccess(int mode, const std::string& proxy) {
    CURL* easy = impl_->easy;
    switch (mode) {
    case 0:  // libcurl's defaults: the proxy environment variables decide
        curl_easy_setopt(easy, CURLOPT_PROXY, static_cast<const char*>(nullptr));
        curl_easy_setopt(easy, CURLOPT_NOPROXY, static_cast<const char*>(nullptr));
        break;
    case 1:  // direct: an empty proxy overrides the environment, "*" bypasses any proxy
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");
        break;
    case 2:  // the named proxy for every host, whatever no_proxy says
        curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
        curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
        break;
    default:
        break;
    }
}

FetchResult HttpClient::Fetch(const std::string& url) {
    Impl& impl = *impl_;
    // A Cancel() only ends the fetch it finds pending; it does not spoil the next one.
    impl.cancel.store(false);
    impl.body.clear();
    impl.tooLarge = false;
    impl.stalled = false;
    impl.lastByte = Clock::now();
    impl.error[0] = '\0';
    curl_easy_setopt(impl.easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(impl.easy, CURLOPT_HTTPGET, 1L);
    const CURLcode code = impl.Perform();
    long opened = 0;
    if (curl_easy_getinfo(impl.easy, CURLINFO_NUM_CONNECTS, &opened) == CURLE_OK) impl.connections += opened;
    return impl.Describe(code);
}

void HttpClient::Cancel() {
    impl_->cancel.store(true);
    curl_multi_wakeup(impl_->multi);
}

long HttpClient::ConnectionsOpened() const {
    return impl_->connections.load();
}

std::string_view TrimTrailingSlashes(std::string_view url) {
    while (!url.empty() && url.back() == '/') url.remove_suffix(1);
    return url;
}

}  // namespace mirolanda::platform
