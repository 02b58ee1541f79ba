#include "quotes/DownloadCommand.h"

#include <optional>

#include "platform/FetchFailure.h"
#include "platform/HttpClient.h"
#include "quotes/CsvFile.h"
#include "quotes/StockFile.h"
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

std::string IncompleteText(int issues, double minimum) {
    return "ダウンロード銘柄数が不足しています(" + std::to_string(issues) + "銘柄、必要数 " +
           std::to_string(static_cast<long long>(minimum)) + "銘柄)";
}

// One pass over all blocks into the emptied grid; the failed request, or nothing when every
// request went through.
std::optional<platform::FetchResult> RunPass(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                    const platform::Progress& progress, int pass, int maxPasses) {
    ResetResultGrid(grid);
    progress.Show("ダウンロード－開始");
    client.SetAccess(options.ConnectionMode, options.Proxy);
    const std::string base(platform::TrimTrailingSlashes(options.QuoteSiteUrl));
    for (int block = 0; block < kBlocks; ++block) {
        const int first = kFirstCode + block * kBlockSize;
        progress.Show("ダウンロード－要求 " + BlockRange(first));
        platform::FetchResult page = client.Fetch(base + QuoteRequestPath(first, kBlockSize));
        if (!page.Ok) return page;
        progress.Show("ダウンロード－解析 " + BlockRange(first));
        ImportQuotePage(grid, page.Body, options.TempFolder, progress);
        progress.Step((pass - 1) * kBlocks + block + 1, maxPasses * kBlocks);
    }
    return std::nullopt;
}

void SaveResults(const platform::Table& grid, const DownloadOptions& options, const platform::Progress& progress,
                 DownloadOutcome& outcome) {
    if (!options.AutoCsvSave && !options.AutoDataSave) return;
    // One data date for both steps: the filing must take the CSV just written, even when the
    // clock passes the moment the data date changes in between.
    const std::string dataDate = options.DataDate();
    if (options.AutoCsvSave) {
        progress.Show("ＣＳＶファイル保存中");
        outcome.CsvPath = SaveDailyCsv(grid, options.CsvFolder, dataDate);
        progress.Show("ＣＳＶファイル保存完了");
    }
    if (options.AutoDataSave) {
        // Files the CSV of the data date: the one just written, or one saved earlier.
        ConvertCsvToIssueFiles(DailyCsvPath(options.CsvFolder, dataDate), options.StockFolder, progress);
    }
}

}  // namespace

DownloadOutcome RunDownload(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                            const platform::Progress& progress) {
    DownloadOutcome outcome;
    const int maxPasses = options.MaxPasses < 1 ? 1 : options.MaxPasses;
    for (int pass = 1;; ++pass) {
        const std::optional<platform::FetchResult> failure = RunPass(grid, client, options, progress, pass, maxPasses);
        outcome.Issues = grid.RowCount();
        if (failure) {
            outcome.Status = platform::InternetErrorText(*failure);
            outcome.Detail = failure->Description;
            outcome.Cancelled = platform::WasCancelled(*failure);
            progress.Show(outcome.Status);
            return outcome;
        }
        // A site that lists fewer issues than the minimum is asked again, a bounded number of times.
        const bool complete = !options.CompletenessCheck || !(options.MinimumIssues > outcome.Issues);
        if (complete) break;
        if (pass >= maxPasses) {
            outcome.Status = IncompleteText(outcome.Issues, options.MinimumIssues);
            progress.Show(outcome.Status);
            return outcome;
        }
    }
    progress.Step(maxPasses * kBlocks, maxPasses * kBlocks);
    if (options.FetchingDone) options.FetchingDone();
    SaveResults(grid, options, progress, outcome);
    progress.Show("");
    outcome.Ok = true;
    return outcome;
}

}  // namespace mirolanda::quotes
