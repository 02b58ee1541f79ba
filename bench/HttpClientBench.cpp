// The HTTP client against a loopback server: a download's 180 page requests on one reused
// client (keep-alive) against the baseline of a fresh client, hence a fresh connection,
// per request. Prints the ratio and the connections each way used.
#include "bench/BenchSupport.h"
#include "platform/HttpClient.h"
#include "support/LoopbackServer.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <cstdio>
#include <string>

namespace {

using mirolanda::platform::HttpClient;

constexpr int kRequests = 180;
const std::string kPage(20000, 'p');  // about the size of one block's quote page

mirolanda::testing::LoopbackServer& Server() {
    static mirolanda::testing::LoopbackServer* server = [] {
        auto* s = new mirolanda::testing::LoopbackServer;
        s->Http().Get("/q", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kPage, "text/html");
        });
        s->Start();
        return s;
    }();
    return *server;
}

void FetchOrFail(HttpClient& client, benchmark::State& state) {
    const auto result = client.Fetch(Server().BaseUrl() + "/q");
    if (!result.Ok || result.Body.size() != kPage.size()) state.SkipWithError(result.Description.c_str());
}

void BM_ReusedClient(benchmark::State& state) {
    long connections = 0;
    for (auto _ : state) {
        HttpClient client;
        for (int i = 0; i < kRequests; ++i) FetchOrFail(client, state);
        connections = client.ConnectionsOpened();
    }
    state.counters["connections"] = static_cast<double>(connections);
}

void BM_FreshClientPerRequest(benchmark::State& state) {
    long connections = 0;
    for (auto _ : state) {
        connections = 0;
        for (int i = 0; i < kRequests; ++i) {
            HttpClient client;
            FetchOrFail(client, state);
            connections += client.ConnectionsOpened();
        }
    }
    state.counters["connections"] = static_cast<double>(connections);
}

BENCHMARK(BM_FreshClientPerRequest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReusedClient)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    mirolanda::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (auto ratio = reporter.Ratio("BM_ReusedClient", "BM_FreshClientPerRequest"))
        std::printf("180 requests, reused client / fresh client per request: %.2f (%.1fx faster)\n", *ratio,
                    1 / *ratio);
    benchmark::Shutdown();
    return 0;
}
