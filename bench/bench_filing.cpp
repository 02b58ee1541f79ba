// Filing daily CSV files into the history files.
// (a) One day's CSV of 3,600 issues into 3,600 history files of 259 days, and the same day filed
//     from memory as the download does, against the I/O floor:
//     reading those 3,600 files and writing each to a copy (what `cat a > b` does).
// (b) A year (260 daily CSV files of 3,600 issues) into an empty folder with `mirolanda-cli file`,
//     against filing the same files one call at a time; the two folders must be byte-identical.
// Prints milliseconds per run and both ratios, measured in this run.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "platform/Date.h"
#include "platform/Folders.h"
#include "platform/Table.h"
#include "quotes/CsvFile.h"
#include "quotes/StockFile.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

constexpr int kIssues = 3600;
constexpr int kStoredDays = 259;
constexpr int kFilingRuns = 20;  // days prepared for (a), one per run
constexpr int kYearDays = 260;

int CodeOf(int issue) {
    return 1300 + 2 * issue;
}

platform::Date DayOf(int n) {
    return platform::AddDays(platform::Date{2000, 1, 4}, n);
}

int CloseOf(int issue, int day) {
    return 100 + (issue * 37 + day * 11) % 5000;
}

// The result grid of one synthetic market day, written as that day's CSV file.
fs::path WriteDayCsv(const fs::path& folder, int day) {
    platform::Table grid(7);
    for (int i = 0; i < kIssues; ++i) {
        std::string close = std::to_string(CloseOf(i, day));
        grid.AddRow({std::to_string(CodeOf(i)), "銘柄" + std::to_string(CodeOf(i)), close, close, close, close,
                     std::to_string(1000 * (i + day))});
    }
    return quotes::SaveDailyCsv(grid, folder, platform::FormatYmd(DayOf(day)));
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::map<std::string, std::string> FolderBytes(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

struct Fixture {
    bench::ScratchFolder scratch;
    const fs::path& root = scratch.Path();
    std::vector<fs::path> history;   // (a): 3,600 files of 259 days
    std::vector<fs::path> nextDays;  // (a): the CSV files filed one per run
    std::vector<fs::path> year;      // (b): 260 CSV files
    fs::path settings;               // (b): points the CLI's stock folder at root/cli

    Fixture() {
        fs::create_directories(root / "stock");
        fs::create_directories(root / "copy");
        for (int i = 0; i < kIssues; ++i) {
            quotes::IssueRecord record;
            record.Name = "銘柄" + std::to_string(CodeOf(i));
            for (int d = 0; d < quotes::kHistoryDays; ++d) {
                int day = kStoredDays - 1 - d;
                record.Days[static_cast<size_t>(d)] =
                    d < kStoredDays ? quotes::DayPrice{platform::FormatSlashed(DayOf(day)), CloseOf(i, day)}
                                    : quotes::DayPrice{std::string(10, ' '), -1};
            }
            history.push_back(quotes::IssueFilePath(root / "stock", CodeOf(i)));
            WriteBytes(history.back(), quotes::EncodeIssueRecord(record));
        }
        for (int r = 0; r < kFilingRuns; ++r) nextDays.push_back(WriteDayCsv(root / "next", kStoredDays + r));
        for (int d = 0; d < kYearDays; ++d) year.push_back(WriteDayCsv(root / "year", d));
        settings = root / "settings.ini";
        WriteBytes(settings, "[Parameters]\nStockDataFolder=" + (root / "cli").string() + "\n");
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// (a) The program's path: each run files the next day, so every file gains a day.
void BM_FileOneDay(benchmark::State& state) {
    Fixture& f = TheFixture();
    size_t run = 0;
    for (auto _ : state) {
        auto result = quotes::ConvertCsvToIssueFiles(f.nextDays[run++ % f.nextDays.size()], f.root / "stock");
        if (result != quotes::FilingResult::Filed) state.SkipWithError("the CSV file was not filed");
    }
}

// (a) The download's path: the same day filed from memory, read from its CSV before the clock runs.
void BM_FileDayFromMemory(benchmark::State& state) {
    Fixture& f = TheFixture();
    size_t run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const market::DaySnapshot day = quotes::ReadDailyCsvDay(f.nextDays[run++ % f.nextDays.size()]);
        state.ResumeTiming();
        quotes::FileDay(day, f.root / "stock");
    }
}

// (a) The floor: read each history file and write its bytes to a copy, as cat does.
void BM_CopyFloor(benchmark::State& state) {
    Fixture& f = TheFixture();
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        for (const fs::path& file : f.history) {
            int in = ::open(file.c_str(), O_RDONLY);
            int out = ::open((f.root / "copy" / file.filename()).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0) state.SkipWithError("open failed");
            ssize_t n = 0;
            while ((n = ::read(in, buffer.data(), buffer.size())) > 0) {
                if (::write(out, buffer.data(), static_cast<size_t>(n)) != n) state.SkipWithError("write failed");
            }
            ::close(in);
            ::close(out);
        }
    }
}

// (b) A year with the command-line tool: one process, every history file written once.
void BM_CliFileYear(benchmark::State& state) {
    Fixture& f = TheFixture();
    std::string command = (platform::ExecutableFolder() / "mirolanda-cli").string() + " --settings " +
                          f.settings.string() + " file";
    for (const auto& path : f.year) {
        command += ' ';  // appended apart: GCC 12 misreads " " + string as an overlapping copy
        command += path.string();
    }
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(f.root / "cli");
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) state.SkipWithError("mirolanda-cli file failed");
    }
}

// (b) The same year filed one call at a time, in order.
void BM_OneAtATimeYear(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(f.root / "single");
        state.ResumeTiming();
        for (const auto& path : f.year) quotes::ConvertCsvToIssueFiles(path, f.root / "single");
    }
}

BENCHMARK(BM_FileOneDay)->Unit(benchmark::kMillisecond)->Iterations(kFilingRuns);
BENCHMARK(BM_FileDayFromMemory)->Unit(benchmark::kMillisecond)->Iterations(kFilingRuns);
BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond)->Iterations(kFilingRuns);
BENCHMARK(BM_CliFileYear)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_OneAtATimeYear)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Fixture& f = TheFixture();
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%d issues; (a) %d stored days plus one; (b) %d daily CSV files\n", kIssues, kStoredDays, kYearDays);
    bench::PrintMilliseconds(reporter);
    if (auto ratio = reporter.Ratio("BM_FileOneDay", "BM_CopyFloor"))
        std::printf("(a) filing one day / cat-like copy: %.2f (goal: within 3)\n", *ratio);
    if (auto ratio = reporter.Ratio("BM_OneAtATimeYear", "BM_CliFileYear")) {
        bool same = FolderBytes(f.root / "cli") == FolderBytes(f.root / "single");
        std::printf("(b) one call per file / mirolanda-cli file: %.1f times faster (goal: 10); history files %s\n",
                    *ratio, same ? "byte-identical" : "DIFFER");
        if (!same) return 1;
    }
    benchmark::Shutdown();
    return 0;
}
