#include "platform/HttpClient.h"

#include "platform/Errors.h"
#include "platform/HttpDates.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>

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

std::string TooSlowText(const HttpLimits& limits) {
    return "応答が遅すぎます (" + std::to_string(limits.LowSpeedSeconds) + " 秒間 毎秒" +
           std::to_string(limits.LowSpeedBytes) + " バイト未満)";
}

const char* const kHeaderTooLongText = "応答ヘッダーが長すぎます";

// The value of a header line "Name: value" when its name is `name` (any letter case).
std::optional<std::string_view> HeaderValue(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':') return std::nullopt;
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) != std::tolower(static_cast<unsigned char>(name[i])))
            return std::nullopt;
    }
    return line.substr(name.size() + 1);
}

// Failures that a reused connection the peer had already closed gives: the request could not
// be sent, or nothing came back on it.
bool DeadConnectionCode(CURLcode code, const char* error) {
    return code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING ||
           std::strstr(error, "Connection died") != nullptr;
}

// Failures worth asking again for: the server or the way to it may be back in a moment.
bool TransientCode(CURLcode code) {
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_COULDNT_CONNECT:
        return true;
    default:
        return false;
    }
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

FetchResult ApplyBodyCheck(FetchResult result, const BodyCheck& check) {
    if (!result.Ok || !check) return result;
    std::string fault = check(result.Body);
    if (fault.empty()) return result;
    result.Ok = false;
    result.Transient = true;
    result.Reason = fault;
    result.Description = std::move(fault);
    result.Body.clear();
    return result;
}

FetchResult Fetcher::FetchChecked(const std::string& url, const BodyCheck& check) {
    return ApplyBodyCheck(Fetch(url), check);
}

struct HttpClient::Impl {
    HttpLimits limits;
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    std::atomic<bool> cancel{false};
    std::atomic<long> connections{0};
    char error[CURL_ERROR_SIZE] = {};
    std::string body;
    curl_slist* headers = nullptr;
    bool tooLarge = false;
    bool stalled = false;
    bool headersDone = false;  // the last answer's header block was read to its blank line
    std::string retryAfter;
    std::string date;
    Clock::time_point lastByte;

    static size_t OnBody(char* data, size_t size, size_t count, void* user);
    static size_t OnHeader(char* data, size_t size, size_t count, void* user);
    long PollMs() const;
    void Configure();
    void Reset();
    CURLcode Perform();
    FetchResult Describe(CURLcode code);
    long RetryAfterSeconds() const;
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

size_t HttpClient::Impl::OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* impl = static_cast<Impl*>(user);
    impl->lastByte = Clock::now();
    const std::string_view line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) {
        // A new answer (after a redirect or an interim one): its own headers count.
        impl->headersDone = false;
        impl->retryAfter.clear();
        impl->date.clear();
    } else if (line == "\r\n" || line == "\n") {
        impl->headersDone = true;
    } else if (auto retryAfter = HeaderValue(line, "Retry-After")) {
        impl->retryAfter.assign(retryAfter->substr(0, 64));
    } else if (auto date = HeaderValue(line, "Date")) {
        impl->date.assign(date->substr(0, 64));
    }
    return size * count;
}

// Retry-After in seconds from the answer's own Date (the server's clock, so a skewed local
// clock does not matter), or from now without one; −1 without a usable Retry-After.
long HttpClient::Impl::RetryAfterSeconds() const {
    if (retryAfter.empty()) return -1;
    std::optional<long long> now = ParseHttpDate(date);
    if (!now) now = std::chrono::duration_cast<std::chrono::seconds>(
                        std::chrono::system_clock::now().time_since_epoch()).count();
    return ParseRetryAfter(retryAfter, *now).value_or(-1);
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
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, limits.LowSpeedBytes);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, limits.LowSpeedSeconds);
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
    const bool busy = result.Status >= 500 || result.Status == 429;
    result.CurlCode = stalled ? CURLE_OPERATION_TIMEDOUT : tooLarge ? CURLE_FILESIZE_EXCEEDED : code;
    if (cancel.load()) {
        result.Description = std::string(kCancelledDescription);
        return result;
    }
    if (stalled) {
        result.Description = StalledText(limits.StallTimeoutMs);
    } else if (tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.Description = TooLargeText(limits.MaxBodyBytes);
    } else if (code == CURLE_OUT_OF_MEMORY && !headersDone) {
        // libcurl refuses a header line past its own bound with "Out of memory".
        result.Description = result.Reason = kHeaderTooLongText;
    } else if (code == CURLE_OPERATION_TIMEDOUT && limits.LowSpeedSeconds > 0 &&
               std::strstr(error, "too slow") != nullptr) {
        result.Description = TooSlowText(limits);
        result.Reason = "応答が遅すぎます";
    } else if (code != CURLE_OK) {
        result.Description = error[0] != '\0' ? error : curl_easy_strerror(code);
    } else if (result.Status >= 400 && limits.FailOnHttpError) {
        result.Description = "HTTP " + std::to_string(result.Status);
        // An API tells why in the error answer's body; it is bounded like any body.
        result.Body = std::move(body);
    } else {
        result.Ok = true;
        result.Body = std::move(body);
    }
    result.Transient = stalled || TransientCode(code) || (code == CURLE_OK && busy);
    result.Refused = code == CURLE_COULDNT_CONNECT;
    if (busy) result.RetryAfterSeconds = RetryAfterSeconds();
    body.clear();
    retryAfter.clear();
    return result;
}

