// The market history database as the commands open it, and a daily CSV file read as the day
// it holds, for the commands that fill the database from the CSV folder.
#pragma once

#include <filesystem>
#include <memory>

#include "cli/CliContext.h"
#include "market/DaySnapshot.h"
#include "marketdb/MarketDb.h"

namespace mirolanda::cli {

// The database the settings name ("MarketDatabase"); a damaged file is set aside, said once on
// stderr, and a new one made. Throws DatabaseError when it cannot be opened at all.
std::unique_ptr<marketdb::MarketDb> OpenMarketDb(CliContext& context);

// The database for the commands that only read or check it; throws FileError when it has not
// been made yet.
std::filesystem::path ExistingMarketDb(CliContext& context);

// The daily CSV file of `day` as that day's snapshot (source "csv"; prices in whole yen).
// Throws as quotes::ReadDailyCsv does.
market::DaySnapshot ReadCsvDay(const std::filesystem::path& path, const platform::Date& day);

}  // namespace mirolanda::cli
