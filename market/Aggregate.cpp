#include "market/Aggregate.h"

#include <algorithm>

namespace mirolanda::market {

std::optional<Period> ParsePeriod(std::string_view text) {
    if (text == "day") return Period::Day;
    if (text == "week") return Period::Week;
    if (text == "month") return Period::Month;
    return std::nullopt;
}

long PeriodKey(const platform::Date& day, Period period) {
    switch (period) {
        case Period::Week: {
            // 1970-01-01 was a Thursday: three days on, every week starts on a Monday.
            const long shifted = platform::DaysFromCivil(day) + 3;
            return shifted >= 0 ? shifted / 7 : (shifted - 6) / 7;
        }
        case Period::Month: return static_cast<long>(day.Year) * 12 + day.Month;
        case Period::Day: break;
    }
    return platform::DaysFromCivil(day);
}

std::vector<Bar> Aggregate(const std::vector<Bar>& days, Period period) {
    if (period == Period::Day) return days;
    std::vector<Bar> bars;
    long key = 0;
    bool turnoverKnown = true;
    for (const auto& day : days) {
        if (!day.Traded()) continue;
        const long k = PeriodKey(day.Day, period);
        if (bars.empty() || k != key) {
            key = k;
            bars.push_back(day);
            bars.back().AdjustmentFactor = 1.0;
            turnoverKnown = day.Turnover.has_value();
            continue;
        }
        Bar& bar = bars.back();
        bar.Day = day.Day;
        bar.High = std::max(bar.High, day.High);
        bar.Low = std::min(bar.Low, day.Low);
        bar.Close = day.Close;
        bar.Volume += day.Volume;
        // A turnover is summed only while every day of the period gives one.
        turnoverKnown = turnoverKnown && day.Turnover.has_value();
        bar.Turnover = turnoverKnown ? std::optional<int64_t>(*bar.Turnover + *day.Turnover) : std::nullopt;
    }
    return bars;
}

}  // namespace mirolanda::market
