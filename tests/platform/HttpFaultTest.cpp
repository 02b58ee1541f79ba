// The HTTP client against the market simulator's faults and through tinyproxy: what each
// fault comes back as (transient or final, in which words), and connections that the peer or
// a proxy closes, said or unsaid, never costing a request.
#include "platform/HttpClient.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "support/TinyProxy.h"
#include "tools/SimServer.h"

namespace mirolanda::platform {
namespace {

using ::testing::HasSubstr;

tools::SimOptions Market() {
    tools::SimOptions options;
    options.Market = tools::MarketOptions{200, 7};
    options.Day = Date{2026, 12, 4};
    options.DripMs = 50;  // 20 bytes a second
    return options;
}

std::string Page(const tools::SimServer& sim, int block) {
    const int first = 1000 + 50 * block;
    return "http://127.0.0.1:" + std::to_string(sim.Port()) + "/q?s=" + std::to_string(first) + "+" +
           std::to_string(first + 1) + "&d=v2";
}

TEST(HttpFaults, EachFaultComesBackInItsOwnWordsTransientOrNot) {
    struct Case {
        const char* fault;
        const char* described;
        bool transient;
    };
    const Case cases[] = {
        {"http500", "HTTP 500", true},
        {"reset", "", true},
        {"drip", "応答が遅すぎます", true},
        {"huge", "応答が大きすぎます", false},
        {"longheader", "応答ヘッダーが長すぎます", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        tools::SimOptions options = Market();
        options.Faults = tools::FaultPlan::Parse(std::string(c.fault) + "@1");
        tools::SimServer sim(options);
        sim.Start();
        HttpClient client(HttpLimits{.StallTimeoutMs = 5000, .LowSpeedSeconds = 1});
        const FetchResult result = client.Fetch(Page(sim, 0));
        EXPECT_FALSE(result.Ok);
        EXPECT_THAT(result.Description, HasSubstr(c.described));
        EXPECT_EQ(result.Transient, c.transient) << result.Description;
        // The client goes on working after the fault.
        EXPECT_TRUE(client.Fetch(Page(sim, 1)).Ok);
    }
}

TEST(HttpFaults, ConnectionsClosedAfterEachAnswerNeverCostARequest) {
    // "close" says so in its answer; "drop" keeps the connection alive in words and then closes it.
    for (const char* fault : {"close@1-", "drop@1-"}) {
        SCOPED_TRACE(fault);
        tools::SimOptions options = Market();
        options.Faults = tools::FaultPlan::Parse(fault);
        tools::SimServer sim(options);
        sim.Start();
        HttpClient client;
        for (int block = 0; block < 60; ++block) {
            const FetchResult result = client.Fetch(Page(sim, block % 4));
            ASSERT_TRUE(result.Ok) << block << ": " << result.Description;
        }
    }
}

TEST(HttpFaults, ThroughTinyproxyEveryRequestGoesThroughOnOneClient) {
    if (!mirolanda::testing::TinyProxy::Available()) GTEST_SKIP() << "tinyproxy is not installed (scripts/setup-debian.sh)";
    mirolanda::testing::TempFolder scratch;
    mirolanda::testing::TinyProxy proxy(scratch.Path());
    tools::SimServer sim(Market());
    sim.Start();
    HttpClient client;
    client.SetAccess(2, proxy.Address());
    for (int block = 0; block < 180; ++block) {
        const FetchResult result = client.Fetch(Page(sim, block % 4));
        ASSERT_TRUE(result.Ok) << block << ": " << result.Description;
    }
    EXPECT_EQ(sim.Stats().Requests, 180);
}

}  // namespace
}  // namespace mirolanda::platform
