// One issue's bars as CSV for spreadsheets and scripts: UTF-8 without a byte-order mark,
// "date,open,high,low,close,volume", dates yyyy-mm-dd, prices without trailing zeros; days,
// weeks (Monday–Friday) or calendar months.
#pragma once

#include <string>
#include <vector>

#include "market/Aggregate.h"
#include "market/Bar.h"
#include "market/MarketHistory.h"

namespace mirolanda::marketdb {

using market::Period;

// The CSV text of the bars, header first, one line each ending in "\n".
std::string ExportCsv(const std::vector<market::Bar>& bars);

// One issue's export: its traded days from `from` to `to` (adjusted first when asked; a day
// without trade is left out), gathered into periods (market::Aggregate), as CSV.
std::string ExportIssue(const market::MarketHistory& history, const market::IssueCode& code,
                        const platform::Date& from, const platform::Date& to, bool adjusted, Period period);

}  // namespace mirolanda::marketdb
