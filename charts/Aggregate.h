// Daily bars gathered into weekly (Monday to Friday) and monthly bars: the open of the first
// traded day, the highest high, the lowest low, the close of the last traded day and the summed
// volume, dated by the last traded day. Days without trade are left out; a week or month
// without any trade gives no bar.
#pragma once

#include <vector>

#include "charts/Period.h"
#include "market/Bar.h"

namespace mirolanda::charts {

// `days` ascending. Period::Day gives the days as they are (days without trade included,
// drawn as empty places).
std::vector<market::Bar> Aggregate(const std::vector<market::Bar>& days, Period period);

// A number that is the same for every day of one week (Monday to Sunday) or of one month.
long PeriodKey(const platform::Date& day, Period period);

}  // namespace mirolanda::charts
