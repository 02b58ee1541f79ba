#include "quotes/DownloadCommand.h"

#include "platform/HttpClient.h"
#include "quotes/JQuantsDownload.h"
#include "quotes/QuotePage.h"

namespace mirolanda::quotes {
namespace {

constexpr int kFirstCode = 1000;
constexpr int kBlockSize = 50;
constexpr int kBlocks = 180;  // 1000 … 9999

std::string BlockRange(int first) {
    // The second number is the first code + 50, as the status line has always shown it.
    return std::to_string(first) + "～" + std::to_string(first + kBlockSize);
}

// One pass over all blocks into the emptied grid; the failure's status text, or "" when
// every request went through.
std::string RunPass(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                    const platform::Progress& progress, int pass, int maxPasses) {
    ResetResultGrid(grid);
    progress.Show("ダウンロード－開始");
    client.SetAccess(options.ConnectionMode, options.Proxy);
    const std::string base(platform::TrimTrailingSlashes(options.QuoteSiteUrl));
    for (int block = 0; block < kBlocks; ++block) {
        const int first = kFirstCode + block * kBlockSize;
        progress.Show("ダウンロード－要求 " + BlockRange(first));
        platform::FetchResult page = client.Fetch(base + QuoteRequestPath(first, kBlockSize));
        if (!page.Ok) return "Internet Error(" + page.Description + ")";
        progress.Show("ダウンロード－解析 " + BlockRange(first));
        ImportQuotePage(grid, page.Body, options.TempFolder, progress);
        progress.Step((pass - 1) * kBlocks + block + 1, maxPasses * kBlocks);
    }
    return {};
}

}  // namespace

DownloadOutcome RunDownload(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                            const platform::Progress& progress) {
    if (options.Source == QuoteSource::JQuants) return RunJQuantsDownload(grid, client, options, progress);
    DownloadOutcome outcome;
    const int maxPasses = options.MaxPasses < 1 ? 1 : options.MaxPasses;
    for (int pass = 1;; ++pass) {
        std::string failure = RunPass(grid, client, options, progress, pass, maxPasses);
        outcome.Issues = grid.RowCount();
        if (!failure.empty()) {
            outcome.Status = failure;
            progress.Show(outcome.Status);
            return outcome;
        }
        // A site that lists fewer issues than the minimum is asked again, a bounded number of times.
        const bool complete = !options.CompletenessCheck || !(options.MinimumIssues > outcome.Issues);
        if (complete) break;
        if (pass >= maxPasses) {
            outcome.Status = IncompleteDownloadText(outcome.Issues, options.MinimumIssues);
            progress.Show(outcome.Status);
            return outcome;
        }
    }
    progress.Step(maxPasses * kBlocks, maxPasses * kBlocks);
    if (options.FetchingDone) options.FetchingDone();
    // One data date for both saves: the filing must take the CSV just written, even when the
    // clock passes the moment the data date changes in between.
    if (options.AutoCsvSave || options.AutoDataSave) SaveDownloadResults(grid, options, options.DataDate(), progress, outcome);
    progress.Show("");
    outcome.Ok = true;
    return outcome;
}

}  // namespace mirolanda::quotes
