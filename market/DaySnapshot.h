// A trading day of the whole market as it travels from a quote source to every store, and one
// issue's bars over time.
#pragma once

#include <string>
#include <vector>

#include "market/Bar.h"
#include "market/IssueCode.h"
#include "platform/Date.h"

namespace mirolanda::market {

struct SnapshotRow {
    IssueCode Code;
    std::string Name;     // UTF-8; control characters already blanked by the source
    Bar Prices;           // Prices.Day is the snapshot's day
    std::string Segment;  // market segment where the source gives it ("プライム"), else ""
    std::string Sector;   // sector code where the source gives it (the 33 sectors' "0050"), else ""
};

struct DaySnapshot {
    platform::Date Day;       // the data date
    std::string Source;       // the source's settings name ("site", "jquants", "csv")
    std::vector<SnapshotRow> Rows;  // one per issue, in code order

    int IssueCount() const { return static_cast<int>(Rows.size()); }
};

// Puts rows in code order and keeps the first of repeated codes; sets each bar's day.
void Normalize(DaySnapshot& day);

// One issue's bars, dates ascending.
struct BarSeries {
    IssueCode Code;
    std::string Name;
    std::vector<Bar> Bars;
};

}  // namespace mirolanda::market
