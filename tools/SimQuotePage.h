// The quote site's page as the simulator serves it: one issue row per requested code in the
// line layout the program's parser reads, and the daily CSV file a complete download of a
// day must produce from those pages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Date.h"
#include "tools/Market.h"

namespace mirolanda::tools {

// How a page deviates from the full page, for fault injection.
enum class PageShape {
    Full,   // one row per requested code
    Fewer,  // only the first half of the listed issues' rows (rounded down)
    Cut,    // the full page ending in the middle of a listed issue's row
};

// Splits the codes of a query's "s=" value ("1301+1332+…"); empty pieces are dropped.
std::vector<std::string> SplitCodes(std::string_view joined);

// The page in UTF-8, LF line ends. A requested code that is not listed (or not a number)
// gets the site's two-line no-match row.
std::string QuotePageUtf8(const Market& market, const platform::Date& day, const std::vector<std::string>& codes,
                          PageShape shape = PageShape::Full);
// The same page as the site sends it: EUC-JP.
std::string QuotePageEucJp(const Market& market, const platform::Date& day, const std::vector<std::string>& codes,
                           PageShape shape = PageShape::Full);

// "1,234,567": how the page writes numbers.
std::string GroupDigits(int64_t value);

// One line of the daily CSV file in UTF-8, without the line end: code,"name",open,high,
// low,close,volume, with 0 for the cells an untraded issue leaves empty.
std::string ExpectedCsvLine(const Issue& issue, const DayQuote& quote);
// The whole daily CSV file of a complete download of the day: every listed issue in code
// order, Shift_JIS (CP932), each line ended by CR LF.
std::string ExpectedDailyCsv(const Market& market, const platform::Date& day);

}  // namespace mirolanda::tools
