// db check: the market database's integrity, counts and the business days it lacks.
#include <cstdio>

#include "calendar/Calender.h"
#include "cli/DbCommands.h"
#include "cli/HolidayList.h"
#include "cli/MarketStore.h"
#include "marketdb/Health.h"

namespace mirolanda::cli {
namespace {

std::string Slashed(const std::optional<platform::Date>& day) { return day ? platform::FormatSlashed(*day) : "-"; }

}  // namespace

int RunDbCheck(CliContext& context, const Args& args) {
    if (!args.empty()) throw UsageError{"db check に引数はありません"};
    const std::filesystem::path file = ExistingMarketDb(context);
    const platform::Table holidays = LoadHolidayList(context.programFolder);
    marketdb::CheckReport report;
    try {
        marketdb::MarketDb db(file);
        report = marketdb::CheckDatabase(
            db, [&](const platform::Date& d) { return calendar::GetHolidayName(holidays, d).empty(); });
    } catch (const marketdb::DatabaseError& e) {
        if (!e.Damaged()) throw;
        report.Problems.push_back(e.Reason());
    }
    if (!report.Sound()) {
        for (const auto& p : report.Problems) std::printf("整合性エラー: %s\n", p.c_str());
        const auto moved = marketdb::SetAside(file, context.clock->Now());
        std::fprintf(stderr, "mirolanda-cli: データベースが壊れています: %s に移しました ('db rebuild' で作り直せます)\n",
                     moved.string().c_str());
        return 1;
    }
    const marketdb::Counts& c = report.Count;
    std::printf("整合性: ok\n");
    std::printf("銘柄 %lld, 日数 %lld, 本数 %lld, 分割 %lld\n", static_cast<long long>(c.Issues),
                static_cast<long long>(c.Days), static_cast<long long>(c.Bars), static_cast<long long>(c.Splits));
    std::printf("最初の日 %s, 最後の日 %s\n", Slashed(c.First).c_str(), Slashed(c.Last).c_str());
    std::printf("欠けている営業日 %zu", report.Missing.size());
    for (const auto& d : report.Missing) std::printf(" %s", platform::FormatSlashed(d).c_str());
    std::printf("\n");
    return 0;
}

}  // namespace mirolanda::cli
