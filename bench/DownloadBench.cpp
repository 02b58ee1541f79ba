// The whole daily download through mirolanda-cli against the simulator in this process:
// wall time, requests per second, TCP connections and the CLI's peak memory; then the same
// with 20 ms of latency per answer against its floor of 180 × 20 ms.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/BenchSupport.h"
#include "platform/Folders.h"
#include "tools/SimServer.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

struct Run {
    double seconds = 0;
    long peakKb = 0;
    int status = -1;
};

// Runs the CLI and measures it as a whole process (wait4 gives its peak resident set).
Run RunCli(const std::vector<std::string>& args) {
    const std::string cli = (platform::ExecutableFolder() / "mirolanda-cli").string();
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout);  // the child must not repeat what is buffered
    pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(cli.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::freopen("/dev/null", "w", stderr);
        ::freopen("/dev/null", "w", stdout);
        ::execv(cli.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKb = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

Run Download(tools::SimServer& sim, const fs::path& dir, bool save) {
    const std::string settings = (dir / "s.conf").string();
    RunCli({"--settings", settings, "setting", "QuoteSiteUrl", "http://127.0.0.1:" + std::to_string(sim.Port())});
    fs::remove_all(dir / "CsvData");
    fs::remove_all(dir / "StockData");
    std::vector<std::string> args = {"--settings", settings, "--program-folder", dir.string(),
                                     "--now", "2026-12-04 22:00", "download"};
    if (!save) {
        args.push_back("--no-csv");
        args.push_back("--no-file");
    }
    sim.ResetCounts();
    return RunCli(args);
}

}  // namespace

int main() {
    const bench::ScratchFolder scratch;
    const fs::path& dir = scratch.Path();
    tools::SimOptions options;
    options.Day = {2026, 12, 4};
    tools::SimServer sim(options);
    sim.Start(0);

    Run full = Download(sim, dir, true);
    tools::SimStats stats = sim.Stats();
    std::printf("full download, CSV and filing: %.2f s, exit %d, %ld requests (%.0f/s), %ld TCP connection(s), "
                "peak memory %.1f MB\n",
                full.seconds, full.status, stats.Requests, static_cast<double>(stats.Requests) / full.seconds,
                stats.Connections, static_cast<double>(full.peakKb) / 1024.0);

    Run fetchOnly = Download(sim, dir, false);
    std::printf("download only (no CSV, no filing): %.2f s\n", fetchOnly.seconds);

    sim.SetLatencyMs(20);
    Run slow = Download(sim, dir, false);
    const double floor = 180 * 0.020;
    std::printf("with 20 ms latency, download only: %.2f s against the %.2f s floor: ratio %.3f (goal <= 1.15)\n",
                slow.seconds, floor, slow.seconds / floor);
    sim.Stop();
    return full.status == 0 && fetchOnly.status == 0 && slow.status == 0 ? 0 : 1;
}
