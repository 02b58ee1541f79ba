#include "movers/Movers.h"

#include <algorithm>
#include <map>
#include <set>

namespace mirolanda::movers {
namespace {

using market::IssueCode;
using market::Tenths;
using platform::Date;

long Key(const Date& day) { return platform::DaysFromCivil(day); }

// The spans of trading days a year high or low must beat, one after the other, before the whole
// year is read for it: about a month, then a quarter, leave few issues on any day.
constexpr size_t kYearScreens[] = {20, 60};

// The product of the factors of each issue's splits in the list.
std::map<IssueCode, double> FactorsOf(const std::vector<market::Split>& splits) {
    std::map<IssueCode, double> factors;
    for (const auto& split : splits) {
        auto [at, added] = factors.emplace(split.Code, 1.0);
        at->second *= split.Factor();
    }
    return factors;
}

std::map<IssueCode, Tenths> ClosesOf(const std::optional<market::DaySnapshot>& day) {
    std::map<IssueCode, Tenths> closes;
    if (!day) return closes;
    for (const auto& row : day->Rows) {
        if (row.Prices.Traded()) closes.emplace(row.Code, row.Prices.Close);
    }
    return closes;
}

// What a ranking over many days needs of one issue, comparable with the day's own bar.
struct Span {
    int Days = 0;            // bars stored, the day's own included when it is in the span
    double Volume = 0;       // summed
    double High = 0, Low = 0;  // the highest and lowest close traded before the day; 0 for none
    double Close = 0;        // the day's close on the same footing
    double DayVolume = 0;
};

// Each issue's span from `from` to the day. Issues with a split inside it are read as adjusted
// series, one by one (there are few); the others summed up by the store in one pass, raw.
std::map<IssueCode, Span> SpansOf(const market::MarketHistory& history, const market::DaySnapshot& today,
                                  const Date& from, const std::optional<Date>& before,
                                  const std::optional<std::vector<IssueCode>>& only = std::nullopt) {
    std::map<IssueCode, Span> spans;
    std::set<IssueCode> split;
    for (const auto& s : history.SplitsBetween(from, today.Day)) split.insert(s.Code);
    if (before) {
        for (const auto& raw : only ? history.SpansOf(from, *before, *only) : history.Spans(from, *before)) {
            if (split.contains(raw.Code)) continue;
            spans[raw.Code] = {raw.Days, static_cast<double>(raw.Volume), static_cast<double>(raw.HighClose),
                               static_cast<double>(raw.LowClose), 0, 0};
        }
    }
    for (const auto& row : today.Rows) {
        if (split.contains(row.Code)) continue;
        Span& span = spans[row.Code];
        span.Days += 1;
        span.Volume += static_cast<double>(row.Prices.Volume);
        span.Close = static_cast<double>(row.Prices.Close);
        span.DayVolume = static_cast<double>(row.Prices.Volume);
    }
    for (const auto& code : split) {
        Span span;
        for (const auto& bar : history.Series(code, from, today.Day, true).Bars) {
            span.Days += 1;
            span.Volume += static_cast<double>(bar.Volume);
            if (bar.Day == today.Day) {
                span.Close = static_cast<double>(bar.Close), span.DayVolume = static_cast<double>(bar.Volume);
            } else if (bar.Traded()) {
                const auto close = static_cast<double>(bar.Close);
                span.High = std::max(span.High, close);
                span.Low = span.Low == 0 ? close : std::min(span.Low, close);
            }
        }
        spans[code] = span;
    }
    return spans;
}

// The ranking's value of each issue that takes part in it.
using Values = std::map<IssueCode, double>;

Values SurgeValues(const market::MarketHistory& history, const market::DaySnapshot& today,
                   const std::vector<Date>& days) {
    Values values;
    if (days.size() < kSurgeDays) return values;
    const Date from = days[days.size() - kSurgeDays];
    const std::optional<Date> before = days.size() > 1 ? std::optional(days[days.size() - 2]) : std::nullopt;
    for (const auto& [code, span] : SpansOf(history, today, from, before)) {
        if (span.Days < kSurgeDays || span.DayVolume <= 0 || span.Volume <= 0) continue;
        values[code] = span.DayVolume / (span.Volume / kSurgeDays);
    }
    return values;
}

// The candidates whose close beats every close traded in the span from `from` to `before`;
// one with no trade there is kept.
std::vector<IssueCode> StillBeating(const market::MarketHistory& history, const market::DaySnapshot& today,
                                    const Date& from, const Date& before, const std::vector<IssueCode>& candidates,
                                    bool highs) {
    const auto spans = SpansOf(history, today, from, before, candidates);
    std::vector<IssueCode> kept;
    for (const auto& code : candidates) {
        const auto it = spans.find(code);
        const bool beats = it == spans.end() || it->second.High <= 0 ||
                           (highs ? it->second.Close > it->second.High : it->second.Close < it->second.Low);
        if (beats) kept.push_back(code);
    }
    return kept;
}

// `previous` holds the traded closes of the trading day before.
Values YearValues(const market::MarketHistory& history, const market::DaySnapshot& today,
                  const std::vector<Date>& days, const std::map<IssueCode, Tenths>& previous, bool highs) {
    Values values;
    const Date yearStart{today.Day.Year, 1, 1};
    // The year's earlier trading days; none on its first, where no close can be beaten.
    if (days.size() < 2 || Key(days[days.size() - 2]) < Key(yearStart)) return values;
    // A new high closes above the day before, a new low below it (or the day before had no
    // trade); of those, only the ones that also beat the last weeks and months are summed up over
    // the year. Each screen is implied by the answer, so it only saves reading bars. An issue with a
    // split in the year is read whole all the same.
    const Date before = days[days.size() - 2];
    std::vector<IssueCode> candidates;
    for (const auto& row : today.Rows) {
        const auto it = previous.find(row.Code);
        const market::Tenths close = row.Prices.Close;
        if (close <= 0) continue;
        if (it == previous.end() || it->second <= 0 || (highs ? close > it->second : close < it->second)) {
            candidates.push_back(row.Code);
        }
    }
    for (const size_t span : kYearScreens) {
        const size_t screen = days.size() > span + 1 ? days.size() - 1 - span : 0;
        if (Key(days[screen]) > Key(yearStart)) {
            candidates = StillBeating(history, today, days[screen], before, candidates, highs);
        }
    }
    for (const auto& [code, span] : SpansOf(history, today, yearStart, before, candidates)) {
        if (span.Close <= 0 || span.High <= 0) continue;
        if (highs && span.Close > span.High) values[code] = (span.Close / span.High - 1.0) * 100.0;
        if (!highs && span.Close < span.Low) values[code] = (span.Close / span.Low - 1.0) * 100.0;
    }
    return values;
}

bool Descending(Ranking kind) { return kind != Ranking::Losers && kind != Ranking::Lows; }

// The value of one row in a ranking read from the day alone, or nothing when it takes no part.
std::optional<double> DayValue(Ranking kind, const Mover& m, const market::Bar& bar) {
    switch (kind) {
        case Ranking::Gainers:
            if (m.ChangePercent && *m.ChangePercent > 0) return m.ChangePercent;
            return std::nullopt;
        case Ranking::Losers:
            if (m.ChangePercent && *m.ChangePercent < 0) return m.ChangePercent;
            return std::nullopt;
        case Ranking::Volume:
            if (bar.Volume > 0) return static_cast<double>(bar.Volume);
            return std::nullopt;
        case Ranking::Turnover: {
            const double yen = bar.Turnover ? static_cast<double>(*bar.Turnover)
                                            : static_cast<double>(bar.Close) * static_cast<double>(bar.Volume) / 10.0;
            if (yen > 0) return yen;
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

void OrderAndCut(std::vector<Mover>& rows, Ranking kind, int top) {
    const bool descending = Descending(kind);
    std::sort(rows.begin(), rows.end(), [descending](const Mover& a, const Mover& b) {
        if (a.Value != b.Value) return descending ? a.Value > b.Value : a.Value < b.Value;
        return a.Code < b.Code;
    });
    if (top > 0 && rows.size() > static_cast<size_t>(top)) rows.resize(static_cast<size_t>(top));
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].Rank = i > 0 && rows[i].Value == rows[i - 1].Value ? rows[i - 1].Rank : static_cast<int>(i) + 1;
    }
}

}  // namespace

MissingDay::MissingDay(const Date& day)
    : platform::Error(platform::FormatSlashed(day) + " の株価はデータベースにありません"), day_(day) {}

std::optional<Date> LatestDay(const market::MarketHistory& history, const Date& upTo) {
    const auto days = history.TradingDays(Date{1, 1, 1}, upTo);
    if (days.empty()) return std::nullopt;
    return days.back();
}

Movers RankMovers(const market::MarketHistory& history, const MoversRequest& request) {
    const auto today = history.Day(request.Day);
    if (!today) throw MissingDay(request.Day);
    const std::vector<Date> days = history.TradingDays(Date{1, 1, 1}, request.Day);
    const std::optional<Date> previous = days.size() > 1 ? std::optional(days[days.size() - 2]) : std::nullopt;
    const auto previousCloses = ClosesOf(previous ? history.Day(*previous) : std::nullopt);
    // A split whose ex-date came after the previous day adjusts its close.
    const auto factors =
        previous ? FactorsOf(history.SplitsBetween(platform::AddDays(*previous, 1), request.Day)) : std::map<IssueCode, double>{};
    Values values;
    if (request.Kind == Ranking::Surge) values = SurgeValues(history, *today, days);
    if (request.Kind == Ranking::Highs || request.Kind == Ranking::Lows) {
        values = YearValues(history, *today, days, previousCloses, request.Kind == Ranking::Highs);
    }

    Movers movers{request.Day, {}, {}};
    std::set<std::string> segments;
    for (const auto& row : today->Rows) {
        if (!row.Segment.empty()) segments.insert(row.Segment);
        if (!request.Segment.empty() && row.Segment != request.Segment) continue;
        const market::Bar& bar = row.Prices;
        Mover m{0, row.Code, row.Name, row.Segment, bar.Close, std::nullopt, bar.Volume, 0};
        if (const auto prev = previousCloses.find(row.Code); prev != previousCloses.end() && bar.Traded()) {
            const auto factor = factors.find(row.Code);
            const double before = static_cast<double>(prev->second) * (factor == factors.end() ? 1.0 : factor->second);
            m.ChangePercent = (static_cast<double>(bar.Close) - before) / before * 100.0;
        }
        std::optional<double> value = DayValue(request.Kind, m, bar);
        if (const auto found = values.find(row.Code); found != values.end()) value = found->second;
        if (!value) continue;
        m.Value = *value;
        movers.Rows.push_back(std::move(m));
    }
    OrderAndCut(movers.Rows, request.Kind, request.Top);
    movers.Segments.assign(segments.begin(), segments.end());
    return movers;
}

}  // namespace mirolanda::movers
