// Japan's national holidays as the holidays law and its special laws give them, generated for
// the years 1990–2099: the named days (fixed dates, Monday holidays, equinox days, one-off
// days and moves), substitute holidays and citizens' holidays. Used by the market calendar.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Date.h"

namespace mirolanda::calendar {

// The years the generator knows; outside them it gives no holidays at all.
inline constexpr int kFirstHolidayYear = 1990;
inline constexpr int kLastHolidayYear = 2099;

inline constexpr std::string_view kSubstituteHoliday = "振替休日";
inline constexpr std::string_view kCitizensHoliday = "国民の休日";

struct NamedDay {
    platform::Date Day;
    std::string Name;
    friend bool operator==(const NamedDay&, const NamedDay&) = default;
};

// Every national holiday of the year in date order, weekends included, with its name
// ("元日", …, "振替休日", "国民の休日"). Empty for a year outside 1990–2099.
std::vector<NamedDay> NationalHolidays(int year);

// The name of the national holiday on that day, or "".
std::string NationalHolidayName(const platform::Date& date);

// The day of March (vernal) and of September (autumnal) of the equinox, by the standard
// approximation that holds for 1980–2099.
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);

// Whether the law gives a holiday its own fixed day or equinox day on this month/day in some
// year of 1990–2099 (01/15 and 12/23 count, as do 03/20 and 03/21): the days a yearless
// holiday list typed by hand holds for national holidays.
bool IsNationalHolidayMonthDay(int month, int day);

// Whether the text is the name of a national holiday, including 振替休日 and 国民の休日.
bool IsNationalHolidayName(std::string_view name);

}  // namespace mirolanda::calendar
