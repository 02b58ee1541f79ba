// The market history database as the commands open it.
#pragma once

#include <filesystem>
#include <memory>

#include "cli/CliContext.h"
#include "market/DaySnapshot.h"
#include "marketdb/MarketDb.h"
#include "marketdb/SideStore.h"
#include "platform/RunLog.h"

namespace mirolanda::cli {

// The database the settings name ("MarketDatabase"); a damaged file is set aside, said once on
// stderr, and a new one made. Throws DatabaseError when it cannot be opened at all.
std::unique_ptr<marketdb::MarketDb> OpenMarketDb(CliContext& context);

// The database the settings name as a store beside the CSV and history files (a download, a
// filing); what it has to tell goes out through TellNotices.
marketdb::SideStore MarketSideStore(const CliContext& context);
// Each notice of the store once on stderr and in the run log's notes.
void TellNotices(const marketdb::SideStore& store, platform::RunRecord& record);

// The database for the commands that only read or check it; throws FileError when it has not
// been made yet.
std::filesystem::path ExistingMarketDb(CliContext& context);

}  // namespace mirolanda::cli
