// The market's history as the daily CSV folder holds it (one "yyyymmdd.csv" per trading day):
// the history charts read while no database is at hand. An issue's series is gathered from the
// files of the days asked for; the folder records no splits, so adjusted and raw agree.
#pragma once

#include <filesystem>
#include <map>

#include "market/MarketHistory.h"

namespace mirolanda::quotes {

class CsvHistory final : public market::MarketHistory {
public:
    // Lists the folder's daily files once; a folder that does not exist holds no day.
    explicit CsvHistory(std::filesystem::path csvFolder);

    // Throws platform::FormatError naming the file and line of a malformed line of the issue.
    market::BarSeries Series(const market::IssueCode& code, const platform::Date& from, const platform::Date& to,
                             bool adjusted) const override;
    std::vector<market::Split> Splits(const market::IssueCode& code) const override;
    // The issues of the newest file, with their names there.
    std::vector<market::IssueInfo> Issues() const override;
    std::vector<platform::Date> TradingDays(const platform::Date& from, const platform::Date& to) const override;
    std::optional<market::DaySnapshot> Day(const platform::Date& day) const override;

private:
    std::map<long, std::pair<platform::Date, std::filesystem::path>> files_;  // by days since 1970
};

}  // namespace mirolanda::quotes
