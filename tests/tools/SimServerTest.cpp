// The simulator served in the test's own process, seen by the program's HTTP client and by a
// raw socket that shows exactly what each fault does to a connection.
#include "tools/SimServer.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "platform/HttpClient.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"
#include "quotesite/QuotePage.h"
#include "support/SimProcess.h"
#include "tools/Encoding.h"
#include "tools/GifImage.h"
#include "tools/SimPublisher.h"
#include "tools/SimQuotePage.h"

namespace mirolanda::tools {
namespace {

using testing::RawGet;

const platform::Date kDay{2026, 12, 7};

SimOptions Options(int issues = 3600) {
    SimOptions o;
    o.Market = {issues, 9};
    o.Day = kDay;
    o.StallSeconds = 30;
    return o;
}

std::string Codes(int first, int count) {
    std::string joined;
    for (int c = first; c < first + count; ++c) {
        if (!joined.empty()) joined += '+';
        joined += std::to_string(c);
    }
    return joined;
}

std::vector<std::string> CodeList(int first, int count) { return SplitCodes(Codes(first, count)); }

std::string QuoteTarget(int first, int count) { return "/q?s=" + Codes(first, count) + "&d=v2"; }

int ParsedRows(const std::string& eucPage) {
    platform::Table grid(quotesite::kResultColumns);
    quotesite::LineReader reader(platform::SplitLines(EucJpToUtf8(eucPage)));
    quotesite::ParseQuoteLines(grid, reader);
    return grid.RowCount();
}

class SimServerTest : public ::testing::Test {
protected:
    void SetUp() override { port = server.Start(0); }
    std::string Url(const std::string& target) const { return "http://127.0.0.1:" + std::to_string(port) + target; }
    void Control(const std::string& query) { ASSERT_EQ(RawGet(port, "/control?" + query).Status, 200) << query; }

