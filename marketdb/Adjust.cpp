#include "marketdb/Adjust.h"

#include <cmath>

namespace mirolanda::marketdb {
namespace {

bool Before(const platform::Date& a, const platform::Date& b) {
    return platform::DaysFromCivil(a) < platform::DaysFromCivil(b);
}

// Half away from zero; the nudge keeps a product meant to end in exactly .5 from falling a
// hair short of it through binary fractions (0.1 × 3 is 0.30000000000000004, 0.3 × 0.5 below).
int64_t RoundAway(double value) { return std::llround(value * (1.0 + 1e-12)); }

}  // namespace

double LaterFactor(const std::vector<market::Split>& splits, const platform::Date& day) {
    double product = 1.0;
    for (const auto& s : splits) {
        if (Before(day, s.ExDate)) product *= s.Factor();
    }
    return product;
}

market::Bar AdjustBar(market::Bar bar, double factor) {
    if (factor == 1.0) return bar;
    for (market::Tenths* price : {&bar.Open, &bar.High, &bar.Low, &bar.Close}) {
        *price = RoundAway(static_cast<double>(*price) * factor);
    }
    bar.Volume = RoundAway(static_cast<double>(bar.Volume) / factor);
    return bar;
}

void AdjustSeries(std::vector<market::Bar>& bars, const std::vector<market::Split>& splits) {
    // Walk back from the newest day, taking in each ex-date as it is passed.
    double factor = 1.0;
    auto split = splits.rbegin();
    for (auto bar = bars.rbegin(); bar != bars.rend(); ++bar) {
        for (; split != splits.rend() && Before(bar->Day, split->ExDate); ++split) factor *= split->Factor();
        *bar = AdjustBar(*bar, factor);
    }
}

double RatioOfFactor(double factor) {
    const double ratio = 1.0 / factor;
    const double whole = std::round(ratio);
    if (whole >= 1.0 && std::fabs(ratio - whole) <= 1e-5 * whole) return whole;
    const double inverse = std::round(factor);
    if (inverse >= 1.0 && std::fabs(factor - inverse) <= 1e-5 * inverse) return 1.0 / inverse;
    return ratio;
}

}  // namespace mirolanda::marketdb
