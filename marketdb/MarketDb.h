// The market history database: every stored day's bars of every issue in one SQLite file, fed
// as a store of the day's snapshot and read through the market's history seam. Raw prices are
// stored; adjusted ones are computed on read from the recorded splits.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "market/DayStore.h"
#include "market/MarketHistory.h"
#include "marketdb/Sqlite.h"

namespace mirolanda::marketdb {

// "Market.sqlite3": the file's name in the program folder unless the settings name another.
inline constexpr const char* kDefaultFileName = "Market.sqlite3";
inline constexpr const char* kUserOrigin = "user";

struct Counts {
    int64_t Issues = 0, Days = 0, Bars = 0, Splits = 0;
    std::optional<platform::Date> First, Last;  // the first and last day stored
};

class MarketDb final : public market::DayStore, public market::MarketHistory {
public:
    // Opens the file, creating it with its folder when missing. Throws FileError when it cannot
    // be opened or is no database of ours.
    explicit MarketDb(const std::filesystem::path& file);
    ~MarketDb() override;

    // Stores the day in one transaction (or in the caller's, when one is open), replacing a day
    // stored before; records a split for each bar whose factor is not 1. Progress steps through
    // the rows.
    void Add(const market::DaySnapshot& day, const platform::Progress& progress) override;

    market::BarSeries Series(const market::IssueCode& code, const platform::Date& from, const platform::Date& to,
                             bool adjusted) const override;
    std::vector<market::Split> Splits(const market::IssueCode& code) const override;
    std::vector<market::IssueInfo> Issues() const override;
    std::vector<platform::Date> TradingDays(const platform::Date& from, const platform::Date& to) const override;
    // Names, segments and sectors are the issue's latest, the file keeping one of each.
    std::optional<market::DaySnapshot> Day(const platform::Date& day) const override;
    std::vector<market::IssueSpan> Spans(const platform::Date& from, const platform::Date& to) const override;
    std::vector<market::IssueSpan> SpansOf(const platform::Date& from, const platform::Date& to,
                                           const std::vector<market::IssueCode>& codes) const override;
    std::vector<market::Split> SplitsBetween(const platform::Date& from, const platform::Date& to) const override;

    // Records a split; false when one of that issue and ex-date is known already (it is kept).
    bool RecordSplit(const market::Split& split);
    // Every split of every issue, by code and ex-date.
    std::vector<market::Split> AllSplits() const;
    // The source that stored the day, or nothing.
    std::optional<std::string> DaySource(const platform::Date& day) const;
    Counts Count() const;

    const std::filesystem::path& File() const { return db_->File(); }
    Connection& Db() const { return *db_; }

private:
    int64_t SourceId(const std::string& name);
    void RemoveDay(int64_t day);
    void AddRows(const market::DaySnapshot& day, int64_t source, const platform::Progress& progress);

    std::unique_ptr<Connection> db_;
    std::map<std::string, int64_t> sources_;
};

}  // namespace mirolanda::marketdb
