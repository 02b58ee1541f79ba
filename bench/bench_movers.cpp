// The day's movers of a whole market (3,600 issues) from the history database on the year's last
// trading day, where 年初来高値/安値 read the most days: each ranking against reading that day
// itself (Day), the baseline in the same run. Twenty issues split in the year.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/BenchSupport.h"
#include "marketdb/MarketDb.h"
#include "movers/Movers.h"

using namespace mirolanda;

namespace {

constexpr int kIssues = 3600;
constexpr int kDays = 245;

struct Fixture {
    bench::ScratchFolder scratch;
    marketdb::MarketDb db{scratch / "Market.sqlite3"};
    platform::Date last;

    Fixture() {
        const char* segments[] = {"プライム", "スタンダード", "グロース"};
        marketdb::Transaction t(db.Db());
        uint32_t seed = 7;
        std::vector<market::Tenths> closes(kIssues, 15000);
        platform::Date day{2024, 1, 4};
        for (int d = 0; d < kDays; day = platform::AddDays(day, 1)) {
            if (platform::Weekday(day) == 0 || platform::Weekday(day) == 6) continue;
            market::DaySnapshot snapshot{day, "jquants", {}};
            for (int i = 0; i < kIssues; ++i) {
                seed = seed * 1103515245 + 12345;
                // Each close walks from the one before, as prices do, so that many issues stand
                // near their recent highs and lows on any day.
                const market::Tenths close = closes[i] =
                    std::max<market::Tenths>(1000, closes[i] + static_cast<market::Tenths>((seed >> 8) % 601) - 300);
                const int64_t volume = 1000 + (seed >> 4) % 1000000;
                snapshot.Rows.push_back({1301 + 2 * i, "銘柄", {day, close, close + 50, close - 50, close, volume, std::nullopt, 1.0},
                                         segments[i % 3], ""});
            }
            db.Add(snapshot, {});
            last = day;
            ++d;
        }
        for (int i = 0; i < 20; ++i) db.RecordSplit({1301 + 2 * (i * 150), {2024, 6, 3}, 2.0, "user"});
        t.Commit();
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_Day(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) benchmark::DoNotOptimize(f.db.Day(f.last));
}

void Rank(benchmark::State& state, movers::Ranking kind) {
    Fixture& f = TheFixture();
    for (auto _ : state) benchmark::DoNotOptimize(movers::RankMovers(f.db, {kind, f.last, movers::kDefaultTop, ""}));
}

void BM_Gainers(benchmark::State& state) { Rank(state, movers::Ranking::Gainers); }
void BM_Turnover(benchmark::State& state) { Rank(state, movers::Ranking::Turnover); }
void BM_Surge(benchmark::State& state) { Rank(state, movers::Ranking::Surge); }
void BM_Highs(benchmark::State& state) { Rank(state, movers::Ranking::Highs); }
void BM_Lows(benchmark::State& state) { Rank(state, movers::Ranking::Lows); }

BENCHMARK(BM_Day)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Gainers)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Turnover)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Surge)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Highs)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Lows)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TheFixture();
    bench::RatioReporter reporter(bench::Timing::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%d issues, %d trading days of a year in the database\n", kIssues, kDays);
    bench::PrintMilliseconds(reporter, "ranking");
    for (const char* run : {"BM_Gainers", "BM_Turnover", "BM_Surge", "BM_Highs", "BM_Lows"}) {
        bench::PrintRatio(reporter, run, "BM_Day");
    }
    std::printf("(goal: the movers of a day under 100 ms)\n");
    benchmark::Shutdown();
    return 0;
}
