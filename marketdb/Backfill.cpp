#include "marketdb/Backfill.h"

namespace mirolanda::marketdb {

BackfillResult Backfill(MarketDb& db, const std::string& source, const std::vector<platform::Date>& days,
                        const DayFetch& fetch, const platform::Clock& clock,
                        const std::function<void(const BackfillStatus&)>& report, const std::atomic<bool>* cancel) {
    BackfillResult result;
    std::vector<platform::Date> todo;
    for (const auto& day : days) {
        if (db.DaySource(day) == source) ++result.Skipped;
        else todo.push_back(day);
    }
    const long start = platform::SecondsFromCivil(clock.Now());
    for (size_t i = 0; i < todo.size(); ++i) {
        if (cancel && cancel->load()) {
            result.Cancelled = true;
            break;
        }
        market::DaySnapshot day;
        try {
            day = fetch(todo[i]);
        } catch (const PlanRefusal& e) {
            result.Stop = e.PlanFirst() ? "このプランで取得できるのは " + platform::FormatSlashed(*e.PlanFirst()) + " からです"
                                        : std::string(e.what());
            break;
        }
        db.Add(day, {});
        ++result.Fetched;
        BackfillStatus status{todo[i], static_cast<int>(i + 1), static_cast<int>(todo.size() - i - 1), {}};
        const long elapsed = platform::SecondsFromCivil(clock.Now()) - start;
        status.SecondsLeft = elapsed * status.Left / status.Done;
        if (report) report(status);
    }
    return result;
}

}  // namespace mirolanda::marketdb
