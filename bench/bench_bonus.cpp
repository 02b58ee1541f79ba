// The bonus lists and images: rebuilding and showing a mode's current list from a 500-line
// server list against ten years of downloaded dates, against only reading and decoding the
// same server list (the floor under any rebuild); and restoring a 1 MiB scrambled image
// against copying it. Prints times per run and the ratios, both measured in this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bonus/Omake.h"
#include "bonus/Scramble.h"
#include "platform/AtomicFile.h"
#include "platform/Date.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"
#include "platform/Table.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

constexpr int kServerLines = 500;
constexpr int kDownloaded = 2500;  // ten years of trading days

struct Fixture {
    bench::ScratchFolder scratch;
    const fs::path& folder = scratch.Path();
    fs::path downList;

    Fixture() {
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

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TheFixture();
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%d server lines against %d downloaded dates; a 1 MiB image\n", kServerLines, kDownloaded);
    bench::PrintMilliseconds(reporter);
    bench::PrintRatio(reporter, "BM_BuildAndShowCurrentList", "BM_ReadServerList");
    bench::PrintRatio(reporter, "BM_ScrambleBytes", "BM_CopyBytes");
    benchmark::Shutdown();
    return 0;
}
