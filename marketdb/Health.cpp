#include "marketdb/Health.h"

#include <cstdio>
#include <set>

#include "marketdb/Schema.h"
#include "platform/Errors.h"

namespace mirolanda::marketdb {

CheckReport CheckDatabase(MarketDb& db, const std::function<bool(const platform::Date&)>& isBusiness) {
    CheckReport report;
    {
        Statement s(db.Db(), "PRAGMA integrity_check");
        while (s.Step()) {
            if (s.Text(0) != "ok") report.Problems.push_back(s.Text(0));
        }
    }
    if (!report.Sound()) return report;
    report.Count = db.Count();
    if (!report.Count.First) return report;
    std::set<int64_t> stored;
    for (const auto& d : db.TradingDays(*report.Count.First, *report.Count.Last)) stored.insert(DayKey(d));
    const long last = platform::DaysFromCivil(*report.Count.Last);
    for (long n = platform::DaysFromCivil(*report.Count.First); n <= last; ++n) {
        const platform::Date d = platform::CivilFromDays(n);
        if (isBusiness(d) && !stored.count(DayKey(d))) report.Missing.push_back(d);
    }
    return report;
}

std::filesystem::path AsideName(const std::filesystem::path& file, const platform::DateTime& now, const char* label) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, ".%s-%s-%02d%02d%02d", label, platform::FormatYmd(now.Day).c_str(), now.Hour,
                  now.Minute, now.Second);
    return file.string() + stamp;
}

std::filesystem::path SetAside(const std::filesystem::path& file, const platform::DateTime& now, const char* label) {
    const std::filesystem::path target = AsideName(file, now, label);
    std::error_code ec;
    std::filesystem::rename(file, target, ec);
    if (ec) throw platform::FileError(file, "データベースを移せません (" + ec.message() + ")");
    // The log and index belong to the file set aside; a new file must never meet them.
    for (const char* suffix : {"-wal", "-shm"}) {
        const std::filesystem::path side = file.string() + suffix;
        if (!std::filesystem::exists(side, ec)) continue;
        std::filesystem::rename(side, target.string() + suffix, ec);
        if (ec) std::filesystem::remove(side, ec);
    }
    return target;
}

Opened OpenOrSetAside(const std::filesystem::path& file, const platform::DateTime& now) {
    try {
        return {std::make_unique<MarketDb>(file), ""};
    } catch (const DatabaseError& e) {
        // A busy or read-only file is sound: only a damaged one is moved out of the way.
        std::error_code ec;
        if (!e.Damaged() || !std::filesystem::is_regular_file(file, ec)) throw;
        const std::filesystem::path moved = SetAside(file, now);
        std::string message = e.Reason() + ": " + file.string() + " を " + moved.filename().string() +
                              " に移し、新しく作りました";
        return {std::make_unique<MarketDb>(file), message};
    }
}

}  // namespace mirolanda::marketdb
