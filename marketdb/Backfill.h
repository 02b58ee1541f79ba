// Filling the database with past days from a source that serves any day of its plan: one day
// fetched and committed at a time, days already stored from that source skipped, so a killed
// backfill continues where it stopped with nothing fetched twice. Pacing belongs to the fetch.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "marketdb/MarketDb.h"
#include "platform/Errors.h"

namespace mirolanda::marketdb {

// Thrown by a fetch whose source refuses the date for the user's plan; carries the plan's first
// date when the answer gives it.
class PlanRefusal : public platform::Error {
public:
    PlanRefusal(const std::string& what, std::optional<platform::Date> planFirst)
        : Error(what), planFirst_(planFirst) {}
    const std::optional<platform::Date>& PlanFirst() const { return planFirst_; }

private:
    std::optional<platform::Date> planFirst_;
};

using DayFetch = std::function<market::DaySnapshot(const platform::Date&)>;

struct BackfillStatus {
    platform::Date Day;  // the day just stored
    int Done = 0, Left = 0;
    std::optional<long> SecondsLeft;  // once a day has been fetched: the mean so far × days left
};

struct BackfillResult {
    int Fetched = 0, Skipped = 0;
    std::string Stop;  // why it stopped before the end (a refused date), else ""
    bool Cancelled = false;
};

// Fetches and stores each of `days` (the business days of the range, ascending) not already
// stored from `source`. A PlanRefusal ends it with Stop naming the plan's first date
// (yyyy/mm/dd) when known; the days stored stay. Other errors are thrown as they come.
BackfillResult Backfill(MarketDb& db, const std::string& source, const std::vector<platform::Date>& days,
                        const DayFetch& fetch, const platform::Clock& clock,
                        const std::function<void(const BackfillStatus&)>& report,
                        const std::atomic<bool>* cancel = nullptr);

}  // namespace mirolanda::marketdb
