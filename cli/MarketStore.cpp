#include "cli/MarketStore.h"

#include <cstdio>

#include "marketdb/Health.h"
#include "platform/Errors.h"
#include "quotes/CsvFile.h"
#include "settings/CommandOptions.h"

namespace mirolanda::cli {

std::unique_ptr<marketdb::MarketDb> OpenMarketDb(CliContext& context) {
    auto opened = marketdb::OpenOrSetAside(settings::MarketDatabaseFrom(context.Settings()), context.clock->Now());
    if (!opened.SetAsideMessage.empty()) std::fprintf(stderr, "mirolanda-cli: %s\n", opened.SetAsideMessage.c_str());
    return std::move(opened.Db);
}

marketdb::SideStore MarketSideStore(const CliContext& context) {
    return marketdb::SideStore(settings::MarketDatabaseFrom(context.Settings()),
                               [clock = context.clock.get()] { return clock->Now(); });
}

void TellNotices(const marketdb::SideStore& store, platform::RunRecord& record) {
    for (const std::string& notice : store.Notices()) {
        std::fprintf(stderr, "mirolanda-cli: %s\n", notice.c_str());
        record.Notes.push_back(notice);
    }
}

std::filesystem::path ExistingMarketDb(CliContext& context) {
    const std::filesystem::path file = settings::MarketDatabaseFrom(context.Settings());
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw platform::FileError(file, "データベースがありません ('db import' か 'db rebuild' で作ります)");
    }
    return file;
}

}  // namespace mirolanda::cli
