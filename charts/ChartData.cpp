#include "charts/ChartData.h"

#include <algorithm>
#include <cmath>

#include "charts/Period.h"

namespace mirolanda::charts {

namespace {

constexpr platform::Date kEarliest{1900, 1, 1};
constexpr platform::Date kLatest{9999, 12, 31};

// Calendar days enough to hold the longest average's bars before the first bar shown.
long WarmUpDays(Period period) {
    const long longest = AverageLengths(period)[2];
    switch (period) {
        case Period::Week: return (longest + 1) * 7;
        case Period::Month: return (longest + 1) * 31;
        case Period::Day: break;
    }
    // Trading days are five of seven, less the holidays.
    return longest * 3 / 2 + 20;
}

long Days(const platform::Date& d) {
    return platform::DaysFromCivil(d);
}

}  // namespace

market::Tenths AdjustedPurchasePrice(const Purchase& purchase, const std::vector<market::Split>& splits,
                                     const platform::Date& last) {
    double price = static_cast<double>(purchase.Price);
    for (const auto& split : splits) {
        if (Days(split.ExDate) > Days(purchase.Day) && Days(split.ExDate) <= Days(last)) price *= split.Factor();
    }
    return static_cast<market::Tenths>(std::round(price));
}

ChartData BuildChart(const market::MarketHistory& history, const ChartRequest& request) {
    ChartData chart;
    chart.Span = request.Span;
    chart.Adjusted = request.Adjusted;
    const platform::Date from = request.From.value_or(kEarliest);
    const platform::Date readFrom =
        request.From ? platform::AddDays(from, -WarmUpDays(request.Span)) : kEarliest;
    market::BarSeries days = history.Series(request.Code, readFrom, request.To.value_or(kLatest), request.Adjusted);
    chart.Series.Code = days.Code.Text().empty() ? request.Code : days.Code;
    chart.Series.Name = days.Name;
    const std::vector<market::Bar> all = Aggregate(days.Bars, request.Span);
    const auto lengths = AverageLengths(request.Span);
    for (size_t a = 0; a < lengths.size(); ++a) chart.Averages[a] = MovingAverage(all, lengths[a]);

    // The days before `from` helped the averages and are not shown: the candles are built from
    // the days asked for only (a week cut by `from` opens on its first day asked for), while
    // each bar's average, which follows the close of its last day, stays as computed.
    const auto firstShown = std::find_if(days.Bars.begin(), days.Bars.end(),
                                         [&](const market::Bar& b) { return Days(b.Day) >= Days(from); });
    chart.Series.Bars = Aggregate(std::vector<market::Bar>(firstShown, days.Bars.end()), request.Span);
    const auto skip = static_cast<std::ptrdiff_t>(all.size() - chart.Series.Bars.size());
    for (auto& average : chart.Averages) average.erase(average.begin(), average.begin() + skip);
    if (chart.Series.Bars.empty()) return chart;

    const auto& shownBars = chart.Series.Bars;
    for (const auto& split : history.Splits(request.Code)) {
        // The first bar on or after the ex-date, when the ex-date falls within its period.
        const auto at = std::find_if(shownBars.begin(), shownBars.end(),
                                     [&](const market::Bar& b) { return Days(b.Day) >= Days(split.ExDate); });
        if (at == shownBars.end() || PeriodKey(at->Day, request.Span) != PeriodKey(split.ExDate, request.Span)) continue;
        const auto index = static_cast<size_t>(at - shownBars.begin());
        if (chart.SplitBars.empty() || chart.SplitBars.back() != index) chart.SplitBars.push_back(index);
    }
    chart.YearHighLow = FiftyTwoWeekRange(shownBars);
    if (request.Holding) {
        chart.Holding = request.Holding;
        if (request.Adjusted) {
            chart.Holding->Price =
                AdjustedPurchasePrice(*request.Holding, history.Splits(request.Code), shownBars.back().Day);
        }
    }
    return chart;
}

}  // namespace mirolanda::charts
