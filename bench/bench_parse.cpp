// ParseQuoteFile on one full-market download (180 quote pages converted to Shift_JIS once
// through Kodemorph), against reading the same files raw and reading them as UTF-8 lines,
// the floors under any parse. Prints MB/s of each and the ratios, all measured in this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/QuotePages.h"
#include "platform/SjisText.h"
#include "platform/Table.h"
#include "quotes/CodeConvert.h"
#include "quotes/Yahoo.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

struct Fixture {
    fs::path folder;
    bench::QuotePages pages;
    std::vector<fs::path> files;  // the converted pages
    size_t bytes = 0;             // their total size

    Fixture() {
        std::string pattern = (fs::temp_directory_path() / "mirolanda-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        folder = pattern;
        pages = bench::MakeQuotePages();
        for (const fs::path& euc : bench::WriteQuotePages(folder, pages)) {
            fs::path sjis = fs::path(euc).replace_extension(".sjis");
            quotes::ConvertToShiftJis(euc, sjis);
            bytes += fs::file_size(sjis);
            files.push_back(sjis);
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

void CountBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(TheFixture().bytes));
}

// The program's path: each page parsed into the result grid, as the download does.
void BM_ParseQuoteFile(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        platform::Table grid;
        quotes::ResetResultGrid(grid);
        for (const fs::path& file : f.files) quotes::ParseQuoteFile(grid, file);
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

// Keeps each benchmark's CPU seconds per iteration (steadier than wall time on a shared
// machine), for the figures and ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred) continue;
            seconds[run.run_name.function_name] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
        }
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Fixture& f = TheFixture();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double mb = static_cast<double>(f.bytes) / 1e6;
    std::printf("\n%d pages, %d listed issues, %.2f MB of Shift_JIS\n", bench::kPageCount, f.pages.listed, mb);
    auto& s = reporter.seconds;
    for (const auto& [name, sec] : s) std::printf("%-20s %8.1f MB/s\n", name.c_str(), mb / sec);
    auto ratio = [&](const char* a, const char* b) {
        if (s.count(a) && s.count(b)) std::printf("%s / %s time ratio: %.2f\n", a, b, s[a] / s[b]);
    };
    ratio("BM_ParseQuoteFile", "BM_ReadFileBytes");
    ratio("BM_ParseQuoteFile", "BM_ReadSjisLines");
    benchmark::Shutdown();
    return 0;
}
