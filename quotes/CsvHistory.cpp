#include "quotes/CsvHistory.h"

#include "quotes/CsvFile.h"

namespace fs = std::filesystem;

namespace mirolanda::quotes {

namespace {

market::Bar BarOf(const market::SnapshotRow& line, const platform::Date& day) {
    market::Bar bar = line.Prices;
    bar.Day = day;
    return bar;
}

}  // namespace

CsvHistory::CsvHistory(fs::path csvFolder) {
    std::error_code ec;
    for (fs::directory_iterator it(csvFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        // Exactly "yyyymmdd.csv": a copy such as "20261203 (2).csv" is not a day of its own.
        const auto day = platform::ParseYmd(DateFromCsvFileName(name));
        if (!day || name.size() != 12 || !it->is_regular_file(ec)) continue;
        files_[platform::DaysFromCivil(*day)] = {*day, it->path()};
    }
}

market::BarSeries CsvHistory::Series(const market::IssueCode& code, const platform::Date& from,
                                     const platform::Date& to, bool) const {
    market::BarSeries series;
    series.Code = code;
    for (auto at = files_.lower_bound(platform::DaysFromCivil(from));
         at != files_.end() && at->first <= platform::DaysFromCivil(to); ++at) {
        const auto& [day, path] = at->second;
        const auto line = FindDailyCsvLine(path, code);
        if (!line) continue;
        series.Name = line->Name;
        series.Bars.push_back(BarOf(*line, day));
    }
    return series;
}

std::vector<market::Split> CsvHistory::Splits(const market::IssueCode&) const {
    return {};
}

std::vector<market::IssueInfo> CsvHistory::Issues() const {
    std::vector<market::IssueInfo> issues;
    if (files_.empty()) return issues;
    const auto& [day, path] = files_.rbegin()->second;
    for (const auto& line : ReadDailyCsv(path)) {
        issues.push_back({line.Code, line.Name, "", "", files_.begin()->second.first, day});
    }
    return issues;
}

std::vector<platform::Date> CsvHistory::TradingDays(const platform::Date& from, const platform::Date& to) const {
    std::vector<platform::Date> days;
    for (auto at = files_.lower_bound(platform::DaysFromCivil(from));
         at != files_.end() && at->first <= platform::DaysFromCivil(to); ++at) {
        days.push_back(at->second.first);
    }
    return days;
}

std::optional<market::DaySnapshot> CsvHistory::Day(const platform::Date& day) const {
    const auto at = files_.find(platform::DaysFromCivil(day));
    if (at == files_.end()) return std::nullopt;
    market::DaySnapshot snapshot;
    snapshot.Day = day;
    snapshot.Source = "csv";
    for (const auto& line : ReadDailyCsv(at->second.second)) {
        snapshot.Rows.push_back({line.Code, line.Name, BarOf(line, day), "", ""});
    }
    market::Normalize(snapshot);
    return snapshot;
}

}  // namespace mirolanda::quotes
