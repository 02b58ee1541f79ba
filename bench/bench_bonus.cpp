// The bonus lists and images: rebuilding and showing a mode's current list from a 500-line
// server list against ten years of downloaded dates, against only reading and decoding the
// same server list (the floor under any rebuild); and restoring a 1 MiB scrambled image
// against copying it. Prints times per run and the ratios, both measured in this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bonus/Omake.h"
#include "bonus/Scramble.h"
#include "platform/AtomicFile.h"
#include "platform/Date.h"
#include "platform/SjisText.h"
#include "platform/Table.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

constexpr int kServerLines = 500;
constexpr int kDownloaded = 2500;  // ten years of trading days

struct Fixture {
    fs::path folder;
    fs::path downList;

    Fixture() {
        std::string pattern = (fs::temp_directory_path() / "mirolanda-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        folder = pattern;
        std::string list;
        platform::Date day{2026, 5, 20};
        for (int i = 0; i < kServerLines; ++i, day = platform::AddDays(day, -1)) {
            list += platform::FormatYmd(day) + "," + std::to_string(i % 7 == 3 ? 0 : 1) + ",4,\"" +
                    platform::FormatYmd(day) + "\"\r\n";
        }
        bonus::SaveDownList(folder, "Long", list);
        downList = bonus::GetListFilePath(folder, "Long", "Down");
        bonus::DownloadedTable downloaded;
        day = {2026, 5, 20};
        for (int i = 0; i < kDownloaded; ++i, day = platform::AddDays(day, -1)) {
            bonus::SetDownloaded(downloaded, platform::FormatSlashed(day), 4, platform::FormatYmd(platform::AddDays(day, i % 2)));
        }
        bonus::SaveDownloaded(folder, "Long", downloaded);
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

void BM_BuildAndShowCurrentList(benchmark::State& state) {
    Fixture& f = TheFixture();
    platform::Table table;
    for (auto _ : state) {
        bonus::BuildCurrentList(f.folder, "Long");
        bonus::ShowCurrentList(f.folder, "Long", table);
        if (table.RowCount() != kServerLines) state.SkipWithError("the list was not rebuilt");
    }
}

void BM_ReadServerList(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        auto lines = platform::SplitLines(platform::SjisToUtf8(platform::ReadFileBytes(f.downList)));
        benchmark::DoNotOptimize(lines);
    }
}

void BM_ScrambleBytes(benchmark::State& state) {
    std::string image(1u << 20, '\x5A');
    for (auto _ : state) {
        bonus::ScrambleBytes(image);
        benchmark::DoNotOptimize(image.data());
    }
}

void BM_CopyBytes(benchmark::State& state) {
    std::string from(1u << 20, '\x5A'), to(1u << 20, '\0');
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
    }
}

BENCHMARK(BM_BuildAndShowCurrentList)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ReadServerList)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ScrambleBytes)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(BM_CopyBytes)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

// Keeps each benchmark's seconds per iteration, for the figures printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred) continue;
            std::string name = run.benchmark_name();
            seconds[name.substr(0, name.find('/'))] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
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
    std::printf("\n%d server lines against %d downloaded dates; a 1 MiB image\n", kServerLines, kDownloaded);
    for (const auto& [name, sec] : s) std::printf("%-28s %10.3f ms per run\n", name.c_str(), sec * 1e3);
    if (s.count("BM_BuildAndShowCurrentList") && s.count("BM_ReadServerList")) {
        std::printf("BM_BuildAndShowCurrentList / BM_ReadServerList time ratio: %.1f\n",
                    s["BM_BuildAndShowCurrentList"] / s["BM_ReadServerList"]);
    }
    if (s.count("BM_ScrambleBytes") && s.count("BM_CopyBytes")) {
        std::printf("BM_ScrambleBytes / BM_CopyBytes time ratio: %.2f\n", s["BM_ScrambleBytes"] / s["BM_CopyBytes"]);
    }
    benchmark::Shutdown();
    return 0;
}
