// The paced fetcher with a recording clock (no sleeping): the requests-per-minute window, 429
// answers waited out with Retry-After or a growing default and a bounded count, and Cancel()
// ending a wait at once.
#include "platform/PacedFetcher.h"
#include "support/RecordingPaceClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace mirolanda::platform {
namespace {

using RecordingClock = mirolanda::testing::RecordingPaceClock;

// Answers from a script of statuses (200 once the script runs out) and records when each came.
class ScriptedFetcher final : public Fetcher {
public:
    explicit ScriptedFetcher(RecordingClock& clock) : clock_(clock) {}
    std::vector<std::pair<long, std::string>> script;  // status, Retry-After
    std::vector<int64_t> at;
    int cancels = 0;

    FetchResult Fetch(const std::string&) override {
        at.push_back(clock_.now);
        size_t n = at.size() - 1;
        if (n < script.size() && script[n].first != 200) {
            return {false, {}, "HTTP " + std::to_string(script[n].first), script[n].first, script[n].second};
        }
        return {true, "ok", {}, 200, {}};
    }
    void Cancel() override { ++cancels; }

private:
    RecordingClock& clock_;
};

struct Paced {
    RecordingClock* clock;
    ScriptedFetcher* site;
    std::unique_ptr<PacedFetcher> fetcher;

    explicit Paced(PaceOptions options) {
        auto ownedClock = std::make_unique<RecordingClock>();
        clock = ownedClock.get();
        auto ownedSite = std::make_unique<ScriptedFetcher>(*clock);
        site = ownedSite.get();
        fetcher = std::make_unique<PacedFetcher>(std::move(ownedSite), options, std::move(ownedClock));
    }
};

TEST(PacedFetcher, KeepsAtMostTheGivenRequestsInAnySixtySeconds) {
    Paced p({5});
    std::vector<std::pair<int64_t, WaitReason>> told;
    p.fetcher->OnWait = [&](int64_t ms, WaitReason reason) { told.emplace_back(ms, reason); };
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(p.fetcher->Fetch("u").Ok);
        p.clock->now += 1000;  // each answer takes a second
    }
    EXPECT_EQ(p.site->at, (std::vector<int64_t>{0, 1000, 2000, 3000, 4000, 60000, 61000, 62000, 63000, 64000,
                                                120000, 121000}));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0], std::make_pair(int64_t{55000}, WaitReason::Pace));

    // No pace: nothing ever waits.
    Paced free({0});
    for (int i = 0; i < 100; ++i) free.fetcher->Fetch("u");
    EXPECT_TRUE(free.clock->waits.empty());
}

TEST(PacedFetcher, TooManyRequestsIsWaitedOutWithRetryAfterOrAGrowingMinute) {
    struct Case {
        const char* name;
        std::vector<std::pair<long, std::string>> script;
        std::vector<int64_t> waits;
        long finalStatus;
    };
    const std::vector<Case> cases = {
        {"retry-after", {{429, "7"}}, {7000}, 200},
        {"retry-after zero still waits a second", {{429, "0"}}, {1000}, 200},
        {"http date is taken as absent", {{429, "Wed, 21 Oct 2026 07:28:00 GMT"}}, {60000}, 200},
        {"growing default", {{429, ""}, {429, ""}, {429, ""}}, {60000, 120000, 240000}, 200},
        {"held to the longest wait", {{429, "99999"}}, {600000}, 200},
        {"gives up after four waits", {{429, ""}, {429, ""}, {429, ""}, {429, ""}, {429, ""}},
         {60000, 120000, 240000, 480000}, 429},
        {"other errors are not retried", {{503, ""}}, {}, 503},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Paced p({0});
        p.site->script = c.script;
        FetchResult answer = p.fetcher->Fetch("u");
        EXPECT_EQ(answer.Status, c.finalStatus);
        EXPECT_EQ(p.clock->waits, c.waits);
        EXPECT_EQ(p.site->at.size(), c.waits.size() + 1);
    }
}

TEST(PacedFetcher, CancelEndsAWaitAtOnceAndTheNextFetchRunsNormally) {
    Paced p({1});
    p.fetcher->Fetch("u");
    p.clock->duringWait = [&] { p.fetcher->Cancel(); };
    FetchResult cancelled = p.fetcher->Fetch("u");
    EXPECT_FALSE(cancelled.Ok);
    EXPECT_EQ(cancelled.Description, "中断されました");
    EXPECT_EQ(p.site->at.size(), 1u);  // the waiting request never went out
    EXPECT_EQ(p.site->cancels, 1);

    p.clock->duringWait = nullptr;
    EXPECT_TRUE(p.fetcher->Fetch("u").Ok);
    EXPECT_EQ(p.site->at.size(), 2u);
}

TEST(RetryAfterMs, ReadsDeltaSecondsOnly) {
    const std::map<std::string, std::optional<int64_t>> cases = {
        {"120", 120000}, {"0", 0}, {"", std::nullopt}, {"-5", std::nullopt}, {"1.5", std::nullopt},
        {"9999999999", std::nullopt}, {"Wed, 21 Oct 2026 07:28:00 GMT", std::nullopt}};
    for (const auto& [text, ms] : cases) EXPECT_EQ(RetryAfterMs(text), ms) << text;
}

}  // namespace
}  // namespace mirolanda::platform
