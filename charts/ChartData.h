// Everything one candlestick chart shows, read from the market's history: the period's bars,
// their moving averages, the split marks, the 52-week high and low, and a holding's purchase.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "charts/Indicators.h"
#include "charts/Period.h"
#include "market/MarketHistory.h"

namespace mirolanda::charts {

struct Purchase {
    platform::Date Day;
    market::Tenths Price = 0;  // as the holding stores it
};

struct ChartRequest {
    market::IssueCode Code;
    Period Span = Period::Day;
    bool Adjusted = true;
    std::optional<platform::Date> From, To;  // every stored day when not given
    std::optional<Purchase> Holding;
};

struct ChartData {
    market::BarSeries Series;  // the period's bars, dates ascending
    Period Span = Period::Day;
    bool Adjusted = true;
    std::array<std::vector<std::optional<double>>, 3> Averages;  // one value per bar
    std::vector<size_t> SplitBars;  // bars whose period holds an ex-date, ascending
    std::optional<YearRange> YearHighLow;
    // The purchase, its price adjusted like the rise rate when the chart is adjusted.
    std::optional<Purchase> Holding;

    size_t Size() const { return Series.Bars.size(); }
};

// Reads the bars and splits and computes the rest. The averages are computed over the days
// before `From` too, so that they start on the first bar shown.
ChartData BuildChart(const market::MarketHistory& history, const ChartRequest& request);

// The purchase price × the factors of the splits after the purchase day up to `last` (the
// newest close's day), rounded half away from zero to a tenth of a yen.
market::Tenths AdjustedPurchasePrice(const Purchase& purchase, const std::vector<market::Split>& splits,
                                     const platform::Date& last);

}  // namespace mirolanda::charts
