#include "movers/Ranking.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace mirolanda::movers {
namespace {

struct Names {
    Ranking ranking;
    std::string_view name, caption, value;
};

constexpr Names kNames[] = {
    {Ranking::Gainers, "gainers", "値上がり率", "騰落率(%)"},
    {Ranking::Losers, "losers", "値下がり率", "騰落率(%)"},
    {Ranking::Volume, "volume", "売買高", "売買高(株)"},
    {Ranking::Turnover, "turnover", "売買代金", "売買代金(円)"},
    {Ranking::Surge, "surge", "出来高急増", "出来高倍率"},
    {Ranking::Highs, "highs", "年初来高値", "高値更新幅(%)"},
    {Ranking::Lows, "lows", "年初来安値", "安値更新幅(%)"},
};

const Names& Of(Ranking ranking) {
    for (const auto& n : kNames) {
        if (n.ranking == ranking) return n;
    }
    return kNames[0];
}

}  // namespace

std::string_view RankingName(Ranking ranking) { return Of(ranking).name; }
std::string_view RankingCaption(Ranking ranking) { return Of(ranking).caption; }
std::string_view ValueCaption(Ranking ranking) { return Of(ranking).value; }

std::optional<Ranking> ParseRanking(std::string_view name) {
    for (const auto& n : kNames) {
        if (n.name == name) return n.ranking;
    }
    return std::nullopt;
}

std::string FormatValue(Ranking ranking, double value) {
    if (ranking == Ranking::Volume || ranking == Ranking::Turnover) return std::to_string(std::llround(value));
    return FormatHundredths(value);
}

std::string FormatHundredths(double value) {
    // The nudge keeps a value meant to end in exactly 5 from falling a hair short through binary
    // fractions (1.005 is stored as 1.00499999…).
    const int64_t hundredths = std::llround(value * 100.0 * (1.0 + 1e-12));
    const int64_t whole = std::llabs(hundredths);
    std::string text = std::to_string(whole / 100) + '.' + std::to_string(whole % 100 / 10) + std::to_string(whole % 10);
    return hundredths < 0 ? '-' + text : text;
}

}  // namespace mirolanda::movers
