// The HTTP client against servers and a proxy on 127.0.0.1: bodies, keep-alive, failures,
// limits, cancellation and the three connection modes.
#include "platform/HttpClient.h"
#include "platform/Errors.h"
#include "support/LoopbackServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <condition_variable>
#include <cstdlib>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace mirolanda::platform {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using mirolanda::testing::ForwardingProxy;
using mirolanda::testing::LoopbackServer;

// A one-way latch: handlers wait on it, the test opens it.
class Gate {
public:
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        cv_.notify_all();
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool open_ = false;
};

// Clears the proxy variables for a test and puts back whatever the user had.
class ProxyEnvironment {
public:
    ProxyEnvironment() {
        for (const char* name : kNames) {
            if (const char* value = std::getenv(name)) saved_[name] = value;
            ::unsetenv(name);
        }
    }
    ~ProxyEnvironment() {
        for (const char* name : kNames) ::unsetenv(name);
        for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
    }
    void Set(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }

private:
    static constexpr const char* kNames[] = {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY",
                                             "all_proxy",  "ALL_PROXY",  "no_proxy",    "NO_PROXY"};
    std::map<std::string, std::string> saved_;
};

std::string AllByteValues(size_t repeat) {
    std::string bytes;
    for (size_t r = 0; r < repeat; ++r)
        for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    return bytes;
}

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_.Http().Get("/page", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("page body", "text/html");
        });
        server_.Start();
    }
    void TearDown() override {
        release_.Open();  // blocked handlers must return before the server can stop
        server_.Stop();
    }
    std::string Url(const std::string& path) const { return server_.BaseUrl() + path; }

    ProxyEnvironment env_;
    Gate arrived_;
    Gate release_;
    LoopbackServer server_;
};

TEST_F(HttpClientTest, ReturnsBodyBytesUntouched) {
    const std::map<std::string, std::string> bodies = {
        {"/empty", ""},
        {"/nul", std::string("a\0b\0\0c\r\n\x8e\xb1", 10)},
        {"/bytes", AllByteValues(4096)},  // 1 MiB of every byte value
    };
    for (const auto& [path, body] : bodies) {
        server_.Http().Get(path, [body = body](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, "application/octet-stream");
        });
    }
    // A body labelled as compressed must still come back as the bytes sent, not decoded.
    server_.Http().Get("/labelled-gzip", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Content-Encoding", "gzip");
        res.set_content("not really gzip", "text/html");
    });

    HttpClient client;
    for (const auto& [path, body] : bodies) {
        const FetchResult result = client.Fetch(Url(path));
        ASSERT_TRUE(result.Ok) << path << ": " << result.Description;
        EXPECT_EQ(result.Status, 200) << path;
        EXPECT_EQ(result.Body, body) << path;
    }
    const FetchResult labelled = client.Fetch(Url("/labelled-gzip"));
    ASSERT_TRUE(labelled.Ok) << labelled.Description;
    EXPECT_EQ(labelled.Body, "not really gzip");
}

TEST_F(HttpClientTest, ManySequentialRequestsShareOneConnection) {
    server_.Http().Get(R"(/q/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("block " + req.matches[1].str(), "text/html");
    });
    HttpClient client;
    for (int block = 0; block < 180; ++block) {
        const FetchResult result = client.Fetch(Url("/q/" + std::to_string(block)));
        ASSERT_TRUE(result.Ok) << block << ": " << result.Description;
        ASSERT_EQ(result.Body, "block " + std::to_string(block));
    }
    EXPECT_EQ(server_.Requests(), 180);
    EXPECT_EQ(server_.Connections(), 1);
    EXPECT_EQ(client.ConnectionsOpened(), 1);
}

TEST_F(HttpClientTest, ErrorStatusFailsOrIsKeptAsTheLimitsSay) {
    server_.Http().Get(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.status = std::stoi(req.matches[1].str());
        res.set_content("error page", "text/html");
    });
    HttpClient strict;
    for (int status : {500, 503, 404}) {
        const FetchResult result = strict.Fetch(Url("/status/" + std::to_string(status)));
        EXPECT_FALSE(result.Ok) << status;
        EXPECT_EQ(result.Status, status);
        EXPECT_EQ(result.Description, "HTTP " + std::to_string(status));
    }
    // The publisher's answers are stored whatever their status: that client keeps the body.
    HttpClient lenient(HttpLimits{.FailOnHttpError = false});
    const FetchResult kept = lenient.Fetch(Url("/status/500"));
    ASSERT_TRUE(kept.Ok) << kept.Description;
    EXPECT_EQ(kept.Status, 500);
    EXPECT_EQ(kept.Body, "error page");
}

