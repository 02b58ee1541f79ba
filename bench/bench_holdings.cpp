// UpdateBuyGrid with 500 holdings over 500 history files of 260 days each, against reading
// the same 500 files' bytes (the floor under any rebuild). Prints milliseconds per rebuild
// and the ratio, both measured in this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "holdings/BuyData.h"
#include "holdings/BuyGrid.h"
#include "holdings/History.h"
#include "platform/AtomicFile.h"
#include "platform/Date.h"
#include "platform/SjisText.h"
#include "platform/Table.h"
#include "quotes/StockFile.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

constexpr int kHoldings = 500;

struct Fixture {
    bench::ScratchFolder scratch;
    const fs::path& folder = scratch.Path();
    platform::Table holdings{holdings::kBuyColumns};
    std::vector<fs::path> files;

    Fixture() {
        for (int i = 0; i < kHoldings; ++i) {
            int code = 1300 + i;
            quotes::IssueRecord record;
            record.Name = "銘柄" + std::to_string(code);
            platform::Date day{2001, 12, 31};
            for (int d = 0; d < quotes::kHistoryDays; ++d) {
                record.Days[static_cast<size_t>(d)] = {platform::FormatSlashed(day), 300 + (d * 37 + i) % 400};
                day = platform::AddDays(day, -1);
            }
            fs::path file = quotes::IssueFilePath(folder, code);
            platform::ReplaceFile(file, quotes::EncodeIssueRecord(record));
            files.push_back(file);
            holdings.AddRow({std::to_string(code), record.Name, "2001/06/01", std::to_string(250 + i), "1000"});
        }
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// The program's path: one rebuild of the grid, both alert passes on.
void BM_UpdateBuyGrid(benchmark::State& state) {
    Fixture& f = TheFixture();
    holdings::HistoryFolder history(f.folder);
    for (auto _ : state) {
        holdings::BuyGrid grid = holdings::UpdateBuyGrid(f.holdings, history, {});
        if (grid.Grid.RowCount() != kHoldings || grid.Grid.Cell(0, holdings::kGridCurrent) == "0") {
            state.SkipWithError("the grid did not read the history files");
        }
        benchmark::DoNotOptimize(grid);
    }
}

// Reading the same files' bytes only.
void BM_ReadFileBytes(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        for (const fs::path& file : f.files) benchmark::DoNotOptimize(platform::ReadFileBytes(file));
    }
}

BENCHMARK(BM_UpdateBuyGrid)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TheFixture();
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%d holdings over %d history files\n", kHoldings, kHoldings);
    bench::PrintMilliseconds(reporter);
    bench::PrintRatio(reporter, "BM_UpdateBuyGrid", "BM_ReadFileBytes", "(goal: rebuild under 50 ms)");
    benchmark::Shutdown();
    return 0;
}
