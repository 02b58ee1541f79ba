// One issue's bars as CSV for spreadsheets and scripts: UTF-8 without a byte-order mark,
// "date,open,high,low,close,volume", dates yyyy-mm-dd, prices without trailing zeros; days,
// weeks (Monday–Friday) or calendar months.
#pragma once

#include <string>
#include <vector>

#include "market/Bar.h"
#include "market/MarketHistory.h"

namespace mirolanda::marketdb {

enum class Period { Day, Week, Month };

// The traded bars (a day without trade is left out) gathered into periods: open of the first
// day, highest high, lowest low, close of the last day, summed volume, dated by the last day.
std::vector<market::Bar> Aggregate(const std::vector<market::Bar>& bars, Period period);

// The CSV text of the bars, header first, one line each ending in "\n".
std::string ExportCsv(const std::vector<market::Bar>& bars);

// One issue's export: its days from `from` to `to` (adjusted first when asked), gathered into
// periods, as CSV.
std::string ExportIssue(const market::MarketHistory& history, const market::IssueCode& code,
                        const platform::Date& from, const platform::Date& to, bool adjusted, Period period);

}  // namespace mirolanda::marketdb
