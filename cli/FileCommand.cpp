// file: files daily CSV files into the history files, in the order given.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/MarketStore.h"
#include "quotes/CsvFile.h"
#include "cli/WriterLock.h"
#include "quotes/StockFile.h"

namespace mirolanda::cli {
namespace {

// The window shows this text in a message box, its two lines split by a carriage return.
std::string BadNameText() {
    std::string text(quotes::kBadCsvNameMessage);
    for (char& c : text) {
        if (c == '\r') c = '\n';
    }
    return text;
}

// Adds each filed CSV's day to the market database. The database is an addition to the CSV and
// history files: its failure is said on stderr and in the run log and changes nothing else.
void AddToMarketDb(CliContext& context, const quotes::BatchFilingResult& result, platform::RunRecord& record) {
    marketdb::SideStore db = MarketSideStore(context);
    for (const auto& path : result.Filed) {
        try {
            db.Add(quotes::ReadDailyCsvDay(path), {});
        } catch (const std::exception& e) {
            std::fprintf(stderr, "mirolanda-cli: %s: %s\n", marketdb::kNotStoredText, e.what());
            record.Notes.push_back(std::string(marketdb::kNotStoredText) + ": " + e.what());
            return;
        }
    }
    TellNotices(db, record);
}

int RunFile(CliContext& context, const Args& args) {
    if (args.empty()) throw UsageError{"file takes one or more CSV files"};
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
    if (!result.Report.Skipped.empty()) std::fprintf(stderr, "%s\n", quotes::SkippedSummary(result.Report.Skipped).c_str());
    for (const auto& path : result.BadNames) {
        std::fprintf(stderr, "%s:\n%s\n", path.string().c_str(), BadNameText().c_str());
    }
    for (const auto& path : result.Missing) {
        std::fprintf(stderr, "%s: ファイルがありません\n", path.string().c_str());
    }
    if (failed) return 1;
    return result.Report.Skipped.empty() ? 0 : kExitSkipped;
}

}  // namespace

const Command kFileCommand = {
    "file",
    "file CSV...\n"
    "Files daily CSV files (named YYYYMMDD.CSV, any letter case) into the history files of the\n"
    "stock data folder, in the order given: each issue's close is recorded under the file's day.\n"
    "A file with another name, or one that does not exist, is reported on stderr and the others\n"
    "are filed; the exit status is then 1. A malformed line stops the command before any history\n"
    "file is changed. A damaged history file (not 3,700 bytes, days out of order, unreadable) is\n"
    "left exactly as it is and named on stderr; every other issue is filed and the exit status is\n"
    "4. Each file filed is also stored in the market database (see 'db'); when that fails, it is said\n"
    "on stderr and the rest is unchanged.\n"
    "While another command writes the program's data it waits (see --wait; exit status 5\n"
    "when it gives up). Leaves a line in the run log (see 'log').",
    RunFile,
};

}  // namespace mirolanda::cli