    SimServer server{Options()};
    int port = 0;
};

TEST_F(SimServerTest, ServesTheLibrarysPagesOnOneKeptConnection) {
    platform::HttpClient client;
    for (int first = 1000; first < 1500; first += 50) {
        auto result = client.Fetch(Url(QuoteTarget(first, 50)));
        ASSERT_TRUE(result.Ok) << result.Description;
        EXPECT_EQ(result.Body, QuotePageEucJp(server.GetMarket(), kDay, CodeList(first, 50))) << first;
    }
    ASSERT_EQ(RawGet(port, "/stats").Status, 200);  // not counted
    SimStats stats = server.Stats();
    EXPECT_EQ(stats.Requests, 10);
    EXPECT_EQ(stats.Quotes, 10);
    EXPECT_EQ(stats.Connections, 1);
    EXPECT_EQ(client.ConnectionsOpened(), 1);
    EXPECT_NE(RawGet(port, "/stats").Body.find("\"requests\":10,\"connections\":1,"), std::string::npos);

    auto head = RawGet(port, QuoteTarget(1000, 5));
    EXPECT_NE(head.Bytes.find("Content-Type: text/html; charset=EUC-JP"), std::string::npos);
}

TEST_F(SimServerTest, RefusesMalformedOrOversizedQuoteRequests) {
    EXPECT_EQ(RawGet(port, QuoteTarget(1000, 200)).Status, 200);
    EXPECT_EQ(RawGet(port, QuoteTarget(1000, 201)).Status, 400);
    EXPECT_EQ(RawGet(port, "/q?s=1301").Status, 400);
    EXPECT_EQ(RawGet(port, "/q?s=1301&d=v1").Status, 400);
    EXPECT_EQ(RawGet(port, "/nothing").Status, 404);
    auto odd = RawGet(port, "/q?s=%3Cb%3E+1301x+-1&d=v2");
    EXPECT_EQ(odd.Status, 200);
    EXPECT_EQ(ParsedRows(odd.Body), 0);
}

TEST_F(SimServerTest, ChartImagesExistOnlyForListedLinkCodes) {
    const Issue& issue = server.GetMarket().Issues()[3];
    std::string first(1, issue.Link[0]);
    auto gif = RawGet(port, "/chart/1d/" + first + "/" + issue.Link + ".gif");
    EXPECT_EQ(gif.Status, 200);
    EXPECT_EQ(gif.Body, IntradayChartGif(server.GetMarket(), issue, kDay));

    std::string otherSuffix = issue.Link.substr(0, 5) + (issue.Link[5] == 'x' ? "y" : "x");
    for (const std::string& target : std::vector<std::string>{"/chart/1d/9/" + issue.Link + ".gif", "/chart/1d/" + first + "/" + otherSuffix + ".gif",
                               "/chart/1d/1/..%2F..%2Fpasswd.gif", "/chart/1d/1/1000.gif", "/chart/1d/./..gif"}) {
        EXPECT_EQ(RawGet(port, target).Status, 404) << target;
    }
}

TEST_F(SimServerTest, PublisherAnswersListsAndScrambledImages) {
    std::string base = "/cgi-bin/Mirolanda.cgi?USER=abc&SIGN=Sign&REQ=";
    auto list = RawGet(port, base + "List&MODE=Short");
    ASSERT_EQ(list.Status, 200);
    auto charts = PublisherCharts("Short", kDay, 9);
    EXPECT_EQ(list.Body, ListAnswer(charts));

    int images = 0;
    for (const auto& c : charts) {
        std::string date = platform::FormatYmd(c.Day);
        auto reply = RawGet(port, base + "Image&MODE=Short&DATE=" + date + "&NUM=1");
        if (c.Flag == 0) {
            EXPECT_EQ(reply.Status, 404);
            continue;
        }
        ASSERT_EQ(reply.Status, 200);
        Scramble(reply.Body);
        EXPECT_EQ(reply.Body, *ChartJpeg("Short", kDay, 9, date, 1));
        ++images;
    }
    EXPECT_GT(images, 0);
    EXPECT_EQ(RawGet(port, base + "List&MODE=Medium").Status, 400);
    EXPECT_EQ(RawGet(port, base + "Image&MODE=Long&DATE=2026120&NUM=1").Status, 400);
    EXPECT_EQ(RawGet(port, base + "Image&MODE=Long&DATE=20261207&NUM=x").Status, 400);
    EXPECT_EQ(RawGet(port, base + "Delete&MODE=Long").Status, 400);
    EXPECT_EQ(server.Stats().Publisher, 1 + static_cast<long>(charts.size()) + 4);
}

TEST_F(SimServerTest, EachFaultDoesWhatItSaysToTheConnection) {
    Control("reset=1&stall-seconds=2&faults=refuse@1;reset@2;stall@3;http500@4;garbage@5;cut@6;fewer@7");
    std::string target = QuoteTarget(3000, 50);
    std::string page = QuotePageEucJp(server.GetMarket(), kDay, CodeList(3000, 50));
    int listed = ParsedRows(page);
    ASSERT_GE(listed, 4);

    auto refused = RawGet(port, target);
    EXPECT_TRUE(refused.Connected);
    EXPECT_TRUE(refused.Bytes.empty());
    EXPECT_FALSE(refused.TimedOut);

    auto reset = RawGet(port, target);
    EXPECT_FALSE(reset.TimedOut);
    EXPECT_LT(reset.Body.size(), page.size());
    if (!reset.Reset) {
        EXPECT_EQ(reset.Status, 200);  // the head came before the reset
    }

    auto stalled = RawGet(port, target, 300);
    EXPECT_TRUE(stalled.TimedOut);
    EXPECT_EQ(stalled.Status, 200);
    EXPECT_TRUE(stalled.Body.empty());

    EXPECT_EQ(RawGet(port, target).Status, 500);

    auto garbage = RawGet(port, target);
    EXPECT_EQ(garbage.Status, 200);
    EXPECT_EQ(garbage.Body.size(), 4096u);
    EXPECT_EQ(garbage.Body.find("<tr align=right>"), std::string::npos);

    auto cut = RawGet(port, target);
    EXPECT_EQ(cut.Status, 200);
    EXPECT_EQ(page.rfind(cut.Body, 0), 0u);
    EXPECT_LT(cut.Body.size(), page.size());
    EXPECT_LT(ParsedRows(cut.Body), listed);

    auto fewer = RawGet(port, target);
    EXPECT_EQ(ParsedRows(fewer.Body), listed / 2);

    EXPECT_EQ(RawGet(port, target).Body, page);  // request 8: no fault
    EXPECT_EQ(server.Stats().Faults, 7);
}

TEST_F(SimServerTest, FaultsReachChartImagesAndPublisherAnswersToo) {
    const Issue& issue = server.GetMarket().Issues()[0];
    std::string chart = "/chart/1d/" + issue.Link.substr(0, 1) + "/" + issue.Link + ".gif";
    std::string gif = IntradayChartGif(server.GetMarket(), issue, kDay);
    std::string list = "/cgi-bin/Mirolanda.cgi?USER=&SIGN=&REQ=List&MODE=Long";
    Control("reset=1&faults=cut@1;fewer@2;refuse@3;http500@4");

    auto cut = RawGet(port, chart);
    EXPECT_EQ(cut.Status, 200);
    EXPECT_EQ(cut.Body, gif.substr(0, gif.size() / 2));
    EXPECT_EQ(RawGet(port, chart).Body, gif);  // "fewer" has nothing to thin in an image
    EXPECT_TRUE(RawGet(port, list).Bytes.empty());
    EXPECT_EQ(RawGet(port, list).Status, 500);
    EXPECT_EQ(RawGet(port, list).Body, ListAnswer(PublisherCharts("Long", kDay, 9)));
    SimStats stats = server.Stats();
    EXPECT_EQ(stats.Charts, 2);
    EXPECT_EQ(stats.Publisher, 3);
    EXPECT_EQ(stats.Faults, 4);
}

TEST_F(SimServerTest, TheProgramsClientFailsOnTransportFaultsOnly) {
    Control("reset=1&stall-seconds=5&faults=refuse@1;reset@2;stall@3;http500@4;garbage@5;cut@6;fewer@7");
    platform::HttpLimits limits;
    limits.StallTimeoutMs = 300;
    platform::HttpClient client(limits);
    std::string url = Url(QuoteTarget(5000, 50));
    std::vector<bool> ok;
    for (int i = 1; i <= 8; ++i) {
        auto result = client.Fetch(url);
        ok.push_back(result.Ok);
        if (i == 4) {
            EXPECT_EQ(result.Description, "HTTP 500");
        }
    }
    EXPECT_EQ(ok, (std::vector<bool>{false, false, false, false, true, true, true, true}));
}

TEST_F(SimServerTest, ControlChangesDateAndFaultsWhileRunning) {
    std::string target = QuoteTarget(6000, 50);
    std::string before = RawGet(port, target).Body;
    Control("date=20261208");
    std::string after = RawGet(port, target).Body;
    EXPECT_NE(before, after);
    EXPECT_EQ(after, QuotePageEucJp(server.GetMarket(), platform::Date{2026, 12, 8}, CodeList(6000, 50)));

    Control("reset=1&faults=http500@2");
    EXPECT_EQ(server.Stats().Requests, 0);
    EXPECT_EQ(RawGet(port, target).Status, 200);
    EXPECT_EQ(RawGet(port, target).Status, 500);
    EXPECT_EQ(RawGet(port, target).Status, 200);

    for (const char* bad : {"date=20261332", "faults=boom@1", "faults=cut@0", "latency-ms=-5"}) {
        EXPECT_EQ(RawGet(port, std::string("/control?") + bad).Status, 400) << bad;
    }
    EXPECT_EQ(RawGet(port, target).Status, 200);  // the plan stayed as it was
}

TEST_F(SimServerTest, StopEndsAStalledAnswer) {
    Control("reset=1&stall-seconds=600&faults=stall@1");
    auto pending = std::async(std::launch::async, [this] { return RawGet(port, QuoteTarget(1000, 10), 120000); });
    while (server.Stats().Faults == 0) std::this_thread::yield();
    server.Stop();
    auto reply = pending.get();
    EXPECT_FALSE(reply.TimedOut);
    EXPECT_EQ(reply.Status, 200);
    EXPECT_TRUE(reply.Body.empty());
}

}  // namespace
}  // namespace mirolanda::tools

