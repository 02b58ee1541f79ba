#include "market/MemoryHistory.h"

#include <cmath>

namespace mirolanda::market {

namespace {

Tenths Scaled(Tenths price, double factor) {
    return static_cast<Tenths>(std::round(static_cast<double>(price) * factor));
}

}  // namespace

Bar AdjustBar(const Bar& bar, double factor) {
    if (factor == 1.0) return bar;
    Bar adjusted = bar;
    adjusted.Open = Scaled(bar.Open, factor);
    adjusted.High = Scaled(bar.High, factor);
    adjusted.Low = Scaled(bar.Low, factor);
    adjusted.Close = Scaled(bar.Close, factor);
    adjusted.Volume = static_cast<int64_t>(std::round(static_cast<double>(bar.Volume) / factor));
    return adjusted;
}

void MemoryHistory::AddDay(const DaySnapshot& day) {
    for (auto& [code, issue] : issues_) issue.Bars.erase(platform::DaysFromCivil(day.Day));
    for (const auto& row : day.Rows) {
        Bar bar = row.Prices;
        bar.Day = day.Day;
        AddBar(row.Code, row.Name, bar);
        Issue& issue = issues_[row.Code];
        if (!row.Segment.empty()) issue.Segment = row.Segment;
        if (!row.Sector.empty()) issue.Sector = row.Sector;
    }
}

void MemoryHistory::AddBar(const IssueCode& code, const std::string& name, const Bar& bar) {
    Issue& issue = issues_[code];
    if (!name.empty()) issue.Name = name;
    issue.Bars[platform::DaysFromCivil(bar.Day)] = bar;
}

void MemoryHistory::AddSplit(const Split& split) {
    splits_[split.Code].emplace(platform::DaysFromCivil(split.ExDate), split);
}

BarSeries MemoryHistory::Series(const IssueCode& code, const platform::Date& from, const platform::Date& to,
                                bool adjusted) const {
    BarSeries series;
    series.Code = code;
    const auto issue = issues_.find(code);
    if (issue == issues_.end()) return series;
    series.Name = issue->second.Name;
    const auto& bars = issue->second.Bars;
    const auto splits = splits_.find(code);
    for (auto at = bars.lower_bound(platform::DaysFromCivil(from));
         at != bars.end() && at->first <= platform::DaysFromCivil(to); ++at) {
        double factor = 1.0;
        if (adjusted && splits != splits_.end()) {
            for (auto s = splits->second.upper_bound(at->first); s != splits->second.end(); ++s) factor *= s->second.Factor();
        }
        series.Bars.push_back(AdjustBar(at->second, factor));
    }
    return series;
}

std::vector<Split> MemoryHistory::Splits(const IssueCode& code) const {
    std::vector<Split> found;
    if (const auto at = splits_.find(code); at != splits_.end()) {
        for (const auto& [day, split] : at->second) found.push_back(split);
    }
    return found;
}

std::vector<IssueInfo> MemoryHistory::Issues() const {
    std::vector<IssueInfo> found;
    for (const auto& [code, issue] : issues_) {
        if (issue.Bars.empty()) continue;
        found.push_back({code, issue.Name, issue.Segment, issue.Sector, issue.Bars.begin()->second.Day, issue.Bars.rbegin()->second.Day});
    }
    return found;
}

std::vector<platform::Date> MemoryHistory::TradingDays(const platform::Date& from, const platform::Date& to) const {
    std::map<long, platform::Date> days;
    for (const auto& [code, issue] : issues_) {
        for (auto at = issue.Bars.lower_bound(platform::DaysFromCivil(from));
             at != issue.Bars.end() && at->first <= platform::DaysFromCivil(to); ++at) {
            days.emplace(at->first, at->second.Day);
        }
    }
    std::vector<platform::Date> found;
    for (const auto& [key, day] : days) found.push_back(day);
    return found;
}

std::optional<DaySnapshot> MemoryHistory::Day(const platform::Date& day) const {
    DaySnapshot snapshot;
    snapshot.Day = day;
    snapshot.Source = "memory";
    for (const auto& [code, issue] : issues_) {
        const auto at = issue.Bars.find(platform::DaysFromCivil(day));
        if (at != issue.Bars.end()) snapshot.Rows.push_back({code, issue.Name, at->second, issue.Segment, issue.Sector});
    }
    if (snapshot.Rows.empty()) return std::nullopt;
    return snapshot;
}

}  // namespace mirolanda::market
