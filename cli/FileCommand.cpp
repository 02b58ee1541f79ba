// file: files daily CSV files into the history files, in the order given.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/FailureLine.h"
#include "cli/MarketStore.h"
#include "quotes/CsvFile.h"
#include "cli/WriterLock.h"
#include "quotes/StockFile.h"

namespace mirolanda::cli {
namespace {

// Adds each filed CSV's day to the market database. The database is an addition to the CSV and
// history files: its failure is said on stderr and in the run log and changes nothing else.
void AddToMarketDb(CliContext& context, const quotes::BatchFilingResult& result, platform::RunRecord& record) {
    marketdb::SideStore db = MarketSideStore(context);
    for (const auto& path : result.Filed) {
        try {
            db.Add(quotes::ReadDailyCsvDay(path), {});
        } catch (const std::exception& e) {
            PrintFailure(marketdb::kNotStoredText, e.what());
            record.Notes.push_back(std::string(marketdb::kNotStoredText) + ": " + e.what());
            return;
        }
    }
    TellNotices(db, record);
}

int RunFile(CliContext& context, const Args& args) {
    if (args.empty()) throw UsageError{"file にはCSVファイルを1つ以上指定してください"};
    const platform::FolderLock lock = LockForWriting(context);
    std::vector<std::filesystem::path> paths(args.begin(), args.end());
    platform::RunRecord record;
    record.Start = context.clock->Now();
    record.Command = "file";
    for (const auto& path : paths) record.Source += (record.Source.empty() ? "" : " ") + path.filename().string();
    // Files everything that can be filed in one go; a bad name, a missing file or a damaged
    // history file is reported and the rest is filed all the same.
    quotes::BatchFilingResult result;
    try {
        result = quotes::ConvertCsvFilesToIssueFiles(paths, context.folders.StockData);
    } catch (const std::exception& e) {
        record.Outcome = "failed";
        record.Error = e.what();
        LogRun(context, record);
        throw;
    }
    AddToMarketDb(context, result, record);
    const bool failed = !result.BadNames.empty() || !result.Missing.empty();
    quotes::DescribeFilingInRunRecord(!failed, result.Report, record);
    for (const auto& path : result.BadNames) record.Notes.push_back("ファイル名エラー " + path.filename().string());
    for (const auto& path : result.Missing) record.Notes.push_back("ファイルがありません " + path.filename().string());
    LogRun(context, record);
    // One line each; the bad-name message's two lines (a box's in the window) become one.
    if (!result.Report.Skipped.empty()) PrintFailure(quotes::SkippedSummary(result.Report.Skipped));
    for (const auto& path : result.BadNames) PrintFailure(path.string(), quotes::kBadCsvNameMessage);
    for (const auto& path : result.Missing) PrintFailure(path.string(), "ファイルがありません");
    if (failed) return 1;
    return result.Report.Skipped.empty() ? 0 : kExitSkipped;
}

}  // namespace

const Command kFileCommand = {
    "file",
    "file CSV...\n"
    "日別CSVファイル (名前は YYYYMMDD.CSV、大文字小文字は問いません) を、指定した順に株価データフォルダの\n"
    "銘柄別データに記録します: 各銘柄の終値をファイルの日付で記録します。ほかの名前のファイルや存在しない\n"
    "ファイルは標準エラーに表示して残りを記録し、終了ステータスは 1 になります。形式の正しくない行があれば、\n"
    "どの銘柄別データも変えずに終わります。壊れた銘柄別データ (3,700 バイトでない、日付の順がおかしい、\n"
    "読めない) はそのまま残して標準エラーに名前を表示し、ほかの銘柄はすべて記録して、終了ステータスは 4\n"
    "になります。記録した各ファイルは市場データベースにも格納します ('db' を参照)。それに失敗したときは\n"
    "標準エラーに表示し、ほかは変わりません。\n"
    "ほかのコマンドがプログラムのデータを書き込んでいる間は待ちます (--wait を参照。あきらめたときは\n"
    "終了ステータス 5)。実行記録に1行残します ('log' を参照)。",
    RunFile,
};

}  // namespace mirolanda::cli
