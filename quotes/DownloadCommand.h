// The daily download: every code from 1000 to 9999 in 180 requests of fifty, parsed into the
// result grid, checked for completeness, then optionally saved as the daily CSV file and
// filed into the history files. Used by the window (on a worker thread) and by the CLI.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/HttpClient.h"
#include "platform/Progress.h"
#include "platform/RunLog.h"
#include "platform/Table.h"
#include "quotes/StockFile.h"

namespace mirolanda::quotes {

struct DownloadOptions {
    std::string QuoteSiteUrl;  // base such as "http://127.0.0.1:8787"; slashes at its end are dropped
    int ConnectionMode = 0;    // "ConnectionMode" as stored
    std::string Proxy;         // server + ":" + port, used by mode 2
    bool CompletenessCheck = true;
    double MinimumIssues = 3560;  // leading number of the minimum box
    int MaxPasses = 5;
    bool AutoCsvSave = true;
    bool AutoDataSave = true;
    std::filesystem::path TempFolder;
    std::filesystem::path CsvFolder;
    std::filesystem::path StockFolder;
    // The data date "yyyymmdd" at the moment the CSV is named.
    std::function<std::string()> DataDate;
    // Called once the fetching is over and before the saves (the window re-enables its tabs).
    std::function<void()> FetchingDone;
};

// A page that listed fewer issues than its request asked for and than the previous day's
// CSV file had in its codes.
struct ShortPage {
    int First = 0;     // the block's first code
    int Listed = 0;
    int Previous = 0;
};

struct DownloadOutcome {
    bool Ok = false;
    // On failure: "Internet Error(…)" or the incomplete-download text. On success the day's
    // remarks, or "": «前日比 欠落3銘柄» and the summary of history files left alone.
    std::string Status;
    std::string Error;   // on a failed request: the HTTP client's own text
    int Issues = 0;      // issue rows in the grid
    std::optional<std::filesystem::path> CsvPath;  // the CSV written, if any
    FilingReport Filing;                            // history files written and left alone
    // Against the previous daily CSV file (the newest before the data date), when there is one.
    std::optional<std::filesystem::path> PreviousCsv;
    std::vector<int> Missing;   // its issues that this day lacks
    std::vector<int> Appeared;  // this day's issues that it lacked
    std::vector<ShortPage> ShortPages;
};

// Runs the download into `grid` (reset at each pass). Creates the temporary, CSV and history
// folders it will need before the first request (FileError when one cannot be made). Failures
// of requests end it with Ok == false and nothing saved; a page cut short counts as a failed
// request. Damaged history files are left alone and reported, the day still counts as done;
// other errors of saving propagate as exceptions.
DownloadOutcome RunDownload(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                            const platform::Progress& progress = {});

// «前日比 欠落3銘柄» (and « 新規2銘柄»); "" when nothing changed or there was nothing to compare.
std::string DayComparisonText(const DownloadOutcome& outcome);

// The outcome's part of a run-log line: outcome, stored, skipped files, notes (missing and
// new issues, short pages, the previous CSV compared with) and the error text.
void DescribeInRunRecord(const DownloadOutcome& outcome, platform::RunRecord& record);

}  // namespace mirolanda::quotes
