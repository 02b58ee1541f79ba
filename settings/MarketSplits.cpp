#include "settings/MarketSplits.h"

#include <memory>

#include "marketdb/MarketDb.h"
#include "settings/CommandOptions.h"

namespace mirolanda::settings {

holdings::SplitsOf MarketSplitsFrom(const Snapshot& settings, std::string& problem) {
    const std::filesystem::path file = MarketDatabaseFrom(settings);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return {};
    try {
        auto db = std::make_shared<marketdb::MarketDb>(file);
        return [db](const market::IssueCode& code) { return db->Splits(code); };
    } catch (const std::exception& e) {
        problem = e.what();
        return {};
    }
}

}  // namespace mirolanda::settings