TEST_F(HttpClientTest, BusyAnswersAreTransientWithTheirRetryAfter) {
    // Retry-After in seconds, or as a date counted from the answer's own Date.
    server_.Http().Get("/busy-seconds", [](const httplib::Request&, httplib::Response& res) {
        res.status = 503;
        res.set_header("Retry-After", "7");
    });
    server_.Http().Get("/busy-date", [](const httplib::Request&, httplib::Response& res) {
        res.status = 429;
        res.set_header("Date", "Sun, 06 Nov 1994 08:49:37 GMT");
        res.set_header("Retry-After", "Sun, 06 Nov 1994 08:50:07 GMT");
    });
    server_.Http().Get("/missing", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    struct Case {
        const char* path;
        bool transient;
        long retryAfter;
    };
    HttpClient client;
    for (const Case& c : {Case{"/busy-seconds", true, 7}, Case{"/busy-date", true, 30}, Case{"/missing", false, -1}}) {
        const FetchResult result = client.Fetch(Url(c.path));
        EXPECT_FALSE(result.Ok) << c.path;
        EXPECT_EQ(result.Transient, c.transient) << c.path;
        EXPECT_EQ(result.RetryAfterSeconds, c.retryAfter) << c.path;
        EXPECT_FALSE(result.Refused) << c.path;
    }
    // Kept as an answer by a lenient client, it still says it may be asked again.
    HttpClient lenient(HttpLimits{.FailOnHttpError = false});
    const FetchResult kept = lenient.Fetch(Url("/busy-seconds"));
    EXPECT_TRUE(kept.Ok);
    EXPECT_TRUE(kept.Transient);
}

TEST_F(HttpClientTest, RefusedConnectionReportsLibcurlText) {
    LoopbackServer closed;
    closed.Start();
    const std::string url = closed.BaseUrl() + "/page";
    closed.Stop();

    HttpClient client;
    const FetchResult result = client.Fetch(url);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Status, 0);
    EXPECT_THAT(result.Description, HasSubstr("onnect"));
    EXPECT_TRUE(result.Body.empty());
    EXPECT_TRUE(result.Refused);
    // The same client still works once a server answers.
    EXPECT_TRUE(client.Fetch(Url("/page")).Ok);
}

TEST_F(HttpClientTest, BodyPastTheLimitFails) {
    const std::string limitBody(1000, 'x');
    server_.Http().Get("/at-limit", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(limitBody, "text/html");
    });
    server_.Http().Get("/over-limit", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(limitBody + "y", "text/html");
    });
    // Without a length announced, the limit has to hold while the bytes arrive.
    server_.Http().Get("/endless", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/html", [](size_t, httplib::DataSink& sink) {
            return sink.write("0123456789abcdef", 16);
        });
    });

    HttpClient client(HttpLimits{.MaxBodyBytes = 1000});
    const FetchResult atLimit = client.Fetch(Url("/at-limit"));
    ASSERT_TRUE(atLimit.Ok) << atLimit.Description;
    EXPECT_EQ(atLimit.Body.size(), 1000u);
    for (const char* path : {"/over-limit", "/endless"}) {
        const FetchResult result = client.Fetch(Url(path));
        EXPECT_FALSE(result.Ok) << path;
        EXPECT_THAT(result.Description, HasSubstr("応答が大きすぎます")) << path;
        EXPECT_TRUE(result.Body.empty()) << path;
    }
    EXPECT_TRUE(client.Fetch(Url("/page")).Ok);
}

