// The whole market of a day through the J-Quants API against the quote site's 180 requests,
// both from the simulator in this process through the real HTTP client, without saving: the
// wall time and the number of requests of each, at no latency and at 20 ms per answer. The
// API's first download of a day also fetches the listed-issue master; later ones take the
// names from the day's cache. Each figure is the fastest of three runs.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/BenchSupport.h"
#include "platform/HttpClient.h"
#include "platform/PacedFetcher.h"
#include "jquants/JQuantsSource.h"
#include "quotes/DownloadCommand.h"
#include "quotesite/SiteSource.h"
#include "tools/SimServer.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

const platform::Date kDay{2026, 12, 4};

struct Figure {
    double seconds = 1e9;
    long requests = 0;
    bool ok = true;
};

// The fastest of three runs; `prepare` runs before each, untimed.
Figure Measure(tools::SimServer& sim, const std::function<bool()>& run, const std::function<void()>& prepare = {}) {
    Figure figure;
    for (int i = 0; i < 3; ++i) {
        if (prepare) prepare();
        sim.ResetCounts();
        const auto start = std::chrono::steady_clock::now();
        figure.ok = run() && figure.ok;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds < figure.seconds) figure.seconds = seconds;
        figure.requests = sim.Stats().Requests;
    }
    return figure;
}

}  // namespace

int main() {
    const bench::ScratchFolder scratch;
    tools::SimOptions simOptions;
    simOptions.Day = kDay;
    simOptions.JQuants.PageSize = 5000;  // the real API splits its answers near 5 MB: a day's market is one page
    tools::SimServer sim(simOptions);
    const std::string base = "http://127.0.0.1:" + std::to_string(sim.Start(0));

    quotes::DownloadOptions options;
    options.AutoCsvSave = options.AutoDataSave = false;
    options.MinimumIssues = 3600;
    options.TempFolder = scratch / "Temp";
    options.DataDate = [] { return kDay; };
    quotesite::SiteSource siteSource(base);
    jquants::JQuantsSettings settings;
    settings.ApiUrl = base + "/v2";
    settings.ApiKey = simOptions.JQuants.Key;
    jquants::JQuantsSource apiSource(settings);

    platform::HttpClient site;
    platform::PacedFetcher paced(std::make_unique<platform::HttpClient>());  // no pace: the timing is the transfer's
    auto siteRun = [&] { return quotes::RunDownload(siteSource, site, options).Ok; };
    auto apiRun = [&] { return quotes::RunDownload(apiSource, paced, options).Ok; };
    auto dropCache = [&] { fs::remove_all(scratch / "Temp"); };

    bool ok = true;
    for (int latency : {0, 20}) {
        sim.SetLatencyMs(latency);
        const Figure siteFigure = Measure(sim, siteRun);
        const Figure cold = Measure(sim, apiRun, dropCache);
        const Figure warm = Measure(sim, apiRun);
        ok = ok && siteFigure.ok && cold.ok && warm.ok;
        std::printf("latency %2d ms: quote site %.3f s, %ld requests; J-Quants %.3f s, %ld requests "
                    "(master fetched), %.3f s, %ld request (master cached); time ratio site/J-Quants %.1f and %.1f\n",
                    latency, siteFigure.seconds, siteFigure.requests, cold.seconds, cold.requests,
                    warm.seconds, warm.requests, siteFigure.seconds / cold.seconds, siteFigure.seconds / warm.seconds);
    }
    sim.Stop();
    return ok ? 0 : 1;
}
