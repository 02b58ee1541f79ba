// The day's movers: the whole market of one stored day ranked by change from the previous
// trading day's close, volume, turnover, volume against its 25-day average, or a close beyond
// every close of the year so far. Read through the market's history; prices compared across a
// split are adjusted by it, the closes shown are as traded.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "market/MarketHistory.h"
#include "movers/Ranking.h"
#include "platform/Errors.h"

namespace mirolanda::movers {

inline constexpr int kDefaultTop = 50;
// 出来高急増 compares the day's volume with the average of this many trading days, the day's own
// included; an issue with fewer days stored is not ranked.
inline constexpr int kSurgeDays = 25;

// The day asked for is not stored.
class MissingDay : public platform::Error {
public:
    explicit MissingDay(const platform::Date& day);
    const platform::Date& Day() const { return day_; }

private:
    platform::Date day_;
};

struct MoversRequest {
    Ranking Kind = Ranking::Gainers;
    platform::Date Day;
    int Top = kDefaultTop;
    std::string Segment;  // only the issues of this market segment; "" for every issue
};

struct Mover {
    int Rank = 0;  // equal values share a rank (1, 2, 2, 4)
    market::IssueCode Code;
    std::string Name, Segment;
    market::Tenths Close = 0;                 // as traded that day
    std::optional<double> ChangePercent;      // from the previous trading day's close, adjusted
    int64_t Volume = 0;                       // as traded that day
    double Value = 0;                         // the ranking's own value, unrounded
};

struct Movers {
    platform::Date Day;
    std::vector<Mover> Rows;            // best first, ties in code order, at most Top
    std::vector<std::string> Segments;  // the segments the day's issues carry, for a filter
};

// Ranks the stored day. Throws MissingDay when the day is not stored.
Movers RankMovers(const market::MarketHistory& history, const MoversRequest& request);

// The newest stored day not after `upTo`, or nothing.
std::optional<platform::Date> LatestDay(const market::MarketHistory& history, const platform::Date& upTo);

}  // namespace mirolanda::movers
