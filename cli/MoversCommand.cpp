// movers RANKING [--top N] [--date yyyy/mm/dd]: one of the day's rankings from the market
// database as TSV on stdout.
#include <cstdio>

#include "calendar/Calender.h"
#include "cli/Commands.h"
#include "cli/HolidayList.h"
#include "cli/MarketStore.h"
#include "movers/Movers.h"
#include "platform/Numbers.h"

namespace mirolanda::cli {
namespace {

struct MoversArgs {
    movers::MoversRequest request;
    bool dated = false;
};

MoversArgs ParseArgs(const Args& args) {
    MoversArgs a;
    if (args.empty()) throw UsageError{"movers takes a ranking: gainers, losers, volume, turnover, surge, highs or lows"};
    const auto ranking = movers::ParseRanking(args[0]);
    if (!ranking) throw UsageError{"not a ranking: " + args[0]};
    a.request.Kind = *ranking;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (i + 1 >= args.size() && (arg == "--top" || arg == "--date")) throw UsageError{arg + " needs a value"};
        if (arg == "--top") {
            const auto top = platform::WholeInteger(args[++i], 1, 100000);
            if (!top) throw UsageError{"--top takes a whole number from 1 to 100000, not \"" + args[i] + "\""};
            a.request.Top = static_cast<int>(*top);
        } else if (arg == "--date") {
            const auto day = platform::ParseSlashed(args[++i]);
            if (!day) throw UsageError{"--date takes yyyy/mm/dd, not \"" + args[i] + "\""};
            a.request.Day = *day;
            a.dated = true;
        } else {
            throw UsageError{"unexpected argument: " + arg};
        }
    }
    return a;
}

void PrintRow(const movers::Mover& m, movers::Ranking ranking) {
    const std::string change = m.ChangePercent ? movers::FormatHundredths(*m.ChangePercent) : "";
    std::printf("%d\t%s\t%s\t%s\t%s\t%lld\t%s\n", m.Rank, m.Code.Text().c_str(), m.Name.c_str(),
                market::FormatTenths(m.Close).c_str(), change.c_str(), static_cast<long long>(m.Volume),
                movers::FormatValue(ranking, m.Value).c_str());
}

int RunMovers(CliContext& context, const Args& args) {
    MoversArgs a = ParseArgs(args);
    const marketdb::MarketDb db(ExistingMarketDb(context));
    if (!a.dated) {
        // The data date, or the newest day stored before it when its prices are not in yet.
        const auto dataDate = platform::ParseYmd(calendar::GetDataDate(LoadHolidayList(context.programFolder), *context.clock));
        const auto latest = movers::LatestDay(db, dataDate.value_or(platform::Date{9999, 12, 31}));
        if (!latest) throw std::runtime_error("データベースに株価がありません");
        a.request.Day = *latest;
    }
    const movers::Movers found = movers::RankMovers(db, a.request);
    for (const auto& m : found.Rows) PrintRow(m, a.request.Kind);
    return 0;
}

}  // namespace

const Command kMoversCommand = {
    "movers",
    "movers gainers|losers|volume|turnover|surge|highs|lows [--top N] [--date yyyy/mm/dd]\n"
    "Prints one of the day's rankings from the market database as TSV without a heading: rank,\n"
    "code, name, close, change from the previous trading day's close in percent (two decimals,\n"
    "empty without a previous close), volume and the ranking's own value. gainers and losers rank\n"
    "the change (split-adjusted) of the issues that rose or fell; volume the shares traded;\n"
    "turnover the yen traded (the source's figure, else close x volume); surge the volume over its\n"
    "average of the last 25 trading days (issues with all 25 only); highs and lows a close above\n"
    "(below) every close since the year's first trading day, by how far in percent. Equal values\n"
    "share a rank and are listed by code. --top keeps the first N (default 50); --date picks the\n"
    "day (default: the data date, or the newest day stored before it).",
    RunMovers,
};

}  // namespace mirolanda::cli
