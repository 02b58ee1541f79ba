// Bringing years of daily CSV files into the database: the files and folders named, oldest day
// first, whole days committed in batches, so a stopped import keeps what it committed and a
// rerun stores the same days again to the same result.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "market/DaySnapshot.h"
#include "marketdb/MarketDb.h"
#include "platform/Progress.h"

namespace mirolanda::marketdb {

struct DayFile {
    platform::Date Day;
    std::filesystem::path Path;
};

struct Refusal {
    std::filesystem::path Path;
    std::string Reason;
};

struct ImportSummary {
    int Days = 0;
    int64_t Bars = 0;
    std::vector<Refusal> Refused;
    bool Cancelled = false;
};

// The daily CSV files ("yyyymmdd.csv", any letter case) among the paths, a folder giving those
// directly inside it, ordered by day; a later file of a day already listed replaces it. Other
// names and missing paths go to `refused`.
std::vector<DayFile> ListDayFiles(const std::vector<std::filesystem::path>& paths, std::vector<Refusal>& refused);

// Reads one file as the day's snapshot; throws platform::Error (with the file) when it cannot.
using DayReader = std::function<market::DaySnapshot(const DayFile&)>;

// Rows committed together: one transaction writes each touched page once, where a transaction a
// day would write nearly every page of the file again each day (bars are keyed by code first).
inline constexpr int64_t kImportBatchRows = 400000;

// Stores each listed file through the reader; a file that cannot be read is refused with the
// reason and the others stored. Commits about every kImportBatchRows rows and at the end.
// Progress: a status line per day and Step(days done, days). Stops between days once `cancel`
// is set, the days read until then committed.
ImportSummary ImportDays(MarketDb& store, const std::vector<DayFile>& files, const DayReader& read,
                         const platform::Progress& progress, const std::atomic<bool>* cancel = nullptr);

}  // namespace mirolanda::marketdb
