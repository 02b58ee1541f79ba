// The simulator's own cost, so that download benchmarks against it measure the program:
// a day's 180 pages served over one kept connection against building the same pages in
// the process (the floor), and 50 answers with 20 ms latency against 50 × 20 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench/BenchSupport.h"
#include "platform/HttpClient.h"
#include "tools/SimQuotePage.h"
#include "tools/SimServer.h"

namespace {

using namespace mirolanda;

const platform::Date kDay{2026, 12, 7};
constexpr int kLatencyRequests = 50;
constexpr int kLatencyMs = 20;

std::vector<std::string> Block(int first) {
    std::vector<std::string> codes;
    for (int c = first; c < first + 50; ++c) codes.push_back(std::to_string(c));
    return codes;
}

std::string Target(int first) {
    std::string target = "/q?s=";
    for (int c = first; c < first + 50; ++c) {
        if (c != first) target += '+';
        target += std::to_string(c);
    }
    return target + "&d=v2";
}

tools::SimServer& Server(int latencyMs) {
    static std::map<int, tools::SimServer*> servers;
    auto& server = servers[latencyMs];
    if (!server) {
        tools::SimOptions options;
        options.Day = kDay;
        options.LatencyMs = latencyMs;
        server = new tools::SimServer(options);
        server->Start(0);
    }
    return *server;
}

void BM_BuildDayPages(benchmark::State& state) {
    tools::Market market;
    size_t bytes = 0;
    for (auto _ : state) {
        for (int first = 1000; first <= 9950; first += 50) bytes += tools::QuotePageEucJp(market, kDay, Block(first)).size();
    }
    benchmark::DoNotOptimize(bytes);
}

void BM_ServeDayPages(benchmark::State& state) {
    tools::SimServer& server = Server(0);
    std::string base = "http://127.0.0.1:" + std::to_string(server.Port());
    long connections = 0;
    for (auto _ : state) {
        platform::HttpClient client;
        for (int first = 1000; first <= 9950; first += 50) {
            auto result = client.Fetch(base + Target(first));
            if (!result.Ok) state.SkipWithError(result.Description.c_str());
        }
        connections = client.ConnectionsOpened();
    }
    state.counters["connections"] = static_cast<double>(connections);
}

void BM_ServeWithLatency(benchmark::State& state) {
    tools::SimServer& server = Server(kLatencyMs);
    std::string base = "http://127.0.0.1:" + std::to_string(server.Port());
    for (auto _ : state) {
        platform::HttpClient client;
        for (int i = 0; i < kLatencyRequests; ++i) {
            auto result = client.Fetch(base + Target(1000 + 50 * i));
            if (!result.Ok) state.SkipWithError(result.Description.c_str());
        }
    }
}

BENCHMARK(BM_BuildDayPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServeDayPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServeWithLatency)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (auto ratio = reporter.Ratio("BM_ServeDayPages", "BM_BuildDayPages"))
        std::printf("day's 180 pages served / built in process: %.2f\n", *ratio);
    if (auto latency = reporter.Seconds("BM_ServeWithLatency")) {
        const double floorMs = kLatencyRequests * kLatencyMs;
        std::printf("%d answers at %d ms latency / %.0f ms floor: %.3f\n", kLatencyRequests, kLatencyMs, floorMs,
                    *latency * 1e3 / floorMs);
    }
    benchmark::Shutdown();
    return 0;
}
