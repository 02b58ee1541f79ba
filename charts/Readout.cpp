#include "charts/Readout.h"

#include <cmath>
#include <cstdio>

namespace mirolanda::charts {

namespace {

std::string Grouped(std::string digits) {
    const size_t sign = !digits.empty() && digits[0] == '-' ? 1 : 0;
    const size_t point = digits.find('.');
    size_t end = point == std::string::npos ? digits.size() : point;
    while (end > sign + 3) {
        end -= 3;
        digits.insert(end, ",");
    }
    return digits;
}

std::string_view AverageUnit(Period period) {
    switch (period) {
        case Period::Week: return "週";
        case Period::Month: return "月";
        case Period::Day: break;
    }
    return "日";
}

}  // namespace

std::string GroupedTenths(market::Tenths price) {
    return Grouped(market::FormatTenths(price));
}

std::string GroupedCount(int64_t count) {
    return Grouped(std::to_string(count));
}

Readout ReadoutAt(const ChartData& chart, size_t index) {
    Readout r;
    const auto& bars = chart.Series.Bars;
    r.Prices = bars[index];
    for (size_t a = 0; a < r.Averages.size(); ++a) r.Averages[a] = chart.Averages[a][index];
    if (!r.Prices.Traded()) return r;
    for (size_t i = index; i-- > 0;) {
        if (!bars[i].Traded()) continue;
        r.Change = r.Prices.Close - bars[i].Close;
        r.ChangePercent = 100.0 * static_cast<double>(*r.Change) / static_cast<double>(bars[i].Close);
        break;
    }
    return r;
}

std::string FormatReadout(const ChartData& chart, const Readout& r) {
    std::string line = platform::FormatSlashed(r.Prices.Day);
    if (!r.Prices.Traded()) return line + " 売買なし";
    line += " 始 " + GroupedTenths(r.Prices.Open) + " 高 " + GroupedTenths(r.Prices.High) + " 安 " +
            GroupedTenths(r.Prices.Low) + " 終 " + GroupedTenths(r.Prices.Close);
    if (r.Change) {
        char percent[32];
        std::snprintf(percent, sizeof percent, "%+.2f%%", *r.ChangePercent);
        line += " " + std::string(ChangeCaption(chart.Span)) + " " + (*r.Change > 0 ? "+" : "") +
                GroupedTenths(*r.Change) + " (" + percent + ")";
    }
    line += " 出来高 " + GroupedCount(r.Prices.Volume);
    const auto lengths = AverageLengths(chart.Span);
    for (size_t a = 0; a < lengths.size(); ++a) {
        if (!r.Averages[a]) continue;
        line += " " + std::to_string(lengths[a]) + std::string(AverageUnit(chart.Span)) + " " +
                GroupedTenths(static_cast<market::Tenths>(std::round(*r.Averages[a])));
    }
    return line;
}

}  // namespace mirolanda::charts
