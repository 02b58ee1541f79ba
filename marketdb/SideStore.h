// The database beside the daily CSV and the history files, as one more store of a download or a
// filing: opened at the first day it is given (a damaged file set aside and a new one made), and
// every failure kept as a notice instead of thrown, so the database never stops the CSV and the
// history filing. After a failure it stores nothing more, so the user hears of it once.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "market/DayStore.h"
#include "marketdb/MarketDb.h"

namespace mirolanda::marketdb {

// The notice's lead when a day could not be stored: «市場データベースに記録できませんでした: …».
inline constexpr const char* kNotStoredText = "市場データベースに記録できませんでした";

class SideStore final : public market::DayStore {
public:
    SideStore(std::filesystem::path file, std::function<platform::DateTime()> now);

    // Stores the day; never throws for the database's sake.
    void Add(const market::DaySnapshot& day, const platform::Progress& progress) override;

    // What the user is to be told, in order (a file set aside, the failure); empty when every
    // day went in.
    const std::vector<std::string>& Notices() const { return notices_; }

private:
    std::filesystem::path file_;
    std::function<platform::DateTime()> now_;
    std::unique_ptr<MarketDb> db_;
    bool failed_ = false;
    std::vector<std::string> notices_;
};

}  // namespace mirolanda::marketdb