TEST_F(HttpClientTest, StalledServerFailsWithinTheLimits) {
    // Headers and a first piece of the body, then silence until the test ends.
    server_.Http().Get("/stall-mid-body", [this](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/html", [this](size_t offset, httplib::DataSink& sink) {
            if (offset == 0) return sink.write("partial", 7);
            release_.Wait();
            sink.done();
            return true;
        });
    });
    // No answer at all.
    server_.Http().Get("/stall-before-answer", [this](const httplib::Request&, httplib::Response& res) {
        release_.Wait();
        res.set_content("late", "text/html");
    });

    struct Case {
        const char* path;
        HttpLimits limits;
        const char* described;
    };
    const Case cases[] = {
        {"/stall-mid-body", HttpLimits{.StallTimeoutMs = 300}, "応答が途絶えました"},
        {"/stall-before-answer", HttpLimits{.StallTimeoutMs = 300}, "応答が途絶えました"},
        // A generous stall limit still ends at the total limit, in libcurl's words.
        {"/stall-mid-body", HttpLimits{.StallTimeoutMs = 600000, .TotalTimeoutMs = 300}, "timed out"},
    };
    for (const Case& c : cases) {
        HttpClient client(c.limits);
        const FetchResult result = client.Fetch(Url(c.path));
        EXPECT_FALSE(result.Ok) << c.path;
        EXPECT_THAT(result.Description, HasSubstr(c.described)) << c.path;
    }
}

TEST_F(HttpClientTest, CancelFromAnotherThreadEndsThePendingFetch) {
    server_.Http().Get("/hang", [this](const httplib::Request&, httplib::Response& res) {
        arrived_.Open();
        release_.Wait();
        res.set_content("late", "text/html");
    });
    HttpClient client(HttpLimits{.StallTimeoutMs = 600000, .TotalTimeoutMs = 600000});
    auto pending = std::async(std::launch::async, [&] { return client.Fetch(Url("/hang")); });
    arrived_.Wait();  // the request is at the server, so the fetch is under way
    client.Cancel();
    const FetchResult result = pending.get();
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Description, "中断されました");
    release_.Open();

    // A cancel that finds nothing pending does not spoil the next fetch.
    client.Cancel();
    const FetchResult next = client.Fetch(Url("/page"));
    ASSERT_TRUE(next.Ok) << next.Description;
    EXPECT_EQ(next.Body, "page body");
}

TEST_F(HttpClientTest, RedirectsStayOnTheWebAndAreBounded) {
    server_.Http().Get("/moved", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/page");
    });
    server_.Http().Get("/loop", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/loop");
    });
    server_.Http().Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("file:///etc/passwd");
    });
    HttpClient client;
    const FetchResult moved = client.Fetch(Url("/moved"));
    ASSERT_TRUE(moved.Ok) << moved.Description;
    EXPECT_EQ(moved.Body, "page body");

    EXPECT_FALSE(client.Fetch(Url("/loop")).Ok);
    const FetchResult toFile = client.Fetch(Url("/to-file"));
    EXPECT_FALSE(toFile.Ok);
    EXPECT_THAT(toFile.Body, Not(HasSubstr("root:")));
    EXPECT_FALSE(client.Fetch("file:///etc/passwd").Ok);
}

// The key header reaches the server on every request until cleared, the Retry-After of an
// error answer comes back, no text the client makes holds the key, and with a key set a
// redirect is not followed (it could carry the key to another host).
TEST_F(HttpClientTest, RequestHeadersAreSentAndTheirValuesNeverShown) {
    const std::string key = "secret-key-0123456789";
    std::vector<std::string> seen;
    std::mutex seenMutex;
    server_.Http().Get("/keyed", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(seenMutex);
        seen.push_back(req.has_header("x-api-key") ? req.get_header_value("x-api-key") : "<none>");
        res.set_content("{}", "application/json");
    });
    server_.Http().Get("/limited", [](const httplib::Request&, httplib::Response& res) {
        res.status = 429;
        res.set_header("Retry-After", "120");
        res.set_content("{\"message\":\"Too Many Requests\"}", "application/json");
    });
    server_.Http().Get("/moved-away", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/keyed");
    });
    HttpClient client;
    client.SetRequestHeaders({{"x-api-key", key}});
    EXPECT_TRUE(client.Fetch(Url("/keyed")).Ok);
    EXPECT_TRUE(client.Fetch(Url("/keyed")).Ok);

    const FetchResult limited = client.Fetch(Url("/limited"));
    EXPECT_FALSE(limited.Ok);
    EXPECT_EQ(limited.Status, 429);
    EXPECT_EQ(limited.RetryAfterSeconds, 120);
    EXPECT_EQ(client.Fetch(Url("/keyed")).RetryAfterSeconds, -1);  // not carried over to the next answer

    const FetchResult moved = client.Fetch(Url("/moved-away"));
    EXPECT_EQ(moved.Status, 302);
    LoopbackServer closed;
    const int closedPort = closed.Start();
    closed.Stop();
    const FetchResult refused = client.Fetch("http://127.0.0.1:" + std::to_string(closedPort) + "/x");
    for (const FetchResult& result : {limited, moved, refused}) {
        EXPECT_THAT(result.Description, Not(HasSubstr(key)));
        EXPECT_THAT(result.Body, Not(HasSubstr(key)));
    }
    try {
        client.SetRequestHeaders({{"x-api-key", key + "\r\nInjected: 1"}});
        ADD_FAILURE() << "a line break in a header value was accepted";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), Not(HasSubstr(key)));
    }

    client.SetRequestHeaders({});
    EXPECT_TRUE(client.Fetch(Url("/keyed")).Ok);
    std::lock_guard lock(seenMutex);
    EXPECT_EQ(seen, (std::vector<std::string>{key, key, key, "<none>"}));
}

