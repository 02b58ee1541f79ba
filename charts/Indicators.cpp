#include "charts/Indicators.h"

namespace mirolanda::charts {

std::vector<std::optional<double>> MovingAverage(const std::vector<market::Bar>& bars, int length) {
    std::vector<std::optional<double>> averages(bars.size());
    if (length <= 0) return averages;
    // A running sum over the indices of the last `length` traded bars; integers, so that a long
    // series gathers no rounding error.
    std::vector<size_t> traded;
    traded.reserve(bars.size());
    int64_t sum = 0;
    for (size_t i = 0; i < bars.size(); ++i) {
        if (!bars[i].Traded()) continue;
        traded.push_back(i);
        sum += bars[i].Close;
        const size_t n = traded.size();
        if (n > static_cast<size_t>(length)) sum -= bars[traded[n - 1 - static_cast<size_t>(length)]].Close;
        if (n >= static_cast<size_t>(length)) averages[i] = static_cast<double>(sum) / length;
    }
    return averages;
}

std::optional<YearRange> FiftyTwoWeekRange(const std::vector<market::Bar>& bars) {
    if (bars.empty()) return std::nullopt;
    const long first = platform::DaysFromCivil(bars.back().Day) - 364;
    std::optional<YearRange> range;
    for (size_t i = bars.size(); i-- > 0;) {
        const auto& bar = bars[i];
        if (platform::DaysFromCivil(bar.Day) <= first) break;
        if (!bar.Traded()) continue;
        if (!range) {
            range = YearRange{i, i, bar.High, bar.Low};
            continue;
        }
        if (bar.High > range->High) range->High = bar.High, range->HighIndex = i;
        if (bar.Low < range->Low) range->Low = bar.Low, range->LowIndex = i;
    }
    return range;
}

}  // namespace mirolanda::charts
