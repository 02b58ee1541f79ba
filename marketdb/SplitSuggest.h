// Day-over-day closes that look like a split, for the user to confirm with the split command:
// nothing is ever adjusted on a guess.
#pragma once

#include <vector>

#include "marketdb/MarketDb.h"

namespace mirolanda::marketdb {

struct SplitSuggestion {
    market::IssueCode Code;
    platform::Date Before, ExDate;  // the two traded days compared
    market::Tenths CloseBefore = 0, Close = 0;
    double Ratio = 1.0;  // the split ratio it looks like (5 for a close a fifth of the day before)
};

// Each pair of consecutive traded days of an issue whose close ratio lies within 3 % of 1/2,
// 1/3, 1/4, 1/5, 1/10 or their inverses, leaving out ex-dates already recorded.
std::vector<SplitSuggestion> SuggestSplits(const MarketDb& db);

// The ratio a close ratio (close ÷ the close before) suggests, or 0 for none.
double SuggestedRatio(double closeRatio);

}  // namespace mirolanda::marketdb
