#include "settings/ChartSetup.h"

#include "marketdb/MarketDb.h"
#include "quotes/CsvHistory.h"
#include "settings/CommandOptions.h"
#include "settings/Keys.h"

namespace mirolanda::settings {

std::shared_ptr<const market::MarketHistory> OpenMarketHistory(const Snapshot& settings) {
    // The database once one was made (by the evening's filing or 'db import'); until then the
    // daily CSV folder, read issue by issue.
    const std::filesystem::path database = MarketDatabaseFrom(settings);
    std::error_code ec;
    if (std::filesystem::is_regular_file(database, ec)) return std::make_shared<marketdb::MarketDb>(database);
    return std::make_shared<quotes::CsvHistory>(FoldersFrom(settings).CsvData);
}

std::shared_ptr<const market::MarketHistory> OpenMarketDatabase(const Snapshot& settings) {
    const std::filesystem::path database = MarketDatabaseFrom(settings);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(database, ec)) return nullptr;
    return std::make_shared<marketdb::MarketDb>(database);
}

charts::ChartColours ChartColoursFrom(const Snapshot& settings) {
    charts::ChartColours colours;
    colours.Up = settings.Color(keys::ChartUpColor);
    colours.Down = settings.Color(keys::ChartDownColor);
    return colours;
}

}  // namespace mirolanda::settings
