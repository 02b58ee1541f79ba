// UpdateBuyGrid with 500 holdings over 500 history files of 260 days each, against reading
// the same 500 files' bytes (the floor under any rebuild). Prints milliseconds per rebuild
// and the ratio, both measured in this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

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
    fs::path folder;
    platform::Table holdings{holdings::kBuyColumns};
    std::vector<fs::path> files;

    Fixture() {
        std::string pattern = (fs::temp_directory_path() / "mirolanda-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        folder = pattern;
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
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(folder, ec);
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

// Keeps each benchmark's seconds per iteration, for the figures printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred) continue;
            // Keyed by the plain name, without "/min_time:…".
            std::string name = run.benchmark_name();
            seconds[name.substr(0, name.find('/'))] = run.real_accumulated_time / static_cast<double>(run.iterations);
        }
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TheFixture();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    std::printf("\n%d holdings over %d history files\n", kHoldings, kHoldings);
    for (const auto& [name, sec] : s) std::printf("%-20s %8.2f ms per run\n", name.c_str(), sec * 1e3);
    if (s.count("BM_UpdateBuyGrid") && s.count("BM_ReadFileBytes")) {
        std::printf("BM_UpdateBuyGrid / BM_ReadFileBytes time ratio: %.2f (goal: rebuild under 50 ms)\n",
                    s["BM_UpdateBuyGrid"] / s["BM_ReadFileBytes"]);
    }
    benchmark::Shutdown();
    return 0;
}
