#include "bench/BenchSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;

namespace mirolanda::bench {

RatioReporter::RatioReporter(Timing timing)
    : ConsoleReporter(::isatty(1) ? OO_Defaults : OO_Tabular), timing_(timing) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred) continue;
        const double adjusted = timing_ == Timing::Real ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
        const double sec = adjusted / benchmark::GetTimeUnitMultiplier(run.time_unit);
        auto [it, fresh] = seconds_.emplace(run.run_name.function_name, sec);
        if (!fresh && sec < it->second) it->second = sec;
    }
}

std::optional<double> RatioReporter::Seconds(const std::string& name) const {
    auto it = seconds_.find(name);
    if (it == seconds_.end()) return std::nullopt;
    return it->second;
}

std::optional<double> RatioReporter::Ratio(const std::string& over, const std::string& base) const {
    auto a = Seconds(over), b = Seconds(base);
    if (!a || !b || *b <= 0) return std::nullopt;
    return *a / *b;
}

void PrintRatio(const RatioReporter& reporter, const std::string& over, const std::string& base,
                std::string_view note) {
    if (auto ratio = reporter.Ratio(over, base)) {
        std::printf("%s / %s time ratio: %.2f%s%.*s\n", over.c_str(), base.c_str(), *ratio, note.empty() ? "" : " ",
                    static_cast<int>(note.size()), note.data());
    }
}

void PrintMilliseconds(const RatioReporter& reporter, std::string_view perWhat) {
    for (const auto& [name, sec] : reporter.AllSeconds()) {
        std::printf("%-28s %10.3f ms per %.*s\n", name.c_str(), sec * 1e3, static_cast<int>(perWhat.size()),
                    perWhat.data());
    }
}

void PrintMegabytesPerSecond(const RatioReporter& reporter, double megabytes) {
    for (const auto& [name, sec] : reporter.AllSeconds()) std::printf("%-28s %8.1f MB/s\n", name.c_str(), megabytes / sec);
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "mirolanda-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder in " + pattern);
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

}  // namespace mirolanda::bench
