// The crosshair's read-out: a bar's date, prices, change from the previous close, volume and
// averages, as values and as the line the chart prints above its plot.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "charts/ChartData.h"

namespace mirolanda::charts {

struct Readout {
    market::Bar Prices;
    std::optional<market::Tenths> Change;  // from the previous traded bar's close
    std::optional<double> ChangePercent;
    std::array<std::optional<double>, 3> Averages;  // tenths
};

// The read-out of bar `index` (< chart.Size()).
Readout ReadoutAt(const ChartData& chart, size_t index);

// "2024/05/17 始 2,345 高 2,360 安 2,330 終 2,350.5 前日比 +12 (+0.51%) 出来高 1,234,500
// 5日 2,340.2 …"; a day without trade says 「売買なし」 instead of its prices.
std::string FormatReadout(const ChartData& chart, const Readout& readout);

// Prices and counts with thousands separators: "12,345.5", "812", "1,234,500".
std::string GroupedTenths(market::Tenths price);
std::string GroupedCount(int64_t count);

}  // namespace mirolanda::charts
