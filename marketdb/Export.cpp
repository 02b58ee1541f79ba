#include "marketdb/Export.h"

#include <algorithm>

namespace mirolanda::marketdb {
namespace {

// The key all days of one period share: the Monday of the week, or the month.
long PeriodKey(const platform::Date& day, Period period) {
    switch (period) {
        case Period::Day: return platform::DaysFromCivil(day);
        case Period::Week: return platform::DaysFromCivil(day) - (platform::Weekday(day) + 6) % 7;
        case Period::Month: return day.Year * 12L + day.Month;
    }
    return 0;
}

}  // namespace

std::vector<market::Bar> Aggregate(const std::vector<market::Bar>& bars, Period period) {
    std::vector<market::Bar> out;
    long key = 0;
    for (const market::Bar& bar : bars) {
        if (!bar.Traded()) continue;
        const long k = PeriodKey(bar.Day, period);
        if (out.empty() || k != key) {
            out.push_back(bar);
            out.back().Turnover.reset();
            key = k;
            continue;
        }
        market::Bar& p = out.back();
        p.Day = bar.Day;
        p.High = std::max(p.High, bar.High);
        p.Low = std::min(p.Low, bar.Low);
        p.Close = bar.Close;
        p.Volume += bar.Volume;
    }
    return out;
}

std::string ExportCsv(const std::vector<market::Bar>& bars) {
    std::string text = "date,open,high,low,close,volume\n";
    text.reserve(text.size() + bars.size() * 48);
    for (const market::Bar& b : bars) {
        text += platform::FormatDashed(b.Day);
        for (market::Tenths price : {b.Open, b.High, b.Low, b.Close}) text += "," + market::FormatTenths(price);
        text += "," + std::to_string(b.Volume) + "\n";
    }
    return text;
}

std::string ExportIssue(const market::MarketHistory& history, const market::IssueCode& code,
                        const platform::Date& from, const platform::Date& to, bool adjusted, Period period) {
    return ExportCsv(Aggregate(history.Series(code, from, to, adjusted).Bars, period));
}

}  // namespace mirolanda::marketdb
