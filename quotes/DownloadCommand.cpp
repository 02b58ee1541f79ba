#include "quotes/DownloadCommand.h"

#include <algorithm>
#include <optional>
#include <set>

#include "platform/AtomicFile.h"
#include "platform/FetchFailure.h"
#include "platform/HttpClient.h"
#include "quotes/CsvFile.h"
#include "quotes/JQuantsDownload.h"
#include "quotes/QuotePage.h"
#include "quotes/StockFile.h"

namespace mirolanda::quotes {
namespace {

constexpr int kFirstCode = 1000;
constexpr int kBlockSize = kCodesPerRequest;
constexpr int kBlocks = 180;  // 1000 … 9999

struct PassResult {
    std::optional<platform::FetchResult> failure;  // the failed request; nothing when every one went through
    std::vector<int> blockRows;                    // issues each block's page listed
};

// One pass over all blocks into the emptied grid.
PassResult RunPass(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                   const platform::Progress& progress, int pass, int maxPasses) {
    PassResult result;
    ResetResultGrid(grid);
    progress.Show("ダウンロード－開始");
    client.SetAccess(options.ConnectionMode, options.Proxy);
    const std::string base(platform::TrimTrailingSlashes(options.QuoteSiteUrl));
    for (int block = 0; block < kBlocks; ++block) {
        const int first = kFirstCode + block * kBlockSize;
        progress.Show("ダウンロード－要求 " + BlockRange(first));
        platform::FetchResult page = client.FetchChecked(base + QuoteRequestPath(first, kBlockSize), CheckQuotePage);
        if (!page.Ok) {
            result.failure = std::move(page);
            return result;
        }
        progress.Show("ダウンロード－解析 " + BlockRange(first));
        const int before = grid.RowCount();
        ImportQuotePage(grid, page.Body, options.TempFolder, progress);
        result.blockRows.push_back(grid.RowCount() - before);
        progress.Step((pass - 1) * kBlocks + block + 1, maxPasses * kBlocks);
    }
    return result;
}

// Pages that listed fewer issues than their request asked for and than the previous day had.
// The quote site is asked by numeric code, so only the previous day's numeric codes count.
void FindShortPages(const std::vector<int>& blockRows, const std::set<market::IssueCode>& before, DownloadOutcome& outcome) {
    std::vector<int> numeric;
    for (const market::IssueCode& code : before) {
        if (code.IsNumeric()) numeric.push_back(std::stoi(code.Text()));
    }
    std::sort(numeric.begin(), numeric.end());
    for (size_t block = 0; block < blockRows.size(); ++block) {
        const int first = kFirstCode + static_cast<int>(block) * kBlockSize;
        const auto previous = std::lower_bound(numeric.begin(), numeric.end(), first + kBlockSize) -
                              std::lower_bound(numeric.begin(), numeric.end(), first);
        if (blockRows[block] < kBlockSize && blockRows[block] < previous) {
            outcome.ShortPages.push_back({first, blockRows[block], static_cast<int>(previous)});
        }
    }
}

}  // namespace

std::vector<platform::Date> DaysTheSiteCannotGive(const DownloadOptions& options) {
    if (!options.BuiltinBusinessDay || !options.DataDate) return {};
    const auto day = platform::ParseYmd(options.DataDate());
    if (!day) return {};
    return FindMissedDays(options.StockFolder, platform::AddDays(*day, -1), options.BuiltinBusinessDay).Days;
}

DownloadOutcome RunDownload(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                            const platform::Progress& progress) {
    // A folder that cannot be made is reported before the site is asked for anything.
    platform::EnsureFolder(options.TempFolder);
    if (options.AutoCsvSave) platform::EnsureFolder(options.CsvFolder);
    if (options.AutoDataSave) platform::EnsureFolder(options.StockFolder);
    if (options.Source == QuoteSource::JQuants) return RunJQuantsDownload(grid, client, options, progress);
    DownloadOutcome outcome;
    // Found before the day is filed, which would make the newest history day the data date.
    outcome.MissingDays = DaysTheSiteCannotGive(options);
    const int maxPasses = options.MaxPasses < 1 ? 1 : options.MaxPasses;
    PassResult pass;
    for (int number = 1;; ++number) {
        pass = RunPass(grid, client, options, progress, number, maxPasses);
        outcome.Issues = grid.RowCount();
        if (pass.failure) {
            outcome.Status = platform::InternetErrorText(*pass.failure);
            outcome.Detail = pass.failure->Description;
            outcome.Cancelled = platform::WasCancelled(*pass.failure);
            progress.Show(outcome.Status);
            return outcome;
        }
        // A site that lists fewer issues than the minimum is asked again, a bounded number of times.
        if (!IsIncomplete(options, outcome.Issues)) break;
        if (number >= maxPasses) {
            outcome.Status = IncompleteDownloadText(outcome.Issues, options.MinimumIssues);
            progress.Show(outcome.Status);
            return outcome;
        }
    }
    progress.Step(maxPasses * kBlocks, maxPasses * kBlocks);
    if (options.FetchingDone) options.FetchingDone();
    // One data date for the comparison and both saves: the filing must take the CSV just
    // written, even when the clock passes the moment the data date changes in between.
    const std::string dataDate = options.DataDate ? options.DataDate() : std::string();
    if (auto before = CompareWithPreviousDay(grid, options, dataDate, outcome)) {
        FindShortPages(pass.blockRows, *before, outcome);
    }
    if (options.AutoCsvSave || options.AutoDataSave) SaveDownloadResults(grid, options, dataDate, progress, outcome);
    outcome.Status = DayRemarks(outcome);
    progress.Show(outcome.Status);
    outcome.Ok = true;
    return outcome;
}

}  // namespace mirolanda::quotes
