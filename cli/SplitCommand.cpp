// split CODE yyyy/mm/dd RATIO: records a split by hand.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cli/Commands.h"
#include "cli/MarketStore.h"

namespace mirolanda::cli {
namespace {

int RunSplit(CliContext& context, const Args& args) {
    if (args.size() != 3) throw UsageError{"split takes CODE yyyy/mm/dd RATIO"};
    const auto code = market::CodeFromText(args[0]);
    if (!code) throw UsageError{"not an issue code: " + args[0]};
    const auto exDate = platform::ParseSlashed(args[1]);
    if (!exDate) throw UsageError{"not a date yyyy/mm/dd: " + args[1]};
    char* end = nullptr;
    const double ratio = std::strtod(args[2].c_str(), &end);
    if (args[2].empty() || *end != '\0' || !std::isfinite(ratio) || ratio <= 0 || ratio == 1 || ratio > 1e6 ||
        ratio < 1e-6) {
        throw UsageError{"RATIO is the new shares per old share, a positive number other than 1: " + args[2]};
    }
    auto db = OpenMarketDb(context);
    const bool recorded = db->RecordSplit({*code, *exDate, ratio, marketdb::kUserOrigin});
    double stored = ratio;
    for (const auto& s : db->Splits(*code)) {
        if (s.ExDate == *exDate) stored = s.Ratio;
    }
    std::printf("%s %s %s %g\n", recorded ? "記録しました:" : "記録済みです (変更なし):", code->Text().c_str(),
                platform::FormatSlashed(*exDate).c_str(), stored);
    return 0;
}

}  // namespace

const Command kSplitCommand = {
    "split",
    "split CODE yyyy/mm/dd RATIO\n"
    "Records in the market database that the issue split on the ex-date: RATIO new shares per old\n"
    "share (5 for a 1→5 split, 0.1 for a 10→1 consolidation). Prices before the ex-date are then\n"
    "multiplied by 1/RATIO wherever adjusted prices are shown or exported. A split already known for\n"
    "that issue and ex-date (from J-Quants or by hand) is kept as it is.",
    RunSplit,
};

}  // namespace mirolanda::cli
