#include "market/MarketHistory.h"

#include <algorithm>

namespace mirolanda::market {

std::vector<IssueSpan> MarketHistory::Spans(const platform::Date& from, const platform::Date& to) const {
    std::vector<IssueSpan> spans;
    for (const auto& issue : Issues()) {
        const BarSeries series = Series(issue.Code, from, to, false);
        if (series.Bars.empty()) continue;
        IssueSpan span{issue.Code, static_cast<int>(series.Bars.size()), 0, 0, 0};
        for (const Bar& bar : series.Bars) {
            span.Volume += bar.Volume;
            if (!bar.Traded()) continue;
            span.HighClose = std::max(span.HighClose, bar.Close);
            span.LowClose = span.LowClose == 0 ? bar.Close : std::min(span.LowClose, bar.Close);
        }
        spans.push_back(span);
    }
    return spans;
}

std::vector<IssueSpan> MarketHistory::SpansOf(const platform::Date& from, const platform::Date& to,
                                              const std::vector<IssueCode>& codes) const {
    std::vector<IssueSpan> spans = Spans(from, to);
    std::erase_if(spans, [&codes](const IssueSpan& span) {
        return std::find(codes.begin(), codes.end(), span.Code) == codes.end();
    });
    return spans;
}

std::vector<Split> MarketHistory::SplitsBetween(const platform::Date& from, const platform::Date& to) const {
    std::vector<Split> found;
    for (const auto& issue : Issues()) {
        for (const Split& split : Splits(issue.Code)) {
            const long day = platform::DaysFromCivil(split.ExDate);
            if (day >= platform::DaysFromCivil(from) && day <= platform::DaysFromCivil(to)) found.push_back(split);
        }
    }
    return found;
}

}  // namespace mirolanda::market
