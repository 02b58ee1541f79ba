// The day's rankings a user can ask for, by the name the command line takes and the caption the
// window shows, and how each one's value is written.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mirolanda::movers {

enum class Ranking { Gainers, Losers, Volume, Turnover, Surge, Highs, Lows };

inline constexpr std::array<Ranking, 7> kRankings = {Ranking::Gainers, Ranking::Losers, Ranking::Volume,
                                                     Ranking::Turnover, Ranking::Surge,  Ranking::Highs,
                                                     Ranking::Lows};

// "gainers", "losers", "volume", "turnover", "surge", "highs", "lows".
std::string_view RankingName(Ranking ranking);
std::optional<Ranking> ParseRanking(std::string_view name);
// 値上がり率, 値下がり率, 売買高, 売買代金, 出来高急増, 年初来高値, 年初来安値.
std::string_view RankingCaption(Ranking ranking);
// What the ranking's value is, as a column heading: 騰落率(%), 売買高(株), 売買代金(円), 出来高倍率,
// 高値更新幅(%), 安値更新幅(%).
std::string_view ValueCaption(Ranking ranking);

// The value as the ranking shows it: whole shares or yen for 売買高 and 売買代金, else two decimals.
std::string FormatValue(Ranking ranking, double value);
// Two decimals, rounded half away from zero, without a sign for a value that rounds to zero:
// "3.45", "-0.50", "0.00".
std::string FormatHundredths(double value);

}  // namespace mirolanda::movers
