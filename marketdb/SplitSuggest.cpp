#include "marketdb/SplitSuggest.h"

#include <cmath>
#include <set>
#include <utility>

#include "marketdb/Schema.h"

namespace mirolanda::marketdb {

double SuggestedRatio(double closeRatio) {
    for (double ratio : {2.0, 3.0, 4.0, 5.0, 10.0}) {
        for (double r : {ratio, 1.0 / ratio}) {
            if (std::fabs(closeRatio * r - 1.0) <= 0.03 + 1e-12) return r;  // 3 % itself included
        }
    }
    return 0.0;
}

std::vector<SplitSuggestion> SuggestSplits(const MarketDb& db) {
    std::set<std::pair<std::string, int64_t>> known;
    for (const auto& s : db.AllSplits()) known.insert({s.Code.Text(), DayKey(s.ExDate)});
    std::vector<SplitSuggestion> found;
    // One pass over every traded bar in key order: each issue's days ascending.
    Statement s(db.Db(), "SELECT code, day, close FROM bars WHERE close > 0 ORDER BY code, day");
    std::string code;
    int64_t day = 0, close = 0;
    while (s.Step()) {
        std::string c = s.Text(0);
        const int64_t d = s.Int(1), cl = s.Int(2);
        if (c == code) {
            const double ratio = SuggestedRatio(static_cast<double>(cl) / static_cast<double>(close));
            if (ratio != 0.0 && !known.count({c, d})) {
                if (auto parsed = market::IssueCode::Parse(c)) {
                    found.push_back({*parsed, DateOfKey(day), DateOfKey(d), close, cl, ratio});
                }
            }
        }
        code = std::move(c);
        day = d;
        close = cl;
    }
    return found;
}

}  // namespace mirolanda::marketdb
