#include "quotes/DownloadCommand.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <set>

#include "platform/AtomicFile.h"
#include "platform/HttpClient.h"
#include "quotes/CsvFile.h"
#include "quotes/StockFile.h"
#include "quotes/QuotePage.h"

namespace mirolanda::quotes {
namespace {

constexpr int kFirstCode = 1000;
constexpr int kBlockSize = 50;
constexpr int kBlocks = 180;  // 1000 … 9999
constexpr size_t kCodesInLog = 200;

std::string BlockRange(int first) {
    // The second number is the first code + 50, as the status line has always shown it.
    return std::to_string(first) + "～" + std::to_string(first + kBlockSize);
}

std::string IncompleteText(int issues, double minimum) {
    return "ダウンロード銘柄数が不足しています(" + std::to_string(issues) + "銘柄、必要数 " +
           std::to_string(static_cast<long long>(minimum)) + "銘柄)";
}

struct PassResult {
    std::string failure;          // the status text, "" when every request went through
    std::string error;            // the HTTP client's text of the failure
    std::vector<int> blockRows;   // issues each block's page listed
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
        platform::FetchResult page = client.FetchChecked(base + QuoteRequestPath(first, kBlockSize), QuotePageCutShort);
        if (!page.Ok) {
            result.failure = "Internet Error(" + page.Description + ")";
            result.error = page.Description;
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

// The issue codes of the grid's rows.
std::set<int> GridCodes(const platform::Table& grid) {
    std::set<int> codes;
    for (const auto& row : grid.Rows()) {
        if (!row.empty()) codes.insert(std::atoi(row[0].c_str()));
    }
    return codes;
}

// Sets the day's comparison with the previous daily CSV file. A previous file that cannot be
// read is named in the notes instead; it never costs the day.
void CompareWithPreviousDay(const platform::Table& grid, const std::vector<int>& blockRows,
                            const DownloadOptions& options, const std::string& dataDate, DownloadOutcome& outcome,
                            std::vector<std::string>& problems) {
    outcome.PreviousCsv = PreviousDailyCsv(options.CsvFolder, dataDate);
    if (!outcome.PreviousCsv) return;
    std::set<int> before;
    try {
        for (const CsvLine& line : ReadDailyCsv(*outcome.PreviousCsv)) before.insert(line.Code);
    } catch (const platform::Error& e) {
        problems.push_back(std::string("前日のCSVファイルを比較に使えません: ") + e.what());
        outcome.PreviousCsv.reset();
        return;
    }
    const std::set<int> now = GridCodes(grid);
    std::set_difference(before.begin(), before.end(), now.begin(), now.end(), std::back_inserter(outcome.Missing));
    std::set_difference(now.begin(), now.end(), before.begin(), before.end(), std::back_inserter(outcome.Appeared));
    for (size_t block = 0; block < blockRows.size(); ++block) {
        const int first = kFirstCode + static_cast<int>(block) * kBlockSize;
        const auto previous = std::distance(before.lower_bound(first), before.lower_bound(first + kBlockSize));
        if (blockRows[block] < kBlockSize && blockRows[block] < previous) {
            outcome.ShortPages.push_back({first, blockRows[block], static_cast<int>(previous)});
        }
    }
}

void SaveResults(const platform::Table& grid, const DownloadOptions& options, const std::string& dataDate,
                 const platform::Progress& progress, DownloadOutcome& outcome) {
    if (options.AutoCsvSave) {
        progress.Show("ＣＳＶファイル保存中");
        outcome.CsvPath = SaveDailyCsv(grid, options.CsvFolder, dataDate);
        progress.Show("ＣＳＶファイル保存完了");
    }
    if (options.AutoDataSave) {
        // Files the CSV of the data date: the one just written, or one saved earlier.
        ConvertCsvToIssueFiles(DailyCsvPath(options.CsvFolder, dataDate), options.StockFolder, progress,
                               &outcome.Filing);
    }
}

std::string CodeList(const std::vector<int>& codes) {
    std::string text;
    for (size_t i = 0; i < codes.size() && i < kCodesInLog; ++i) text += (i > 0 ? "," : "") + std::to_string(codes[i]);
    if (codes.size() > kCodesInLog) text += " ほか" + std::to_string(codes.size() - kCodesInLog) + "銘柄";
    return text;
}

}  // namespace

DownloadOutcome RunDownload(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                            const platform::Progress& progress) {
    DownloadOutcome outcome;
    // A folder that cannot be made is reported before the site is asked for anything.
    platform::EnsureFolder(options.TempFolder);
    if (options.AutoCsvSave) platform::EnsureFolder(options.CsvFolder);
    if (options.AutoDataSave) platform::EnsureFolder(options.StockFolder);
    const int maxPasses = options.MaxPasses < 1 ? 1 : options.MaxPasses;
    PassResult pass;
    for (int number = 1;; ++number) {
        pass = RunPass(grid, client, options, progress, number, maxPasses);
        outcome.Issues = grid.RowCount();
        if (!pass.failure.empty()) {
            outcome.Status = pass.failure;
            outcome.Error = pass.error;
            progress.Show(outcome.Status);
            return outcome;
        }
        // A site that lists fewer issues than the minimum is asked again, a bounded number of times.
        const bool complete = !options.CompletenessCheck || !(options.MinimumIssues > outcome.Issues);
        if (complete) break;
        if (number >= maxPasses) {
            outcome.Status = IncompleteText(outcome.Issues, options.MinimumIssues);
            progress.Show(outcome.Status);
            return outcome;
        }
    }
    progress.Step(maxPasses * kBlocks, maxPasses * kBlocks);
    if (options.FetchingDone) options.FetchingDone();
    // One data date for the comparison and both saves: the filing must take the CSV just
    // written, even when the clock passes the moment the data date changes in between.
    const std::string dataDate = options.DataDate ? options.DataDate() : std::string();
    std::vector<std::string> problems;
    CompareWithPreviousDay(grid, pass.blockRows, options, dataDate, outcome, problems);
    if (options.AutoCsvSave || options.AutoDataSave) SaveResults(grid, options, dataDate, progress, outcome);
    std::string status = DayComparisonText(outcome);
    const std::string skipped = SkippedSummary(outcome.Filing.Skipped);
    if (!skipped.empty()) status += (status.empty() ? "" : "  ") + skipped;
    outcome.Status = status;
    outcome.Error = problems.empty() ? std::string() : problems.front();
    progress.Show(outcome.Status);
    outcome.Ok = true;
    return outcome;
}

std::string DayComparisonText(const DownloadOutcome& outcome) {
    if (outcome.Missing.empty() && outcome.Appeared.empty()) return {};
    std::string text = "前日比";
    if (!outcome.Missing.empty()) text += " 欠落" + std::to_string(outcome.Missing.size()) + "銘柄";
    if (!outcome.Appeared.empty()) text += " 新規" + std::to_string(outcome.Appeared.size()) + "銘柄";
    return text;
}

void DescribeInRunRecord(const DownloadOutcome& outcome, platform::RunRecord& record) {
    DescribeFilingInRunRecord(outcome.Ok, outcome.Filing, record);
    record.Notes.push_back("issues=" + std::to_string(outcome.Issues));
    if (outcome.PreviousCsv) record.Notes.push_back("前日CSV " + outcome.PreviousCsv->filename().string());
    if (!outcome.Missing.empty()) record.Notes.push_back("欠落 " + CodeList(outcome.Missing));
    if (!outcome.Appeared.empty()) record.Notes.push_back("新規 " + CodeList(outcome.Appeared));
    for (const ShortPage& page : outcome.ShortPages) {
        record.Notes.push_back("少ないページ " + BlockRange(page.First) + ": " + std::to_string(page.Listed) + "銘柄(前日 " +
                               std::to_string(page.Previous) + "銘柄)");
    }
    if (!outcome.Ok) record.Notes.push_back(outcome.Status);
    record.Error = outcome.Error;
}

}  // namespace mirolanda::quotes
