#include "quotes/DownloadCommon.h"

#include <algorithm>
#include <iterator>

#include "quotes/CsvFile.h"
#include "quotes/StockFile.h"

namespace mirolanda::quotes {
namespace {

constexpr size_t kCodesInLog = 200;

std::string CodeList(const std::vector<IssueCode>& codes) {
    std::string text;
    for (size_t i = 0; i < codes.size() && i < kCodesInLog; ++i) text += (i > 0 ? "," : "") + codes[i].Text();
    if (codes.size() > kCodesInLog) text += " ほか" + std::to_string(codes.size() - kCodesInLog) + "銘柄";
    return text;
}

}  // namespace

std::string IncompleteDownloadText(int issues, double minimum) {
    return "ダウンロード銘柄数が不足しています(" + std::to_string(issues) + "銘柄、必要数 " +
           std::to_string(static_cast<long long>(minimum)) + "銘柄)";
}

void SaveDownloadResults(const platform::Table& grid, const DownloadOptions& options, const std::string& dataDate,
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

std::optional<std::set<IssueCode>> CompareWithPreviousDay(const platform::Table& grid, const DownloadOptions& options,
                                                          const std::string& dataDate, DownloadOutcome& outcome) {
    outcome.PreviousCsv = NewestDailyCsv(options.CsvFolder, dataDate);
    if (!outcome.PreviousCsv) return std::nullopt;
    std::set<IssueCode> before;
    try {
        for (const CsvLine& line : ReadDailyCsv(*outcome.PreviousCsv)) before.insert(line.Code);
    } catch (const platform::Error& e) {
        outcome.Detail = std::string("前日のCSVファイルを比較に使えません: ") + e.what();
        outcome.PreviousCsv.reset();
        return std::nullopt;
    }
    std::set<IssueCode> now;
    for (const auto& row : grid.Rows()) {
        if (!row.empty()) now.insert(CodeOfCell(row[0]));
    }
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

std::string DayRemarks(const DownloadOutcome& outcome) {
    std::string status = DayComparisonText(outcome);
    const std::string skipped = SkippedSummary(outcome.Filing.Skipped);
    if (!skipped.empty()) status += (status.empty() ? "" : "  ") + skipped;
    return status;
}

void DescribeInRunRecord(const DownloadOutcome& outcome, platform::RunRecord& record) {
    DescribeFilingInRunRecord(outcome.Ok, outcome.Filing, record);
    record.Notes.push_back("issues=" + std::to_string(outcome.Issues));
    for (const platform::Date& day : outcome.CaughtUp) record.Notes.push_back("追加取得 " + platform::FormatSlashed(day));
    if (outcome.PreviousCsv) record.Notes.push_back("前日CSV " + outcome.PreviousCsv->filename().string());
    if (!outcome.Missing.empty()) record.Notes.push_back("欠落 " + CodeList(outcome.Missing));
    if (!outcome.Appeared.empty()) record.Notes.push_back("新規 " + CodeList(outcome.Appeared));
    for (const ShortPage& page : outcome.ShortPages) {
        record.Notes.push_back("少ないページ " + std::to_string(page.First) + "～" + std::to_string(page.First + 50) + ": " +
                               std::to_string(page.Listed) + "銘柄(前日 " + std::to_string(page.Previous) + "銘柄)");
    }
    if (!outcome.Ok) record.Notes.push_back(outcome.Status);
    record.Error = outcome.Detail;
}

}  // namespace mirolanda::quotes