// Readies the state for a transfer; a pending cancel stays.
void HttpClient::Impl::Reset() {
    body.clear();
    tooLarge = false;
    stalled = false;
    headersDone = false;
    retryAfter.clear();
    date.clear();
    lastByte = Clock::now();
    error[0] = '\0';
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
    // Keep one connection only: a connection the peer closed is then never kept beside it
    // for libcurl to try again and again.
    curl_multi_setopt(impl_->multi, CURLMOPT_MAXCONNECTS, 1L);
    impl_->Configure();
}

HttpClient::~HttpClient() {
    curl_easy_cleanup(impl_->easy);
    curl_slist_free_all(impl_->headers);
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
    impl.Reset();
    curl_easy_setopt(impl.easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(impl.easy, CURLOPT_HTTPGET, 1L);
    CURLcode code = impl.Perform();
    long opened = 0;
    if (curl_easy_getinfo(impl.easy, CURLINFO_NUM_CONNECTS, &opened) == CURLE_OK) impl.connections += opened;
    // A proxy or server that closes idle connections without saying so leaves a dead one for
    // the next request; libcurl 7.88 may then give up on it ("Connection died"). Send that
    // request once more on a connection of its own.
    if (!impl.cancel.load() && !impl.stalled && (opened == 0 || std::strstr(impl.error, "Connection died")) &&
        DeadConnectionCode(code, impl.error)) {
        impl.Reset();
        curl_easy_setopt(impl.easy, CURLOPT_FRESH_CONNECT, 1L);
        code = impl.Perform();
        curl_easy_setopt(impl.easy, CURLOPT_FRESH_CONNECT, 0L);
        if (curl_easy_getinfo(impl.easy, CURLINFO_NUM_CONNECTS, &opened) == CURLE_OK) impl.connections += opened;
    }
    return impl.Describe(code);
}

void HttpClient::Cancel() {
    impl_->cancel.store(true);
    curl_multi_wakeup(impl_->multi);
}

void HttpClient::SetRequestHeaders(std::vector<HttpHeader> headers) {
    curl_slist* list = nullptr;
    for (const HttpHeader& header : headers) {
        if (header.Name.empty() || HasLineBreakOrNul(header.Name) || HasLineBreakOrNul(header.Value) ||
            header.Name.find(':') != std::string::npos) {
            curl_slist_free_all(list);
            // The value may be a secret, so the message names nothing of it.
            throw Error("リクエストヘッダーに使えない文字があります");
        }
        curl_slist* grown = curl_slist_append(list, (header.Name + ": " + header.Value).c_str());
        if (!grown) {
            curl_slist_free_all(list);
            throw Error("リクエストヘッダーを設定できません");
        }
        list = grown;
    }
    curl_easy_setopt(impl_->easy, CURLOPT_HTTPHEADER, list);
    curl_slist_free_all(impl_->headers);
    impl_->headers = list;
    // A redirect could carry a secret header to another host; with headers, stay where we asked.
    curl_easy_setopt(impl_->easy, CURLOPT_FOLLOWLOCATION, list ? 0L : 1L);
}

long HttpClient::ConnectionsOpened() const {
    return impl_->connections.load();
}

std::string_view TrimTrailingSlashes(std::string_view url) {
    while (!url.empty() && url.back() == '/') url.remove_suffix(1);
    return url;
}

}  // namespace mirolanda::platform
