// What both daily downloads share, the quote site's and the J-Quants API's: their options and
// outcome, and the end they have in common: the completeness text and the saves of the day.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "platform/Progress.h"
#include "platform/RunLog.h"
#include "platform/Table.h"
#include "quotes/ExchangeCalendar.h"
#include "market/IssueCode.h"
#include "quotes/StockFile.h"

namespace mirolanda::quotes {

enum class QuoteSource { Site, JQuants };

// The J-Quants API as the quote source.
struct JQuantsSettings {
    std::string ApiUrl = "https://api.jquants.com/v2";  // slashes at its end are dropped
    std::string ApiKey;  // sent in the x-api-key header only; no status text or error holds it
    int RequestsPerMinute = 5;  // the plan's limit (Free 5, Light 60)
    // With options.BuiltinBusinessDay and this clock set, the exchange's trading calendar
    // (fetched once a day, cached in the temporary folder) decides the data date where the two
    // disagree, and missed days are caught up. Unset: options.DataDate, no catch-up.
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
    // The built-in calendar's business days. With it the quote site's download names the
    // business days the history files lack (it serves the present day only), and the API's
    // catches them up.
    BusinessDayRule BuiltinBusinessDay;
    // Called once the fetching is over and before the saves (the window re-enables its tabs).
    std::function<void()> FetchingDone;
};

// A quote-site page that listed fewer issues than its request asked for and than the
// previous day's CSV file had in its codes.
// The quote site's request: fifty codes from a block's first.
inline constexpr int kCodesPerRequest = 50;
// «1000～1050»: a block as the status line and the run log name it, by its first code and
// the first code + 50.
std::string BlockRange(int first);

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
    // On a failed request the HTTP library's own text (for a tooltip and the log); on success a
    // problem of the comparison with the previous day.
    std::string Detail;
    bool Cancelled = false;  // the failed request was cancelled
    int Issues = 0;      // issue rows in the grid
    std::optional<std::filesystem::path> CsvPath;  // the CSV written, if any
    FilingReport Filing;                            // history files written and left alone
    // Against the previous daily CSV file (the newest before the data date), when there is one.
    std::optional<std::filesystem::path> PreviousCsv;
    std::vector<market::IssueCode> Missing;   // its issues that this day lacks
    std::vector<market::IssueCode> Appeared;  // this day's issues that it lacked
    std::vector<ShortPage> ShortPages;
    // The quote site only: business days before the data date that the history files lack and
    // that the site cannot give (at most the last 20).
    std::vector<platform::Date> MissingDays;
    // J-Quants only: the days caught up before the data date (oldest first), the missed days
    // older than the limit that were left, and the calendar differences not reported before.
    std::vector<platform::Date> CaughtUp;
    std::vector<platform::Date> NotCaughtUp;
    std::vector<CalendarDifference> CalendarDifferences;
};

// The saves that end a download: the daily CSV of `dataDate` ("yyyymmdd") when AutoCsvSave,
// then, when AutoDataSave, the filing of that date's CSV (the one just written or an earlier
// one), damaged history files left alone and recorded in outcome.Filing.
void SaveDownloadResults(const platform::Table& grid, const DownloadOptions& options, const std::string& dataDate,
                         const platform::Progress& progress, DownloadOutcome& outcome);

// Compares the grid's issues with the newest daily CSV before `dataDate` and sets Missing,
// Appeared and PreviousCsv; gives that day's codes. A previous file that cannot be read is
// named in outcome.Detail instead: it never costs the day.
std::optional<std::set<market::IssueCode>> CompareWithPreviousDay(const platform::Table& grid, const DownloadOptions& options,
                                                          const std::string& dataDate, DownloadOutcome& outcome);

// «前日比 欠落3銘柄» (and « 新規2銘柄»); "" when nothing changed or there was nothing to compare.
std::string DayComparisonText(const DownloadOutcome& outcome);
// «銘柄別データに欠けている営業日があります(…): 2026/12/03, 2026/12/04»; "" for no days.
std::string SiteMissingDaysText(const std::vector<platform::Date>& days);
// The status of a day that went through, its parts joined by "　": the days caught up (and
// those left, older than the limit), the comparison with the day before, the history files
// left alone, and where the exchange's calendar differs from the built-in one.
std::string DayRemarks(const DownloadOutcome& outcome);

// The source a run-log line names: the quote site's address, or "J-Quants " and the API's.
std::string DownloadSourceText(const DownloadOptions& options);
// The outcome's part of a run-log line: outcome, stored, skipped files, notes (days caught up,
// missing and new issues, short pages, the previous CSV compared with) and the error text.
void DescribeInRunRecord(const DownloadOutcome& outcome, platform::RunRecord& record);

// Fewer issues than the minimum, when the check is on. The comparison is written so that a
// minimum that is not a number never fails it.
bool IsIncomplete(const DownloadOptions& options, int issues);
// «ダウンロード銘柄数が不足しています(3559銘柄、必要数 3560銘柄)»
std::string IncompleteDownloadText(int issues, double minimum);

}  // namespace mirolanda::quotes
