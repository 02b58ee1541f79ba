// The J-Quants API's answers read strictly: one page of a day's bars, of the listed-issue
// master and of the trading calendar, each {"data":[…], "pagination_key":"…"}, and the
// "message" of an error answer. Whatever the bytes, a reader returns what the API documents
// or throws JQuantsAnswerError; it never reads past the body and never crashes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Date.h"
#include "platform/Errors.h"
#include "calendar/ExchangeCalendar.h"
#include "market/DaySnapshot.h"
#include "market/QuoteSource.h"

namespace mirolanda::jquants {

// An answer that is not what the API documents: not JSON, too large or too deep, a wrong
// shape, a value out of range. The text says what, never quoting more than a few characters.
class JQuantsAnswerError : public market::SourceFailure {
public:
    explicit JQuantsAnswerError(const std::string& text) : market::SourceFailure(text) {}
};

inline constexpr size_t kMaxJQuantsAnswerBytes = 16u << 20;  // the API splits pages near 5 MB

struct JQuantsIssue {
    std::string Code;  // four characters
    std::string Name;  // "CoName", control characters as blanks
    std::string Segment;  // "Mkt", the market segment's code, where given
    std::string Sector;   // "S33", the 33-sector code, where given
};

template <typename Row>
struct JQuantsPage {
    std::vector<Row> Rows;
    std::string PaginationKey;  // "" on the last page
};

// A page of /equities/bars/daily?date=…; every row must be of `day`. The API's five-character
// code is cut to the usual four; rows of other share classes (a fifth code character other than
// '0') and codes that are no issue code are left out. Prices in tenths of a yen (a finer
// fraction rounded half to even); a day without trades has null prices and volume, kept as
// zeros; "Va" is the turnover, "AdjFactor" the split adjustment factor (1 when absent).
JQuantsPage<market::SnapshotRow> ParseBarsPage(std::string_view body, const platform::Date& day);
// A page of /equities/master, with the same rows left out.
JQuantsPage<JQuantsIssue> ParseMasterPage(std::string_view body);
// A page of /markets/calendar.
JQuantsPage<calendar::ExchangeDay> ParseCalendarPage(std::string_view body);

// The "message" of an error answer, control characters as blanks, at most 80 characters; ""
// when the body holds none.
std::string JQuantsErrorMessage(std::string_view body);

// Whether an error message refuses a date for the user's plan («Your subscription covers the
// following dates: 2024-05-31 ~ 2026-05-31. …»), and the plan's first date when it names one.
bool IsPlanRefusal(std::string_view message);
std::optional<platform::Date> PlanFirstDate(std::string_view message);

}  // namespace mirolanda::jquants
