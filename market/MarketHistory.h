// The read seam of the market's history: what charts, rankings, exports and the holdings ask
// of years of daily bars, whatever keeps them. Adjusted prices are computed on read from the
// stored split factors, never stored.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "market/DaySnapshot.h"
#include "market/IssueCode.h"
#include "platform/Date.h"

namespace mirolanda::market {

// A split or consolidation of an issue: from ExDate on, one old share is Ratio new ones (5 for
// a 1→5 split, 0.1 for a 10→1 consolidation). Prices before ExDate are multiplied by
// Factor() = 1 / Ratio to be comparable with those after, volumes divided by it.
struct Split {
    IssueCode Code;
    platform::Date ExDate;
    double Ratio = 1.0;
    std::string Origin;  // the source's name whose factor recorded it ("jquants"), or "user"
    double Factor() const { return 1.0 / Ratio; }
};

// One issue's stored days over a span, summed up as stored (raw): what a ranking of the whole
// market asks of many days without reading every bar.
struct IssueSpan {
    IssueCode Code;
    int Days = 0;             // bars stored in the span, days without trade included
    Tenths HighClose = 0;     // the highest and lowest close of the days traded; 0 when none traded
    Tenths LowClose = 0;
    int64_t Volume = 0;       // summed
};

struct IssueInfo {
    IssueCode Code;
    std::string Name;     // the latest name seen
    std::string Segment;  // where the source gives it, else ""
    std::string Sector;
    platform::Date First, Last;  // first and last day stored
};

class MarketHistory {
public:
    virtual ~MarketHistory() = default;
    // One issue's stored days from `from` to `to` (inclusive), dates ascending, days without
    // trade included (zero prices). Adjusted: each day's prices × the product of the factors of
    // the issue's later ex-dates, rounded half away from zero to 0.1 yen; volumes ÷ that
    // product, rounded to whole shares.
    virtual BarSeries Series(const IssueCode& code, const platform::Date& from, const platform::Date& to,
                             bool adjusted) const = 0;
    // The issue's splits, ex-dates ascending.
    virtual std::vector<Split> Splits(const IssueCode& code) const = 0;
    // Every issue stored, in code order.
    virtual std::vector<IssueInfo> Issues() const = 0;
    // The days stored between `from` and `to` (inclusive), ascending.
    virtual std::vector<platform::Date> TradingDays(const platform::Date& from, const platform::Date& to) const = 0;
    // A whole stored day as it was stored (raw prices); nothing for a day not stored.
    virtual std::optional<DaySnapshot> Day(const platform::Date& day) const = 0;

    // Every issue with a bar stored between `from` and `to` (inclusive), in code order, raw: a
    // caller that compares across a split adjusts the issues SplitsBetween names. The default
    // reads every issue's series; a store answers it in one pass.
    virtual std::vector<IssueSpan> Spans(const platform::Date& from, const platform::Date& to) const;
    // The same for the given issues only (a ranking's candidates); the default filters Spans.
    virtual std::vector<IssueSpan> SpansOf(const platform::Date& from, const platform::Date& to,
                                           const std::vector<IssueCode>& codes) const;
    // Every split whose ex-date lies between `from` and `to` (inclusive), by code and ex-date.
    virtual std::vector<Split> SplitsBetween(const platform::Date& from, const platform::Date& to) const;
};

}  // namespace mirolanda::market
