// The market's history held in memory: the history the window and the CLI read while no
// database is at hand, and the one tests fill by hand. Adjusts on read as MarketHistory says.
#pragma once

#include <map>
#include <vector>

#include "market/MarketHistory.h"

namespace mirolanda::market {

class MemoryHistory final : public MarketHistory {
public:
    // Keeps the day's rows (and their segments and sectors, where given); a day added again
    // replaces that day's bars.
    void AddDay(const DaySnapshot& day);
    // Keeps one bar of an issue (its name kept when not empty).
    void AddBar(const IssueCode& code, const std::string& name, const Bar& bar);
    void AddSplit(const Split& split);

    BarSeries Series(const IssueCode& code, const platform::Date& from, const platform::Date& to,
                     bool adjusted) const override;
    std::vector<Split> Splits(const IssueCode& code) const override;
    std::vector<IssueInfo> Issues() const override;
    std::vector<platform::Date> TradingDays(const platform::Date& from, const platform::Date& to) const override;
    std::optional<DaySnapshot> Day(const platform::Date& day) const override;

private:
    struct Issue {
        std::string Name;
        std::string Segment, Sector;
        std::map<long, Bar> Bars;  // by days since 1970-01-01
    };
    std::map<IssueCode, Issue> issues_;
    std::map<IssueCode, std::map<long, Split>> splits_;  // by ex-date
};

// A bar's prices × factor rounded half away from zero to a tenth of a yen, its volume ÷ factor
// rounded to whole shares: the adjustment every reader of the history applies.
Bar AdjustBar(const Bar& bar, double factor);

}  // namespace mirolanda::market
