// What both daily downloads share, the quote site's and the J-Quants API's: their options and
// outcome, and the end they have in common: the completeness text and the saves of the day.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "platform/Progress.h"
#include "platform/Table.h"
#include "quotes/ExchangeCalendar.h"

namespace mirolanda::quotes {

enum class QuoteSource { Site, JQuants };

// The J-Quants API as the quote source.
struct JQuantsSettings {
    std::string ApiUrl = "https://api.jquants.com/v2";  // slashes at its end are dropped
    std::string ApiKey;  // sent in the x-api-key header only; no status text or error holds it
    // The built-in calendar's business days; with Now also set, the exchange's trading calendar
    // (fetched once a day, cached in the temporary folder) decides the data date where the two
    // disagree, and missed days are caught up. Unset: options.DataDate, no catch-up.
    BusinessDayRule BuiltinBusinessDay;
    std::function<platform::DateTime()> Now;
    bool CatchUp = true;     // fetch, save and file the business days missed since the newest history day
    int MaxCatchUpDays = 20;  // at most the last so many of them, oldest first
};

struct DownloadOptions {
    QuoteSource Source = QuoteSource::Site;
    JQuantsSettings JQuants;
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
    int Issues = 0;      // issue rows in the grid
    std::optional<std::filesystem::path> CsvPath;  // the CSV written, if any
    // J-Quants only: the days caught up before the data date (oldest first), the missed days
    // older than the limit that were left, and the calendar differences not reported before.
    std::vector<platform::Date> CaughtUp;
    std::vector<platform::Date> NotCaughtUp;
    std::vector<CalendarDifference> CalendarDifferences;
};

// The saves that end a download: the daily CSV of `dataDate` ("yyyymmdd") when AutoCsvSave,
// then, when AutoDataSave, the filing of that date's CSV (the one just written or an earlier one).
void SaveDownloadResults(const platform::Table& grid, const DownloadOptions& options, const std::string& dataDate,
                         const platform::Progress& progress, DownloadOutcome& outcome);

// «ダウンロード銘柄数が不足しています(3559銘柄、必要数 3560銘柄)»
std::string IncompleteDownloadText(int issues, double minimum);

}  // namespace mirolanda::quotes
