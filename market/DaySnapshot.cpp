#include "market/DaySnapshot.h"

#include <algorithm>

namespace mirolanda::market {

void Normalize(DaySnapshot& day) {
    std::stable_sort(day.Rows.begin(), day.Rows.end(),
                     [](const SnapshotRow& a, const SnapshotRow& b) { return a.Code < b.Code; });
    day.Rows.erase(std::unique(day.Rows.begin(), day.Rows.end(),
                               [](const SnapshotRow& a, const SnapshotRow& b) { return a.Code == b.Code; }),
                   day.Rows.end());
    for (SnapshotRow& row : day.Rows) row.Prices.Day = day.Day;
}

}  // namespace mirolanda::market
