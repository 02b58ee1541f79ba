// The Tokyo market's closed weekdays that the program knows by itself for 1990–2099: Japan's
// national holidays, the exchange's year-end closure (12/31 to 01/03) and the days trading
// was halted all day. The user's holiday list adds to these (Calender.h).
#pragma once

#include <string>
#include <string_view>

#include "platform/Date.h"

namespace mirolanda::calendar {

inline constexpr std::string_view kYearEndClosure = "年末年始休業";

// Whether the built-in calendar covers the year; outside it only weekends and the user's
// list close the market.
bool IsBuiltInCalendarYear(int year);

// Why the market is closed on the day by the built-in calendar: the national holiday's name,
// "年末年始休業", or the halt's name; "" for an open day or a year outside 1990–2099.
// Weekends are the caller's.
std::string BuiltInClosureName(const platform::Date& date);

// Whether a yearless line of the user's list stands for a day the built-in calendar keeps by
// itself: a national holiday by its usual month/day or by its name, or a year-end closure day.
bool RepeatsBuiltInHoliday(int month, int day, std::string_view name);

}  // namespace mirolanda::calendar
