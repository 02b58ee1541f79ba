#include "marketdb/Import.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "marketdb/Schema.h"
#include "marketdb/Sqlite.h"
#include "platform/Errors.h"

namespace mirolanda::marketdb {
namespace {

std::optional<platform::Date> DayOfName(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    if (name.size() != 12) return std::nullopt;
    std::string extension = name.substr(8);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".csv") return std::nullopt;
    return platform::ParseYmd(name.substr(0, 8));
}

}  // namespace

std::vector<DayFile> ListDayFiles(const std::vector<std::filesystem::path>& paths, std::vector<Refusal>& refused) {
    std::map<int64_t, std::filesystem::path> byDay;
    auto take = [&](const std::filesystem::path& path, bool named) {
        if (auto day = DayOfName(path)) {
            byDay[DayKey(*day)] = path;
        } else if (named) {
            refused.push_back({path, "ファイル名は YYYYMMDD.CSV でなければなりません"});
        }
    };
    for (const auto& path : paths) {
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            std::vector<std::filesystem::path> inside;
            for (const auto& entry : std::filesystem::directory_iterator(path, ec)) {
                if (entry.is_regular_file(ec)) inside.push_back(entry.path());
            }
            std::sort(inside.begin(), inside.end());
            for (const auto& file : inside) take(file, false);
        } else if (std::filesystem::is_regular_file(path, ec)) {
            take(path, true);
        } else {
            refused.push_back({path, "ファイルがありません"});
        }
    }
    std::vector<DayFile> files;
    for (const auto& [key, path] : byDay) files.push_back({DateOfKey(key), path});
    return files;
}

ImportSummary ImportDays(MarketDb& store, const std::vector<DayFile>& files, const DayReader& read,
                         const platform::Progress& progress, const std::atomic<bool>* cancel) {
    ImportSummary summary;
    const int total = static_cast<int>(files.size());
    // A large cache for the batch, so its pages stay in memory until the commit writes them.
    store.Db().Execute("PRAGMA cache_size=-262144");
    std::optional<Transaction> batch;
    int64_t batchRows = 0;
    for (int i = 0; i < total; ++i) {
        if (cancel && cancel->load()) {
            summary.Cancelled = true;
            break;
        }
        const DayFile& file = files[static_cast<size_t>(i)];
        progress.Show(platform::FormatSlashed(file.Day) + " (" + std::to_string(i + 1) + "/" + std::to_string(total) + ")");
        market::DaySnapshot day;
        try {
            day = read(file);
        } catch (const platform::Error& e) {
            summary.Refused.push_back({file.Path, e.what()});
            continue;
        }
        if (!batch) batch.emplace(store.Db());
        store.Add(day, {});
        batchRows += day.IssueCount();
        if (batchRows >= kImportBatchRows) {
            batch->Commit();
            batch.reset();
            batchRows = 0;
        }
        ++summary.Days;
        summary.Bars += day.IssueCount();
        progress.Step(i + 1, total);
        progress.RunPending();
    }
    if (batch) batch->Commit();
    store.Db().Execute("PRAGMA cache_size=-65536");
    return summary;
}

}  // namespace mirolanda::marketdb
