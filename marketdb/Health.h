// The database's health: the integrity check with its counts and the business days it lacks,
// and a file that cannot be used set aside under a dated name so a new one can be made.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "marketdb/MarketDb.h"

namespace mirolanda::marketdb {

struct CheckReport {
    std::vector<std::string> Problems;  // SQLite's integrity check findings; empty when sound
    Counts Count;
    std::vector<platform::Date> Missing;  // business days between the first and last day not stored
    bool Sound() const { return Problems.empty(); }
};

CheckReport CheckDatabase(MarketDb& db, const std::function<bool(const platform::Date&)>& isBusiness);

// "Market.sqlite3.broken-YYYYMMDD-HHMMSS" beside the file (another label for another reason).
std::filesystem::path AsideName(const std::filesystem::path& file, const platform::DateTime& now,
                                const char* label = "broken");

// Moves the file (and its write-ahead log and shared-memory index) aside as AsideName; returns
// the new name. Throws FileError when it cannot be moved.
std::filesystem::path SetAside(const std::filesystem::path& file, const platform::DateTime& now,
                               const char* label = "broken");

struct Opened {
    std::unique_ptr<MarketDb> Db;
    std::string SetAsideMessage;  // said once, when a file that could not be opened was set aside
};

// Opens the file; a damaged one (no database, corrupt, not ours) is set aside and a new one
// made. Throws DatabaseError for a file busy, unreadable or newer, and when even a new one
// cannot be made (a folder that cannot be written).
Opened OpenOrSetAside(const std::filesystem::path& file, const platform::DateTime& now);

}  // namespace mirolanda::marketdb
