#include "calendar/JapaneseHolidays.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace mirolanda::calendar {
namespace {

using platform::Date;

enum class DayRule { Fixed, NthMonday, VernalEquinox, AutumnalEquinox };

struct Holiday {
    std::string_view Name;
    int Month;
    DayRule Rule;
    int N;  // the day of a fixed date, or which Monday of the month
    int FirstYear;
    int LastYear;
};

constexpr int kInForce = 0;   // already in force in 1990
constexpr int kStill = 9999;  // not ended by any law so far

// The named days of the holidays law, each with the years it held in this form.
constexpr Holiday kHolidays[] = {
    {"元日", 1, DayRule::Fixed, 1, kInForce, kStill},
    {"成人の日", 1, DayRule::Fixed, 15, kInForce, 1999},
    {"成人の日", 1, DayRule::NthMonday, 2, 2000, kStill},
    {"建国記念の日", 2, DayRule::Fixed, 11, kInForce, kStill},
    {"天皇誕生日", 2, DayRule::Fixed, 23, 2020, kStill},
    {"春分の日", 3, DayRule::VernalEquinox, 0, kInForce, kStill},
    {"みどりの日", 4, DayRule::Fixed, 29, kInForce, 2006},
    {"昭和の日", 4, DayRule::Fixed, 29, 2007, kStill},
    {"憲法記念日", 5, DayRule::Fixed, 3, kInForce, kStill},
    {"みどりの日", 5, DayRule::Fixed, 4, 2007, kStill},
    {"こどもの日", 5, DayRule::Fixed, 5, kInForce, kStill},
    {"海の日", 7, DayRule::Fixed, 20, 1996, 2002},
    {"海の日", 7, DayRule::NthMonday, 3, 2003, kStill},
    {"山の日", 8, DayRule::Fixed, 11, 2016, kStill},
    {"敬老の日", 9, DayRule::Fixed, 15, kInForce, 2002},
    {"敬老の日", 9, DayRule::NthMonday, 3, 2003, kStill},
    {"秋分の日", 9, DayRule::AutumnalEquinox, 0, kInForce, kStill},
    {"体育の日", 10, DayRule::Fixed, 10, kInForce, 1999},
    {"体育の日", 10, DayRule::NthMonday, 2, 2000, 2019},
    {"スポーツの日", 10, DayRule::NthMonday, 2, 2020, kStill},
    {"文化の日", 11, DayRule::Fixed, 3, kInForce, kStill},
    {"勤労感謝の日", 11, DayRule::Fixed, 23, kInForce, kStill},
    {"天皇誕生日", 12, DayRule::Fixed, 23, kInForce, 2018},
};

struct SpecialDay {
    Date Day;
    std::string_view Name;
};

// Days fixed by special laws: one-off holidays, and the moves of three holidays in 2020 and
// 2021 for the Olympic Games. A day named like a holiday of the law replaces that holiday's
// usual day in its year.
constexpr SpecialDay kSpecialDays[] = {
    {{1990, 11, 12}, "即位礼正殿の儀"},
    {{1993, 6, 9}, "皇太子徳仁親王の結婚の儀"},
    {{2019, 5, 1}, "天皇の即位の日"},
    {{2019, 10, 22}, "即位礼正殿の儀"},
    {{2020, 7, 23}, "海の日"},
    {{2020, 7, 24}, "スポーツの日"},
    {{2020, 8, 10}, "山の日"},
    {{2021, 7, 22}, "海の日"},
    {{2021, 7, 23}, "スポーツの日"},
    {{2021, 8, 8}, "山の日"},
};

// Since this year a substitute holiday is the next day that is no named day, whatever its
// weekday; before, it was the Monday.
constexpr int kFirstYearOfNextFreeDaySubstitute = 2007;

int NthMonday(int year, int month, int n) {
    const int firstWeekday = platform::Weekday(Date{year, month, 1});
    return 1 + (8 - firstWeekday) % 7 + 7 * (n - 1);
}

// The standard approximation: the equinox of 1980 plus the tropical year's excess over 365
// days, less the leap days since.
int EquinoxDay(int year, double dayIn1980) {
    const int years = year - 1980;
    return static_cast<int>(std::floor(dayIn1980 + 0.242194 * years - std::floor(years / 4.0)));
}

int DayOf(const Holiday& holiday, int year) {
    switch (holiday.Rule) {
        case DayRule::Fixed: return holiday.N;
        case DayRule::NthMonday: return NthMonday(year, holiday.Month, holiday.N);
        case DayRule::VernalEquinox: return VernalEquinoxDay(year);
        case DayRule::AutumnalEquinox: return AutumnalEquinoxDay(year);
    }
    return holiday.N;
}

bool MovedInYear(std::string_view name, int year) {
    return std::any_of(std::begin(kSpecialDays), std::end(kSpecialDays),
                       [&](const SpecialDay& s) { return s.Name == name && s.Day.Year == year; });
}

bool Contains(const std::vector<NamedDay>& days, const Date& day) {
    return std::any_of(days.begin(), days.end(), [&](const NamedDay& d) { return d.Day == day; });
}

void SortByDate(std::vector<NamedDay>& days) {
    std::sort(days.begin(), days.end(), [](const NamedDay& a, const NamedDay& b) {
        return platform::DaysFromCivil(a.Day) < platform::DaysFromCivil(b.Day);
    });
}

// The national holidays proper ("国民の祝日"), in date order.
std::vector<NamedDay> NamedDays(int year) {
    std::vector<NamedDay> days;
    for (const Holiday& h : kHolidays) {
        if (year < h.FirstYear || year > h.LastYear || MovedInYear(h.Name, year)) continue;
        days.push_back({Date{year, h.Month, DayOf(h, year)}, std::string(h.Name)});
    }
    for (const SpecialDay& s : kSpecialDays) {
        if (s.Day.Year == year) days.push_back({s.Day, std::string(s.Name)});
    }
    SortByDate(days);
    return days;
}

// A named day on a Sunday gives a substitute holiday.
std::vector<NamedDay> SubstituteHolidays(const std::vector<NamedDay>& named) {
    std::vector<NamedDay> substitutes;
    for (const NamedDay& holiday : named) {
        if (platform::Weekday(holiday.Day) != 0) continue;
        Date day = platform::AddDays(holiday.Day, 1);
        if (holiday.Day.Year >= kFirstYearOfNextFreeDaySubstitute) {
            while (Contains(named, day)) day = platform::AddDays(day, 1);
        } else if (Contains(named, day)) {
            continue;  // the Monday is a holiday already
        }
        substitutes.push_back({day, std::string(kSubstituteHoliday)});
    }
    return substitutes;
}

// A weekday squeezed between two named days is a holiday too, unless it is one already.
std::vector<NamedDay> CitizensHolidays(const std::vector<NamedDay>& named, const std::vector<NamedDay>& substitutes) {
    std::vector<NamedDay> citizens;
    for (size_t i = 0; i + 1 < named.size(); ++i) {
        const Date between = platform::AddDays(named[i].Day, 1);
        if (platform::AddDays(between, 1) != named[i + 1].Day) continue;
        if (platform::Weekday(between) == 0 || Contains(substitutes, between)) continue;
        citizens.push_back({between, std::string(kCitizensHoliday)});
    }
    return citizens;
}

}  // namespace

