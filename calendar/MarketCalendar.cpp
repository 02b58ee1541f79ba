#include "calendar/MarketCalendar.h"

#include <algorithm>

#include "calendar/JapaneseHolidays.h"

namespace mirolanda::calendar {
namespace {

struct Halt {
    platform::Date Day;
    std::string_view Name;
};

// Weekdays on which the exchange did not trade at all for reasons of its own.
constexpr Halt kTradingHalts[] = {
    {{2020, 10, 1}, "システム障害による終日売買停止"},
};

// The exchange closes from 12/31 to 01/03; 01/01 is 元日 as well.
bool IsYearEndClosure(int month, int day) { return (month == 12 && day == 31) || (month == 1 && day <= 3); }

}  // namespace

bool IsBuiltInCalendarYear(int year) { return year >= kFirstHolidayYear && year <= kLastHolidayYear; }

std::string BuiltInClosureName(const platform::Date& date) {
    if (!IsBuiltInCalendarYear(date.Year)) return "";
    if (std::string name = NationalHolidayName(date); !name.empty()) return name;
    if (IsYearEndClosure(date.Month, date.Day)) return std::string(kYearEndClosure);
    const auto* halt = std::find_if(std::begin(kTradingHalts), std::end(kTradingHalts),
                                    [&](const Halt& h) { return h.Day == date; });
    return halt == std::end(kTradingHalts) ? "" : std::string(halt->Name);
}

bool RepeatsBuiltInHoliday(int month, int day, std::string_view name) {
    return IsYearEndClosure(month, day) || IsNationalHolidayMonthDay(month, day) || IsNationalHolidayName(name);
}

}  // namespace mirolanda::calendar
