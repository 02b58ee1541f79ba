// The store seam: every place a trading day is kept (the daily CSV, the history files, the
// history database) takes the day's snapshot from memory through this one interface.
#pragma once

#include <string>

#include "market/DaySnapshot.h"
#include "platform/Progress.h"

namespace mirolanda::market {

class DayStore {
public:
    virtual ~DayStore() = default;
    // Keeps the day; a day kept before is replaced. Throws platform::Error (with the file) when
    // the day cannot be kept; a store that keeps what it can says what it left in its own report.
    virtual void Add(const DaySnapshot& day, const platform::Progress& progress) = 0;
};

}  // namespace mirolanda::market
