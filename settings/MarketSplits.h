// The recorded splits of the market database the settings name, for the holdings grid of both
// programs. Reading only: a database not made yet gives no splits.
#pragma once

#include <string>

#include "holdings/BuyGrid.h"
#include "settings/Snapshot.h"

namespace mirolanda::settings {

// The splits of each issue from "MarketDatabase"; nothing (no adjustment) when the file does not
// exist or cannot be opened, the reason then in `problem`.
holdings::SplitsOf MarketSplitsFrom(const Snapshot& settings, std::string& problem);

}  // namespace mirolanda::settings
