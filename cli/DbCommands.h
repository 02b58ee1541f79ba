// The sub-commands of 'db', one file each; DbCommand.cpp dispatches to them.
#pragma once

#include <filesystem>
#include <vector>

#include "cli/CliContext.h"
#include "marketdb/Import.h"
#include "marketdb/MarketDb.h"

namespace mirolanda::cli {

int RunDbImport(CliContext& context, const Args& args);   // db import PATH...
int RunDbCheck(CliContext& context, const Args& args);    // db check
int RunDbRebuild(CliContext& context, const Args& args);  // db rebuild
int RunDbSplits(CliContext& context, const Args& args);   // db splits [--suggest]

// The import of db import and db rebuild: the daily CSV files among the paths, with a progress
// line on stderr; and its summary on stdout (refused files on stderr), exit 1 when one was refused.
marketdb::ImportSummary ImportFiles(marketdb::MarketDb& db, const std::vector<std::filesystem::path>& paths);
int PrintImportSummary(const marketdb::ImportSummary& summary);

}  // namespace mirolanda::cli
