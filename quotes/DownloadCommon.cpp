#include "quotes/DownloadCommon.h"

#include <algorithm>
#include <iterator>

#include "platform/Errors.h"
#include "quotes/CsvFile.h"
#include "quotes/StockFile.h"

namespace mirolanda::quotes {
namespace {

constexpr size_t kCodesInLog = 200;

std::string DayList(const std::vector<platform::Date>& days) {
    std::string text;
    for (const platform::Date& day : days) text += (text.empty() ? "" : ", ") + platform::FormatSlashed(day);
    return text;
}

std::string CodeList(const std::vector<market::IssueCode>& codes) {
    std::string text;
    for (size_t i = 0; i < codes.size() && i < kCodesInLog; ++i) text += (i > 0 ? "," : "") + codes[i].Text();
    if (codes.size() > kCodesInLog) text += " ほか" + std::to_string(codes.size() - kCodesInLog) + "銘柄";
    return text;
}

}  // namespace

bool IsIncomplete(const DownloadOptions& options, int issues) {
    return options.CompletenessCheck && options.MinimumIssues > issues;
}

std::string IncompleteDownloadText(int issues, double minimum) {
    return "ダウンロード銘柄数が不足しています(" + std::to_string(issues) + "銘柄、必要数 " +
           std::to_string(static_cast<long long>(minimum)) + "銘柄)";
}

void SaveDay(const market::DaySnapshot& day, const DownloadOptions& options, const platform::Progress& progress,
             DownloadOutcome& outcome) {
    if (options.AutoCsvSave) {
        DailyCsvStore csv(options.CsvFolder);
        csv.Add(day, progress);
        outcome.CsvPath = csv.LastPath();
    }
    if (options.AutoDataSave) {
        // Without this run's CSV the history files follow the day's CSV as saved before, if any:
        // the CSV stays what they are filed from.
        if (options.AutoCsvSave) {
            FileDay(day, options.StockFolder, progress, &outcome.Filing);
        } else {
            ConvertCsvToIssueFiles(DailyCsvPath(options.CsvFolder, day.Day), options.StockFolder, progress, &outcome.Filing);
        }
    }
    for (market::DayStore* store : options.MoreStores) store->Add(day, progress);
}

bool SaveDayOrTell(const market::DaySnapshot& day, const DownloadOptions& options, const platform::Progress& progress,
                   DownloadOutcome& outcome) {
    try {
        SaveDay(day, options, progress, outcome);
        return true;
    } catch (const platform::Error& e) {
        outcome.Ok = false;
        outcome.SaveFailed = true;
        outcome.Status = std::string(kSaveFailedText) + ": " + e.what();
        return false;
    }
}

std::optional<std::set<market::IssueCode>> CompareWithPreviousDay(const market::DaySnapshot& day,
                                                                  const DownloadOptions& options,
                                                                  DownloadOutcome& outcome) {
    outcome.PreviousCsv = NewestDailyCsv(options.CsvFolder, platform::FormatYmd(day.Day));
    if (!outcome.PreviousCsv) return std::nullopt;
    std::set<market::IssueCode> before;
    try {
        for (const market::SnapshotRow& row : ReadDailyCsv(*outcome.PreviousCsv)) before.insert(row.Code);
    } catch (const platform::Error& e) {
        outcome.Detail = std::string("前日のCSVファイルを比較に使えません: ") + e.what();
        outcome.PreviousCsv.reset();
        return std::nullopt;
    }
    std::set<market::IssueCode> now;
    for (const market::SnapshotRow& row : day.Rows) now.insert(row.Code);
    std::set_difference(before.begin(), before.end(), now.begin(), now.end(), std::back_inserter(outcome.Missing));
    std::set_difference(now.begin(), now.end(), before.begin(), before.end(), std::back_inserter(outcome.Appeared));
    return before;
}

std::string DayComparisonText(const DownloadOutcome& outcome) {
    if (outcome.Missing.empty() && outcome.Appeared.empty()) return {};
    std::string text = "前日比";
    if (!outcome.Missing.empty()) text += " 欠落" + std::to_string(outcome.Missing.size()) + "銘柄";
    if (!outcome.Appeared.empty()) text += " 新規" + std::to_string(outcome.Appeared.size()) + "銘柄";
    return text;
}

std::string SiteMissingDaysText(const std::vector<platform::Date>& days) {
    if (days.empty()) return {};
    return "銘柄別データに欠けている営業日があります(株価サイトからは当日分のみ取得できます): " + DayList(days);
}

std::string DayRemarks(const DownloadOutcome& outcome) {
    std::vector<std::string> parts;
    if (!outcome.CaughtUp.empty()) parts.push_back("追加取得した日: " + DayList(outcome.CaughtUp));
    if (!outcome.NotCaughtUp.empty()) parts.push_back("取得しなかった欠落日(20営業日より前): " + DayList(outcome.NotCaughtUp));
    parts.push_back(SiteMissingDaysText(outcome.MissingDays));
    parts.push_back(DayComparisonText(outcome));
    parts.push_back(SkippedSummary(outcome.Filing.Skipped));
    for (const calendar::CalendarDifference& difference : outcome.CalendarDifferences) {
        parts.push_back(calendar::CalendarDifferenceText(difference));
    }
    std::string status;
    for (const std::string& part : parts) {
        if (!part.empty()) status += (status.empty() ? "" : "　") + part;
    }
    return status;
}

void DescribeInRunRecord(const DownloadOutcome& outcome, platform::RunRecord& record) {
    DescribeFilingInRunRecord(outcome.Ok, outcome.Filing, record);
    record.Notes.push_back("issues=" + std::to_string(outcome.Issues));
    if (!outcome.CaughtUp.empty()) record.Notes.push_back("追加取得 " + DayList(outcome.CaughtUp));
    if (!outcome.MissingDays.empty()) record.Notes.push_back("欠けている営業日 " + DayList(outcome.MissingDays));
    for (const calendar::CalendarDifference& difference : outcome.CalendarDifferences) {
        record.Notes.push_back(calendar::CalendarDifferenceText(difference));
    }
    if (outcome.PreviousCsv) record.Notes.push_back("前日CSV " + outcome.PreviousCsv->filename().string());
    if (!outcome.Missing.empty()) record.Notes.push_back("欠落 " + CodeList(outcome.Missing));
    if (!outcome.Appeared.empty()) record.Notes.push_back("新規 " + CodeList(outcome.Appeared));
    for (const ShortPage& page : outcome.ShortPages) {
        record.Notes.push_back("少ないページ " + std::to_string(page.First) + "～" + std::to_string(page.First + page.Count) + ": " +
                               std::to_string(page.Listed) + "銘柄(前日 " + std::to_string(page.Previous) + "銘柄)");
    }
    if (!outcome.Ok) record.Notes.push_back(outcome.Status);
    record.Error = outcome.Detail;
}

}  // namespace mirolanda::quotes
