// mirolanda-sim as a program: its options, its first line and how it ends.
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include "tools/SimQuotePage.h"

namespace mirolanda::testing {
namespace {

TEST(SimProcess, OptionsShapeTheMarketAndTermStopsItCleanly) {
    SimProcess sim({"--issues", "120", "--seed", "7", "--date", "20240603", "--latency-ms", "1"});
    EXPECT_EQ(sim.BaseUrl(), "http://127.0.0.1:" + std::to_string(sim.Port()));
    tools::Market market({120, 7});
    std::vector<std::string> codes;
    for (const auto& issue : market.Issues()) codes.push_back(std::to_string(issue.Code));
    codes.resize(60);
    std::string joined;
    for (const auto& c : codes) {
        if (!joined.empty()) joined += '+';
        joined += c;
    }
    auto reply = RawGet(sim.Port(), "/q?s=" + joined + "&d=v2");
    ASSERT_EQ(reply.Status, 200);
    EXPECT_EQ(reply.Body, tools::QuotePageEucJp(market, platform::Date{2024, 6, 3}, codes));
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(RawGet(sim.Port(), "/stats").Connected);
}

TEST(SimProcess, FaultOptionsCountRequestsFromOne) {
    SimProcess sim({"--fault", "http500", "--fault-at", "2,4-", "--fault", "garbage@3"});
    std::vector<int> statuses;
    for (int i = 0; i < 5; ++i) statuses.push_back(RawGet(sim.Port(), "/q?s=1301&d=v2").Status);
    EXPECT_EQ(statuses, (std::vector<int>{200, 500, 200, 500, 500}));
    EXPECT_NE(RawGet(sim.Port(), "/stats").Body.find("\"requests\":5,"), std::string::npos);
}

TEST(SimProcess, EndsByItselfAfterMaxSeconds) {
    SimProcess sim({"--max-seconds", "1"});
    int status = 0;
    ASSERT_EQ(::waitpid(sim.Pid(), &status, 0), sim.Pid());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SimProcess, BadOptionsAreRefused) {
    for (std::vector<std::string> args : {std::vector<std::string>{"--fault", "boom", "--fault-at", "1"},
                                          {"--fault", "cut"}, {"--date", "2024-06-03"}, {"--issues", "many"},
                                          {"--colour", "red"}}) {
        EXPECT_THROW(SimProcess{args}, std::runtime_error) << args[0] << " " << args[1];
    }
}

}  // namespace
}  // namespace mirolanda::testing
