// Business days from two sides: a rule (the built-in holiday calendar's answer, given by the
// caller) and the exchange's own trading calendar. Where both speak of a day and disagree, the
// exchange wins. Also the data date under a rule and the list of disagreements. No I/O.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Date.h"

namespace mirolanda::calendar {

using platform::BusinessDayRule;

// The exchange's holiday division of a day: 0 no business, 1 business, 2 half-day session,
// 3 no business (holiday trading of derivatives only).
struct ExchangeDay {
    platform::Date Day;
    int HolDiv = 0;
};

class ExchangeCalendar {
public:
    ExchangeCalendar() = default;
    explicit ExchangeCalendar(const std::vector<ExchangeDay>& days);

    // Business (division 1 or 2) or not; nothing for a day the calendar does not cover.
    std::optional<bool> IsBusinessDay(const platform::Date& day) const;
    const std::map<long, int>& Divisions() const { return divisions_; }  // by days since 1970
    bool Empty() const { return divisions_.empty(); }

private:
    std::map<long, int> divisions_;
};

// The exchange's word where it has one, else the built-in rule.
BusinessDayRule ExchangeFirst(ExchangeCalendar exchange, BusinessDayRule builtin);

// A day on which the two calendars disagree.
struct CalendarDifference {
    platform::Date Day;
    bool ExchangeBusiness = false;  // the built-in rule says the opposite
};

// Every day of the exchange's calendar on which the built-in rule disagrees, in date order.
std::vector<CalendarDifference> CompareCalendars(const ExchangeCalendar& exchange, const BusinessDayRule& builtin);

// «2026/11/24: 取引所の営業日ですが、内蔵カレンダーでは休日です»
std::string CalendarDifferenceText(const CalendarDifference& difference);

// The business days d with after < d <= through under the rule, oldest first.
std::vector<platform::Date> BusinessDaysBetween(const platform::Date& after, const platform::Date& through,
                                                const BusinessDayRule& isBusiness);

}  // namespace mirolanda::calendar
