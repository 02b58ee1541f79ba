// Daily bars gathered into weekly (Monday to Friday) and monthly bars: the open of the first
// traded day, the highest high, the lowest low, the close of the last traded day and the summed
// volume, dated by the last traded day. Days without trade are left out; a week or month
// without any trade gives no bar.
#pragma once

#include <vector>

#include <optional>
#include <string_view>

#include "market/Bar.h"

namespace mirolanda::market {

enum class Period { Day, Week, Month };

// "day", "week", "month"; nothing for any other text.
std::optional<Period> ParsePeriod(std::string_view text);


// `days` ascending. Period::Day gives the days as they are (days without trade included,
// drawn as empty places).
std::vector<Bar> Aggregate(const std::vector<Bar>& days, Period period);

// A number that is the same for every day of one week (Monday to Sunday) or of one month.
long PeriodKey(const platform::Date& day, Period period);

}  // namespace mirolanda::market
