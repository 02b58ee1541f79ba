// One issue's bars as CSV for spreadsheets and scripts: UTF-8 without a byte-order mark,
// "date,open,high,low,close,volume", dates yyyy-mm-dd, prices without trailing zeros; days,
// weeks (Monday–Friday) or calendar months.
#pragma once

#include <string>
#include <vector>

#include "market/Bar.h"

namespace mirolanda::marketdb {

enum class Period { Day, Week, Month };

// The traded bars (a day without trade is left out) gathered into periods: open of the first
// day, highest high, lowest low, close of the last day, summed volume, dated by the last day.
std::vector<market::Bar> Aggregate(const std::vector<market::Bar>& bars, Period period);

// The CSV text of the bars, header first, one line each ending in "\n".
std::string ExportCsv(const std::vector<market::Bar>& bars);

}  // namespace mirolanda::marketdb