class HttpAccessTest : public HttpClientTest {
protected:
    void SetUp() override {
        HttpClientTest::SetUp();
        proxy_.Start();
    }
    void TearDown() override {
        HttpClientTest::TearDown();
        proxy_.Server().Stop();
    }
    // Fetches the page and says whether it went through the proxy.
    bool ThroughProxy(HttpClient& client) {
        const long before = proxy_.Forwarded();
        const FetchResult result = client.Fetch(Url("/page"));
        EXPECT_TRUE(result.Ok) << result.Description;
        EXPECT_EQ(result.Body, "page body");
        return proxy_.Forwarded() == before + 1;
    }

    ForwardingProxy proxy_;
};

TEST_F(HttpAccessTest, NamedProxyCarriesRequestsWhateverNoProxySays) {
    HttpClient client;
    client.SetAccess(2, proxy_.Address());
    EXPECT_TRUE(ThroughProxy(client));
    env_.Set("no_proxy", "*");
    EXPECT_TRUE(ThroughProxy(client));
}

TEST_F(HttpAccessTest, DefaultModeFollowsTheEnvironmentAndDirectIgnoresIt) {
    env_.Set("http_proxy", "http://" + proxy_.Address());
    HttpClient client;
    EXPECT_TRUE(ThroughProxy(client));  // a new client starts in the default mode
    client.SetAccess(1, "");
    EXPECT_FALSE(ThroughProxy(client));
    client.SetAccess(0, "");
    EXPECT_TRUE(ThroughProxy(client));
}

TEST_F(HttpAccessTest, UnknownModeKeepsThePreviousAccess) {
    HttpClient client;
    client.SetAccess(2, proxy_.Address());
    client.SetAccess(3, "");
    EXPECT_TRUE(ThroughProxy(client));
    client.SetAccess(-1, "127.0.0.1:1");
    EXPECT_TRUE(ThroughProxy(client));

    env_.Set("http_proxy", "http://" + proxy_.Address());
    client.SetAccess(1, "");
    client.SetAccess(99, proxy_.Address());
    EXPECT_FALSE(ThroughProxy(client));
}

TEST_F(HttpAccessTest, UnreachableProxyIsAFailure) {
    LoopbackServer closed;
    closed.Start();
    const int deadPort = closed.Port();
    closed.Stop();
    HttpClient client;
    client.SetAccess(2, "127.0.0.1:" + std::to_string(deadPort));
    const FetchResult result = client.Fetch(Url("/page"));
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Description.empty());
    EXPECT_EQ(server_.Requests(), 0);
}

TEST(TrimTrailingSlashes, LeavesOneJoinPointForAPath) {
    EXPECT_EQ(TrimTrailingSlashes("http://127.0.0.1:8080//"), "http://127.0.0.1:8080");
    EXPECT_EQ(TrimTrailingSlashes("http://h/base/"), "http://h/base");
    EXPECT_EQ(TrimTrailingSlashes("http://h/base"), "http://h/base");
    EXPECT_EQ(TrimTrailingSlashes("///"), "");
}

}  // namespace
}  // namespace mirolanda::platform
