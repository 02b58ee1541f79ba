// The paced fetcher with a recording clock (no sleeping): the requests-per-minute window, and
// Cancel() ending a wait at once.
#include "platform/PacedFetcher.h"
#include "support/RecordingPaceClock.h"

#include <gtest/gtest.h>

#include <functional>

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
            return {false, {}, "HTTP " + std::to_string(script[n].first), script[n].first};
        }
        return {true, "ok", {}, 200};
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
    std::vector<int64_t> told;
    p.fetcher->OnWait = [&](int64_t ms) { told.push_back(ms); };
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(p.fetcher->Fetch("u").Ok);
        p.clock->now += 1000;  // each answer takes a second
    }
    EXPECT_EQ(p.site->at, (std::vector<int64_t>{0, 1000, 2000, 3000, 4000, 60000, 61000, 62000, 63000, 64000,
                                                120000, 121000}));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0], 55000);

    // No pace: nothing ever waits.
    Paced free({0});
    for (int i = 0; i < 100; ++i) free.fetcher->Fetch("u");
    EXPECT_TRUE(free.clock->waits.empty());
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

}  // namespace
}  // namespace mirolanda::platform
