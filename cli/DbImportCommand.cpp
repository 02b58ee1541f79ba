// db import: daily CSV files and folders of them into the market database.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/DbCommands.h"
#include "cli/MarketStore.h"
#include "cli/WriterLock.h"
#include "quotes/CsvFile.h"
#include "marketdb/Import.h"

namespace mirolanda::cli {

// Prints the summary; exit 1 when a file was refused.
int PrintImportSummary(const marketdb::ImportSummary& summary) {
    std::printf("%d 日, %lld 本を記録しました\n", summary.Days, static_cast<long long>(summary.Bars));
    for (const auto& r : summary.Refused) {
        std::fprintf(stderr, "mirolanda-cli: %s: %s\n", r.Path.string().c_str(), r.Reason.c_str());
    }
    if (!summary.Refused.empty()) std::printf("取り込めなかったファイル %zu\n", summary.Refused.size());
    return summary.Refused.empty() ? 0 : 1;
}

marketdb::ImportSummary ImportFiles(marketdb::MarketDb& db, const std::vector<std::filesystem::path>& paths) {
    std::vector<marketdb::Refusal> refused;
    const auto files = marketdb::ListDayFiles(paths, refused);
    platform::Progress progress;
    progress.Status = [](const std::string& text) { std::fprintf(stderr, "\r取り込み中 %s", text.c_str()); };
    auto summary = marketdb::ImportDays(
        db, files, [](const marketdb::DayFile& f) { return quotes::ReadDailyCsvDay(f.Path); }, progress);
    if (!files.empty()) std::fputc('\n', stderr);
    summary.Refused.insert(summary.Refused.begin(), refused.begin(), refused.end());
    return summary;
}

int RunDbImport(CliContext& context, const Args& args) {
    if (args.empty()) throw UsageError{"db import にはCSVファイルかフォルダを1つ以上指定してください"};
    const platform::FolderLock lock = LockForWriting(context);
    auto db = OpenMarketDb(context);
    return PrintImportSummary(ImportFiles(*db, {args.begin(), args.end()}));
}

}  // namespace mirolanda::cli
