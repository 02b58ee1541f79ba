// The retry policy over a scripted fetcher (no network, no real waiting): which failures are
// asked again, how often, after which waits, Retry-After, the cut-page check, and a cancel
// that ends a real wait at once.
#include "platform/Retry.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <future>

namespace mirolanda::platform {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

FetchResult Good() { return {true, "body", "", 200}; }
FetchResult Status(long status, long retryAfter = -1) {
    FetchResult r{false, "", "HTTP " + std::to_string(status), status};
    r.Transient = status >= 500 || status == 429;
    r.RetryAfterSeconds = retryAfter;
    return r;
}
FetchResult TimedOut() {
    FetchResult r{false, "", "Operation timed out", 0};
    r.Transient = true;
    return r;
}
FetchResult Refused() {
    FetchResult r{false, "", "Couldn't connect to server", 0};
    r.Transient = r.Refused = true;
    return r;
}
FetchResult Cancelled() { return {false, "", std::string(kCancelledDescription), 0}; }

// Answers from a script, one per request; past its end every answer is good.
class ScriptedFetcher : public Fetcher {
public:
    std::deque<FetchResult> script;
    int calls = 0;
    FetchResult Fetch(const std::string&) override {
        ++calls;
        if (script.empty()) return Good();
        FetchResult r = script.front();
        script.pop_front();
        return r;
    }
};

struct Driven {
    std::vector<Milliseconds> waits;
    FetchResult last;
    int calls = 0;
};

Driven Drive(std::vector<FetchResult> script, int requests = 1, BodyCheck check = {},
             Milliseconds tooManyFirstWait = Milliseconds{0}) {
    ScriptedFetcher inner;
    inner.script.assign(script.begin(), script.end());
    Driven run;
    RetryOptions options;
    options.TooManyFirstWait = tooManyFirstWait;
    options.Wait = [&run](Milliseconds wait) {
        run.waits.push_back(wait);
        return true;
    };
    RetryingFetcher fetcher(inner, options);
    for (int i = 0; i < requests; ++i) run.last = fetcher.FetchChecked("http://site/q", check);
    run.calls = inner.calls;
    EXPECT_EQ(fetcher.Requests(), requests);
    EXPECT_EQ(fetcher.Retries(), static_cast<long>(run.waits.size()));
    return run;
}

TEST(RetryingFetcher, TransientFailuresAreAskedAgainBoundedlyOthersNot) {
    const Milliseconds s1 = seconds(1), s4 = seconds(4), s16 = seconds(16);
    struct Case {
        const char* name;
        std::vector<FetchResult> script;
        int requests;
        bool ok;
        std::vector<Milliseconds> waits;
        Milliseconds tooManyFirstWait{0};  // a rate-limited API's least wait after a 429
    };
    const Case cases[] = {
        {"timeout then good", {TimedOut()}, 1, true, {s1}},
        {"5xx three times then good", {Status(500), Status(502), Status(503)}, 1, true, {s1, s4, s16}},
        {"5xx four times gives up", {Status(503), Status(503), Status(503), Status(503)}, 1, false, {s1, s4, s16}},
        {"429 then good", {Status(429)}, 1, true, {s1}},
        {"404 is final", {Status(404)}, 1, false, {}},
        {"refused on the first request is final", {Refused()}, 1, false, {}},
        {"refused after an answer is a restart", {Good(), Refused()}, 2, true, {s1}},
        {"cancel is final", {Cancelled()}, 1, false, {}},
        {"Retry-After longer than the wait is honoured", {Status(503, 30)}, 1, true, {seconds(30)}},
        {"Retry-After past the cap waits the cap", {Status(429, 86400)}, 1, true, {minutes(5)}},
        {"Retry-After shorter than the wait keeps the wait", {Status(503, 0)}, 1, true, {s1}},
        {"an API's 429 waits its minute, doubled", {Status(429), Status(429)}, 1, true, {minutes(1), minutes(2)}, minutes(1)},
        {"an API's 429 with Retry-After waits that", {Status(429, 5)}, 1, true, {seconds(5)}, minutes(1)},
        {"an API's 5xx keeps the usual waits", {Status(503)}, 1, true, {s1}, minutes(1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Driven run = Drive(c.script, c.requests, {}, c.tooManyFirstWait);
        EXPECT_EQ(run.last.Ok, c.ok);
        EXPECT_EQ(run.waits, c.waits);
        EXPECT_EQ(run.calls, c.requests + static_cast<int>(c.waits.size()));
    }
}

TEST(RetryingFetcher, ABodyTheCheckRefusesIsATransientFailure) {
    int checks = 0;
    const BodyCheck cutOnce = [&checks](std::string_view) { return ++checks == 1 ? std::string("切れています") : std::string(); };
    Driven run = Drive({}, 1, cutOnce);
    EXPECT_TRUE(run.last.Ok);
    EXPECT_EQ(run.calls, 2);

    const BodyCheck alwaysCut = [](std::string_view) { return std::string("切れています"); };
    run = Drive({}, 1, alwaysCut);
    EXPECT_FALSE(run.last.Ok);
    EXPECT_EQ(run.last.Description, "切れています");
    EXPECT_TRUE(run.last.Body.empty());
    EXPECT_EQ(run.calls, 4);
}

TEST(RetryingFetcher, CancelEndsARealWaitAtOnce) {
    ScriptedFetcher inner;
    inner.script = {Status(503)};
    std::promise<void> waiting;
    RetryOptions options;
    options.Waits = {minutes(10)};
    options.Retrying = [&waiting](int, Milliseconds, const FetchResult&) { waiting.set_value(); };
    RetryingFetcher fetcher(inner, options);
    auto pending = std::async(std::launch::async, [&] { return fetcher.Fetch("http://site/q"); });
    waiting.get_future().wait();
    fetcher.Cancel();
    ASSERT_EQ(pending.wait_for(seconds(30)), std::future_status::ready);  // far below the ten minutes
    const FetchResult result = pending.get();
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Description, kCancelledDescription);
    EXPECT_EQ(inner.calls, 1);
    // The next request is not spoilt by the cancel.
    EXPECT_TRUE(fetcher.Fetch("http://site/q").Ok);
}

TEST(RetryAfter, SecondsOrAnHttpDate) {
    const long long now = *ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(now, 784111777);
    EXPECT_EQ(ParseRetryAfter("120", now), 120);
    EXPECT_EQ(ParseRetryAfter(" 5 \r\n", now), 5);
    EXPECT_EQ(ParseRetryAfter("Sun, 06 Nov 1994 08:50:07 GMT", now), 30);
    EXPECT_EQ(ParseRetryAfter("Sat, 05 Nov 1994 08:49:37 GMT", now), 0);  // already past
    for (const char* bad : {"", "soon", "-5", "1.5", "Sun, 31 Feb 1994 08:49:37 GMT", "Sun, 06 Nov 1994 08:49:37"}) {
        EXPECT_FALSE(ParseRetryAfter(bad, now)) << bad;
    }
}

}  // namespace
}  // namespace mirolanda::platform
