// What the chart draws over the candles: simple moving averages of the closes and the
// 52-week high and low.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "market/Bar.h"

namespace mirolanda::charts {

// For each bar, the mean close (in tenths) of the last `length` traded bars up to and
// including it; nothing on a bar without trade and before `length` traded bars.
std::vector<std::optional<double>> MovingAverage(const std::vector<market::Bar>& bars, int length);

struct YearRange {
    size_t HighIndex = 0, LowIndex = 0;  // the bars that made them (the latest on a tie)
    market::Tenths High = 0, Low = 0;
};

// The highest high and lowest low of the traded bars dated within the 52 weeks that end on the
// last bar's day (364 days back, that day excluded); nothing without a traded bar.
std::optional<YearRange> FiftyTwoWeekRange(const std::vector<market::Bar>& bars);

}  // namespace mirolanda::charts
