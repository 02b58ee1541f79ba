// The three periods a candlestick chart shows, and what belongs to each: its moving averages'
// lengths and its names on the screen and on the command line.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "market/Aggregate.h"

namespace mirolanda::charts {

// The periods are the market's, gathered by market::Aggregate; the charts add what they draw.
using market::Aggregate;
using market::ParsePeriod;
using market::Period;
using market::PeriodKey;

// 5, 25 and 75 days; 13, 26 and 52 weeks; 9, 24 and 60 months.
std::array<int, 3> AverageLengths(Period period);

// 「日足」「週足」「月足」.
std::string_view PeriodCaption(Period period);
// What a change is measured against: 「前日比」「前週比」「前月比」.
std::string_view ChangeCaption(Period period);

}  // namespace mirolanda::charts
