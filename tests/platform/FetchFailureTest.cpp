// The words a user reads for a failed fetch: real failures of the HTTP client against
// 127.0.0.1 and the statuses a server answers, each in Japanese, the library's text kept.
#include "platform/FetchFailure.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <future>

#include "support/LoopbackServer.h"

namespace mirolanda::platform {
namespace {

using mirolanda::testing::LoopbackServer;

TEST(FetchFailure, RealFailuresReadInJapaneseWithTheLibraryTextKept) {
    LoopbackServer server;
    server.Http().Get(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.status = std::stoi(req.matches[1].str());
        res.set_content("error page", "text/html");
    });
    server.Http().Get("/big", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(2000, 'x'), "text/html");
    });
    server.Start();
    LoopbackServer closed;
    closed.Start();
    const std::string refusedUrl = closed.BaseUrl() + "/page";
    closed.Stop();

    struct Case {
        std::string url;
        const char* reason;
    };
    const Case cases[] = {
        {refusedUrl, "接続できません"},
        {server.BaseUrl() + "/status/500", "サーバーエラー (HTTP 500)"},
        {server.BaseUrl() + "/status/503", "サーバーエラー (HTTP 503)"},
        {server.BaseUrl() + "/status/404", "ページが見つかりません (HTTP 404)"},
        {server.BaseUrl() + "/status/403", "アクセスが拒否されました (HTTP 403)"},
        {server.BaseUrl() + "/big", "応答が大きすぎます"},
        {"ftp://127.0.0.1/file", "アドレスが正しくありません"},
    };
    HttpClient client(HttpLimits{.MaxBodyBytes = 1000});
    for (const Case& c : cases) {
        const FetchResult result = client.Fetch(c.url);
        ASSERT_FALSE(result.Ok) << c.url;
        EXPECT_EQ(InternetErrorText(result), std::string("Internet Error(") + c.reason + ")") << c.url;
        EXPECT_FALSE(result.Description.empty()) << c.url;
        EXPECT_FALSE(WasCancelled(result)) << c.url;
    }
}

TEST(FetchFailure, TimeOutsCancellationAndUnknownFailures) {
    FetchResult stalled{false, "", "応答が途絶えました (1 秒間受信なし)", 0};
    stalled.CurlCode = 28;  // CURLE_OPERATION_TIMEDOUT
    EXPECT_EQ(FailureReason(stalled), "応答がありません");
    FetchResult cancelled{false, "", std::string(kCancelledDescription), 0};
    EXPECT_TRUE(WasCancelled(cancelled));
    EXPECT_EQ(FailureReason(cancelled), "中止しました");
    // A fetcher that says nothing more than a text still gives a readable reason.
    EXPECT_EQ(FailureReason(FetchResult{false, "", "something odd", 0}), "通信エラー");
}

}  // namespace
}  // namespace mirolanda::platform
