// export CODE [--from] [--to] [--adjusted] [--period]: one issue's bars as CSV on stdout.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/MarketStore.h"
#include "marketdb/Export.h"

namespace mirolanda::cli {
namespace {

market::Period PeriodOf(const std::string& text) {
    if (auto period = market::ParsePeriod(text)) return *period;
    throw UsageError{"--period takes day, week or month, not " + text};
}

int RunExport(CliContext& context, const Args& args) {
    if (args.empty()) throw UsageError{"export takes an issue code"};
    const auto code = market::CodeFromText(args[0]);
    if (!code) throw UsageError{"not an issue code: " + args[0]};
    platform::Date from{1, 1, 1}, to{9999, 12, 31};
    bool adjusted = false;
    market::Period period = market::Period::Day;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
            return args[++i];
        };
        auto date = [&]() {
            const std::string& text = value();
            auto d = platform::ParseSlashed(text);
            if (!d) throw UsageError{a + " takes yyyy/mm/dd, not " + text};
            return *d;
        };
        if (a == "--from") from = date();
        else if (a == "--to") to = date();
        else if (a == "--adjusted") adjusted = true;
        else if (a == "--period") period = PeriodOf(value());
        else throw UsageError{"unknown option: " + a};
    }
    const marketdb::MarketDb db(ExistingMarketDb(context));
    const std::string csv = marketdb::ExportIssue(db, *code, from, to, adjusted, period);
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return 0;
}

}  // namespace

const Command kExportCommand = {
    "export",
    "export CODE [--from yyyy/mm/dd] [--to yyyy/mm/dd] [--adjusted] [--period day|week|month]\n"
    "Writes the issue's bars from the market database as CSV to stdout (UTF-8): the header\n"
    "date,open,high,low,close,volume, dates yyyy-mm-dd, prices in yen without trailing zeros.\n"
    "Days without trade are left out. --adjusted multiplies each day's prices by the factors of the\n"
    "issue's later splits (rounded half away from zero to 0.1 yen) and divides its volume by them.\n"
    "--from and --to pick the days; a week (Monday to Friday) or a calendar month is built from the\n"
    "days picked: open of its first day, highest high, lowest low, close of its last day, summed\n"
    "volume, dated by its last day.",
    RunExport,
};

}  // namespace mirolanda::cli
