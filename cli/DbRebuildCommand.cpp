// db rebuild: the market database made anew from the CSV folder.
#include <cstdio>

#include "cli/DbCommands.h"
#include "cli/WriterLock.h"
#include "marketdb/Health.h"
#include "settings/CommandOptions.h"

namespace mirolanda::cli {
namespace {

void RemoveWithSides(const std::filesystem::path& file) {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix, ec);
}

// The splits the user typed: the CSV files cannot give them back.
std::vector<market::Split> UserSplits(const std::filesystem::path& file) {
    std::vector<market::Split> splits;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return splits;
    try {
        marketdb::MarketDb old(file);
        for (auto& s : old.AllSplits()) {
            if (s.Origin == marketdb::kUserOrigin) splits.push_back(std::move(s));
        }
    } catch (const marketdb::DatabaseError&) {
        // A damaged file keeps what it holds where it is set aside below.
    }
    return splits;
}

}  // namespace

int RunDbRebuild(CliContext& context, const Args& args) {
    if (!args.empty()) throw UsageError{"db rebuild に引数はありません"};
    const platform::FolderLock lock = LockForWriting(context);
    const std::filesystem::path file = settings::MarketDatabaseFrom(context.Settings());
    const std::filesystem::path fresh = file.string() + ".rebuild";
    RemoveWithSides(fresh);  // left by a rebuild that was stopped
    const auto splits = UserSplits(file);
    marketdb::ImportSummary summary;
    {
        marketdb::MarketDb db(fresh);
        summary = ImportFiles(db, {context.folders.CsvData});
        for (const auto& s : splits) db.RecordSplit(s);
    }  // closed: its log is written into the file and removed
    // The old file may hold days the CSV folder has not (a backfill): kept beside, never deleted.
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        const auto kept = marketdb::SetAside(file, context.clock->Now(), "replaced");
        std::fprintf(stderr, "mirolanda-cli: 前のデータベースは %s に残しました\n", kept.string().c_str());
    }
    std::filesystem::rename(fresh, file, ec);
    if (ec) throw platform::FileError(file, "作り直したデータベースを置けません (" + ec.message() + ")");
    return PrintImportSummary(summary);
}

}  // namespace mirolanda::cli
