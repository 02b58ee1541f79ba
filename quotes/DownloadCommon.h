// What every source's daily download shares: its options and outcome, the completeness rule,
// the comparison with the day before and the saves of a day, and their texts.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Date.h"
#include "platform/Progress.h"
#include "platform/RunLog.h"
#include "calendar/ExchangeCalendar.h"
#include "market/DaySnapshot.h"
#include "market/DayStore.h"
#include "market/IssueCode.h"
#include "quotes/StockFile.h"

namespace mirolanda::quotes {

struct DownloadOptions {
    int ConnectionMode = 0;    // "ConnectionMode" as stored
    std::string Proxy;         // server + ":" + port, used by mode 2
    bool CompletenessCheck = true;
    double MinimumIssues = 3560;  // leading number of the minimum box
    int MaxPasses = 5;            // for a source that asks again when a day is incomplete
    bool AutoCsvSave = true;
    bool AutoDataSave = true;
    std::filesystem::path TempFolder;
    std::filesystem::path CsvFolder;
    std::filesystem::path StockFolder;
    // The data date at the moment the command starts (it throws when none can be found).
    std::function<platform::Date()> DataDate;
    // The built-in calendar's business days. With it the business days the history files lack
    // are caught up (a source that serves past days) or named (one that serves today only).
    platform::BusinessDayRule BuiltinBusinessDay;
    // With BuiltinBusinessDay and this clock set, a source's own trading calendar (the
    // exchange's) decides the data date where the two disagree. Unset: DataDate.
    std::function<platform::DateTime()> Now;
    bool CatchUp = true;      // fetch, save and file the business days missed since the newest history day
    int MaxCatchUpDays = 20;  // at most the last so many of them, oldest first
    // Stores that keep each day besides the daily CSV and the history files, after them.
    std::vector<market::DayStore*> MoreStores;
    // Called once the fetching is over and before the saves (the window re-enables its tabs).
    std::function<void()> FetchingDone;
};

// A page that listed fewer issues than its request asked for and than the previous day's CSV
// file had in its codes.
struct ShortPage {
    int First = 0;     // the block's first code
    int Count = 0;     // codes asked for
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
    // The day was fetched whole but could not be saved (Status names the file and why): the
    // day stays in `Day`, to be saved again once the folder is mended.
    bool SaveFailed = false;
    int Issues = 0;      // issues of the day fetched
    // The data date's market as fetched: whole on success, what came before a failure.
    market::DaySnapshot Day;
    std::optional<std::filesystem::path> CsvPath;  // the CSV written, if any
    FilingReport Filing;                            // history files written and left alone
    // Against the previous daily CSV file (the newest before the data date), when there is one.
    std::optional<std::filesystem::path> PreviousCsv;
    std::vector<market::IssueCode> Missing;   // its issues that this day lacks
    std::vector<market::IssueCode> Appeared;  // this day's issues that it lacked
    std::vector<ShortPage> ShortPages;
    // A source that serves today only: business days before the data date that the history
    // files lack and that it cannot give (at most the last 20).
    std::vector<platform::Date> MissingDays;
    // A source that serves past days: the days caught up before the data date (oldest first),
    // the missed days older than the limit that were left; a source with its own calendar: the
    // differences from the built-in one not reported before.
    std::vector<platform::Date> CaughtUp;
    std::vector<platform::Date> NotCaughtUp;
    std::vector<calendar::CalendarDifference> CalendarDifferences;
};

// The saves that end a day: its daily CSV when AutoCsvSave; when AutoDataSave its filing into the
// history files (from memory, or without AutoCsvSave from the day's CSV saved before, if any;
// damaged history files left alone and recorded in outcome.Filing); then each of MoreStores.
void SaveDay(const market::DaySnapshot& day, const DownloadOptions& options, const platform::Progress& progress,
             DownloadOutcome& outcome);

// The start of the status of a day that could not be saved.
inline constexpr std::string_view kSaveFailedText = "保存できませんでした";

// SaveDay, with a file or folder that cannot be written told in the outcome instead of thrown:
// Ok false, SaveFailed, Status «保存できませんでした: <why>: <file>». False when it failed.
bool SaveDayOrTell(const market::DaySnapshot& day, const DownloadOptions& options, const platform::Progress& progress,
                   DownloadOutcome& outcome);

// Compares the day's issues with the newest daily CSV before it and sets Missing, Appeared and
// PreviousCsv; gives that day's codes. A previous file that cannot be read is named in
// outcome.Detail instead: it never costs the day.
std::optional<std::set<market::IssueCode>> CompareWithPreviousDay(const market::DaySnapshot& day,
                                                                  const DownloadOptions& options,
                                                                  DownloadOutcome& outcome);

// «前日比 欠落3銘柄» (and « 新規2銘柄»); "" when nothing changed or there was nothing to compare.
std::string DayComparisonText(const DownloadOutcome& outcome);
// «銘柄別データに欠けている営業日があります(株価サイトからは当日分のみ取得できます): 2026/12/03,
// 2026/12/04»; "" for no days.
std::string SiteMissingDaysText(const std::vector<platform::Date>& days);
// The status of a day that went through, its parts joined by "　": the days caught up (and
// those left, older than the limit), the comparison with the day before, the history files
// left alone, and where the exchange's calendar differs from the built-in one.
std::string DayRemarks(const DownloadOutcome& outcome);

// The outcome's part of a run-log line: outcome, stored, skipped files, notes (days caught up,
// missing and new issues, short pages, the previous CSV compared with) and the error text.
void DescribeInRunRecord(const DownloadOutcome& outcome, platform::RunRecord& record);

// Fewer issues than the minimum, when the check is on. The comparison is written so that a
// minimum that is not a number never fails it.
bool IsIncomplete(const DownloadOptions& options, int issues);
// «ダウンロード銘柄数が不足しています(3559銘柄、必要数 3560銘柄)»
std::string IncompleteDownloadText(int issues, double minimum);

}  // namespace mirolanda::quotes
