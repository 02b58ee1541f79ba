// The daily download: every code from 1000 to 9999 in 180 requests of fifty, parsed into the
// result grid, checked for completeness, then optionally saved as the daily CSV file and
// filed into the history files. Used by the window (on a worker thread) and by the CLI.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/HttpClient.h"
#include "platform/Progress.h"
#include "platform/Table.h"

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

struct DownloadOutcome {
    bool Ok = false;
    std::string Status;  // on failure the status text: "Internet Error(…)" or the incomplete-download text
    std::string Detail;  // on a failed request the HTTP library's own text
    bool Cancelled = false;  // the failed request was cancelled
    int Issues = 0;      // issue rows in the grid
    std::optional<std::filesystem::path> CsvPath;  // the CSV written, if any
};

// Runs the download into `grid` (reset at each pass). Failures of requests end it with
// Ok == false and nothing saved; errors of saving propagate as exceptions.
DownloadOutcome RunDownload(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                            const platform::Progress& progress = {});

}  // namespace mirolanda::quotes
