// What both programs need to draw a candlestick chart: the market's history to read it from and
// the colours the settings give. The one place that chooses where the history comes from.
#pragma once

#include <memory>

#include "charts/CandleChart.h"
#include "market/MarketHistory.h"
#include "platform/Folders.h"
#include "settings/Snapshot.h"

namespace mirolanda::settings {

// The market's history the charts read: the history database once it exists, else the daily
// CSV folder.
std::shared_ptr<const market::MarketHistory> OpenMarketHistory(const Snapshot& settings);

// The history database alone, or nothing while none has been made (the rankings read the whole
// market, which only the database answers at once).
std::shared_ptr<const market::MarketHistory> OpenMarketDatabase(const Snapshot& settings);

// The default colours with the candles' colours of the settings.
charts::ChartColours ChartColoursFrom(const Snapshot& settings);

}  // namespace mirolanda::settings