namespace mirolanda::tools {
namespace {

// The J-Quants API's rules as the simulator keeps them: the key (401 without, 403 wrong), pages
// that add up to every row, a forged pagination key refused, the per-minute limit with its
// Retry-After, and the calendar's divisions.
TEST(SimJQuants, KeyPagesLimitAndCalendar) {
    SimOptions options = Options(200);
    options.JQuants.PageSize = 70;
    const size_t rows = ApiIssues(Market(options.Market)).size();  // 200 numeric, 30 with letters, second classes
    const int expectedPages = static_cast<int>((rows + 69) / 70);
    options.JQuants.PerMinute = expectedPages + 3;
    options.JQuants.RetryAfterSeconds = 30;
    SimServer server(options);
    const std::string base = "http://127.0.0.1:" + std::to_string(server.Start(0)) + "/v2";
    platform::HttpLimits limits;
    limits.FailOnHttpError = false;
    platform::HttpClient client(limits);

    EXPECT_EQ(client.Fetch(base + "/equities/master").Status, 401);
    client.SetRequestHeaders({{"x-api-key", "not-the-key"}});
    EXPECT_EQ(client.Fetch(base + "/equities/master").Status, 403);
    client.SetRequestHeaders({{"x-api-key", options.JQuants.Key}});

    std::string joined, key;
    int pages = 0;
    do {
        auto page = client.Fetch(base + "/equities/bars/daily?date=2026-12-07" + (key.empty() ? "" : "&pagination_key=" + key));
        ASSERT_EQ(page.Status, 200) << page.Body;
        ++pages;
        const size_t at = page.Body.find("\"pagination_key\":\"");
        key = at == std::string::npos ? "" : page.Body.substr(at + 18, page.Body.find('"', at + 18) - at - 18);
        joined += page.Body;
    } while (!key.empty());
    EXPECT_EQ(pages, expectedPages);
    EXPECT_NE(joined.find("\"Code\":\"130A0\""), std::string::npos);
    EXPECT_EQ(client.Fetch(base + "/equities/bars/daily?date=20261207&pagination_key=20261207-70-1").Status, 400);
    EXPECT_EQ(client.Fetch(base + "/equities/bars/daily").Status, 400);

    const auto calendar = client.Fetch(base + "/markets/calendar?from=20261231&to=20270104");
    EXPECT_EQ(calendar.Body, "{\"data\":[{\"Date\":\"2026-12-31\",\"HolDiv\":\"0\"},{\"Date\":\"2027-01-01\",\"HolDiv\":\"0\"},"
                             "{\"Date\":\"2027-01-02\",\"HolDiv\":\"0\"},{\"Date\":\"2027-01-03\",\"HolDiv\":\"0\"},"
                             "{\"Date\":\"2027-01-04\",\"HolDiv\":\"1\"}]}");
    // The minute's requests are used up (401 and 403 were refused before counting).
    const auto limited = client.Fetch(base + "/markets/calendar?from=20261201&to=20261231");
    EXPECT_EQ(limited.Status, 429);
    EXPECT_EQ(limited.RetryAfterSeconds, 30);
    EXPECT_EQ(server.Stats().JQuants, 2 + pages + 3 + 1);
}

}  // namespace
}  // namespace mirolanda::tools
