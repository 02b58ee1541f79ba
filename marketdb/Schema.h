// The database's tables, created in a new file and carried forward from an older version. The
// version lives in the file (PRAGMA user_version); docs/DATABASE.md describes every table.
#pragma once

#include "marketdb/Sqlite.h"
#include "platform/Date.h"

namespace mirolanda::marketdb {

inline constexpr int kSchemaVersion = 1;

// Creates the tables of a new file, or migrates an older one forward, in one transaction; sets
// WAL mode. Throws DatabaseError for a file written by a newer program, or (damaged) one that
// is not ours.
void PrepareSchema(Connection& db);

// Days are stored as the whole number yyyymmdd (20240315), readable in any SQLite tool and
// ordered as dates are.
inline int64_t DayKey(const platform::Date& d) { return int64_t{d.Year} * 10000 + d.Month * 100 + d.Day; }
inline platform::Date DateOfKey(int64_t key) {
    return {static_cast<int>(key / 10000), static_cast<int>(key / 100 % 100), static_cast<int>(key % 100)};
}

}  // namespace mirolanda::marketdb