int VernalEquinoxDay(int year) { return EquinoxDay(year, 20.8431); }

int AutumnalEquinoxDay(int year) { return EquinoxDay(year, 23.2488); }

std::vector<NamedDay> NationalHolidays(int year) {
    if (year < kFirstHolidayYear || year > kLastHolidayYear) return {};
    std::vector<NamedDay> days = NamedDays(year);
    const std::vector<NamedDay> substitutes = SubstituteHolidays(days);
    const std::vector<NamedDay> citizens = CitizensHolidays(days, substitutes);
    days.insert(days.end(), substitutes.begin(), substitutes.end());
    days.insert(days.end(), citizens.begin(), citizens.end());
    SortByDate(days);
    return days;
}

std::string NationalHolidayName(const platform::Date& date) {
    for (const NamedDay& holiday : NationalHolidays(date.Year)) {
        if (holiday.Day == date) return holiday.Name;
    }
    return "";
}

bool IsNationalHolidayMonthDay(int month, int day) {
    static const std::set<int> monthDays = [] {
        std::set<int> days;
        for (const Holiday& h : kHolidays) {
            if (h.Rule == DayRule::Fixed) days.insert(h.Month * 100 + h.N);
        }
        for (int year = kFirstHolidayYear; year <= kLastHolidayYear; ++year) {
            days.insert(300 + VernalEquinoxDay(year));
            days.insert(900 + AutumnalEquinoxDay(year));
        }
        return days;
    }();
    return monthDays.count(month * 100 + day) > 0;
}

bool IsNationalHolidayName(std::string_view name) {
    if (name == kSubstituteHoliday || name == kCitizensHoliday) return true;
    return std::any_of(std::begin(kHolidays), std::end(kHolidays), [&](const Holiday& h) { return h.Name == name; }) ||
           std::any_of(std::begin(kSpecialDays), std::end(kSpecialDays),
                       [&](const SpecialDay& s) { return s.Name == name; });
}

}  // namespace mirolanda::calendar
