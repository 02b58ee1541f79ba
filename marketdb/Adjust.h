// Split adjustment as it is computed on read: a day's prices × the product of the factors of
// every later ex-date of its issue, volumes ÷ that product. Raw prices stay stored.
#pragma once

#include <vector>

#include "market/Bar.h"
#include "market/MarketHistory.h"

namespace mirolanda::marketdb {

// The product of the factors of the splits (ex-dates ascending) whose ex-date is after `day`.
double LaterFactor(const std::vector<market::Split>& splits, const platform::Date& day);

// The bar's prices × factor, rounded half away from zero to a tenth of a yen; the volume ÷ factor
// in whole shares. A day without trade keeps its zeros.
market::Bar AdjustBar(market::Bar bar, double factor);

// Each bar adjusted by the factors of its later ex-dates.
void AdjustSeries(std::vector<market::Bar>& bars, const std::vector<market::Split>& splits);

// The split ratio (new shares per old share) a source's adjustment factor records: 1/factor,
// taken to the whole number (or its inverse) it lies within a hundred-thousandth of, since sources write
// factors such as 0.333333 for a 1→3 split.
double RatioOfFactor(double factor);

}  // namespace mirolanda::marketdb
