// What the benchmark programs share: a console reporter that keeps each benchmark's time per
// iteration for the ratios printed after the run, the printers of those figures, and a
// scratch folder for the files a benchmark works on.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirolanda::bench {

// Which clock the reporter keeps: wall time, or CPU time (steadier on a shared machine for
// work that never waits).
enum class Timing { Real, Cpu };

// Prints the runs as Google Benchmark's console does (colour only on a terminal, so figures
// read cleanly from a log) and keeps each benchmark's seconds per iteration, keyed by its
// function name: "BM_X" whatever "/min_time:…" or "/iterations:…" the run's name carries.
// Of repeated runs the fastest is kept, the least disturbed on a busy machine; failed runs
// are not kept.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(Timing timing = Timing::Real);
    void ReportRuns(const std::vector<Run>& runs) override;

    // Seconds per iteration; nothing when the benchmark did not run or failed.
    std::optional<double> Seconds(const std::string& name) const;
    // The first benchmark's time over the second's, when both ran.
    std::optional<double> Ratio(const std::string& over, const std::string& base) const;
    const std::map<std::string, double>& AllSeconds() const { return seconds_; }

private:
    Timing timing_;
    std::map<std::string, double> seconds_;
};

// "BM_A / BM_B time ratio: 1.23" and the note, when both ran.
void PrintRatio(const RatioReporter& reporter, const std::string& over, const std::string& base,
                std::string_view note = {});
// One line per benchmark: its milliseconds per iteration, "ms per <what>".
void PrintMilliseconds(const RatioReporter& reporter, std::string_view perWhat = "run");
// One line per benchmark: its throughput over the given megabytes per iteration.
void PrintMegabytesPerSecond(const RatioReporter& reporter, double megabytes);

// A fresh folder under the system's temporary folder (TMPDIR), removed with all it holds
// when this ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace mirolanda::bench
