#include "calendar/ExchangeCalendar.h"

namespace mirolanda::calendar {
namespace {

bool IsBusinessDivision(int holDiv) {
    return holDiv == 1 || holDiv == 2;
}

}  // namespace

ExchangeCalendar::ExchangeCalendar(const std::vector<ExchangeDay>& days) {
    for (const ExchangeDay& day : days) divisions_[platform::DaysFromCivil(day.Day)] = day.HolDiv;
}

std::optional<bool> ExchangeCalendar::IsBusinessDay(const platform::Date& day) const {
    auto it = divisions_.find(platform::DaysFromCivil(day));
    if (it == divisions_.end()) return std::nullopt;
    return IsBusinessDivision(it->second);
}

BusinessDayRule ExchangeFirst(ExchangeCalendar exchange, BusinessDayRule builtin) {
    return [exchange = std::move(exchange), builtin = std::move(builtin)](const platform::Date& day) {
        if (auto business = exchange.IsBusinessDay(day)) return *business;
        return builtin(day);
    };
}

std::vector<CalendarDifference> CompareCalendars(const ExchangeCalendar& exchange, const BusinessDayRule& builtin) {
    std::vector<CalendarDifference> differences;
    for (const auto& [days, holDiv] : exchange.Divisions()) {
        const platform::Date day = platform::CivilFromDays(days);
        const bool business = IsBusinessDivision(holDiv);
        if (business != builtin(day)) differences.push_back({day, business});
    }
    return differences;
}

std::string CalendarDifferenceText(const CalendarDifference& difference) {
    return platform::FormatSlashed(difference.Day) +
           (difference.ExchangeBusiness ? ": 取引所の営業日ですが、内蔵カレンダーでは休日です"
                                        : ": 取引所の休業日ですが、内蔵カレンダーでは営業日です");
}

std::vector<platform::Date> BusinessDaysBetween(const platform::Date& after, const platform::Date& through,
                                                const BusinessDayRule& isBusiness) {
    std::vector<platform::Date> days;
    const long last = platform::DaysFromCivil(through);
    for (long d = platform::DaysFromCivil(after) + 1; d <= last; ++d) {
        const platform::Date day = platform::CivilFromDays(d);
        if (isBusiness(day)) days.push_back(day);
    }
    return days;
}

}  // namespace mirolanda::calendar
