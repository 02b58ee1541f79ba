// ParseQuoteFile on one full-market download (180 quote pages converted to Shift_JIS once
// through Kodemorph), against reading the same files raw and reading them as UTF-8 lines,
// the floors under any parse. Prints MB/s of each and the ratios, all measured in this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/QuotePages.h"
#include "platform/SjisText.h"
#include "platform/Table.h"
#include "quotes/ResultGrid.h"
#include "quotesite/CodeConvert.h"
#include "quotesite/QuotePage.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

struct Fixture {
    bench::ScratchFolder folder;
    bench::QuotePages pages = bench::MakeQuotePages();
    std::vector<fs::path> files;  // the converted pages
    size_t bytes = 0;             // their total size

    Fixture() {
        for (const fs::path& euc : bench::WriteQuotePages(folder.Path(), pages)) {
            fs::path sjis = fs::path(euc).replace_extension(".sjis");
            quotesite::ConvertToShiftJis(euc, sjis);
            bytes += fs::file_size(sjis);
            files.push_back(sjis);
        }
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void CountBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(TheFixture().bytes));
}

// The program's path: each page parsed into the result grid, as the download does.
void BM_ParseQuoteFile(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        platform::Table grid;
        quotes::ResetResultGrid(grid);
        for (const fs::path& file : f.files) quotesite::ParseQuoteFile(grid, file);
        if (grid.RowCount() != f.pages.listed) state.SkipWithError("the pages did not give every listed issue");
        benchmark::DoNotOptimize(grid);
    }
    CountBytes(state);
}

// Reading the bytes only.
void BM_ReadFileBytes(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        for (const fs::path& file : f.files) benchmark::DoNotOptimize(platform::ReadFileBytes(file));
    }
    CountBytes(state);
}

// Reading, decoding CP932 to UTF-8 and splitting lines: what every parse starts with.
void BM_ReadSjisLines(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        for (const fs::path& file : f.files) benchmark::DoNotOptimize(platform::ReadSjisLines(file));
    }
    CountBytes(state);
}

BENCHMARK(BM_ParseQuoteFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadSjisLines)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Fixture& f = TheFixture();
    // CPU time: steadier than wall time on a shared machine, and none of these waits.
    bench::RatioReporter reporter(bench::Timing::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double mb = static_cast<double>(f.bytes) / 1e6;
    std::printf("\n%d pages, %d listed issues, %.2f MB of Shift_JIS\n", bench::kPageCount, f.pages.listed, mb);
    bench::PrintMegabytesPerSecond(reporter, mb);
    bench::PrintRatio(reporter, "BM_ParseQuoteFile", "BM_ReadFileBytes");
    bench::PrintRatio(reporter, "BM_ParseQuoteFile", "BM_ReadSjisLines");
    benchmark::Shutdown();
    return 0;
}
