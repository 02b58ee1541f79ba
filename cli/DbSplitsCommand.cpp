// db splits [--suggest]: the recorded splits, or the closes that look like one.
#include <cstdio>

#include "cli/DbCommands.h"
#include "cli/MarketStore.h"
#include "marketdb/SplitSuggest.h"

namespace mirolanda::cli {

int RunDbSplits(CliContext& context, const Args& args) {
    const bool suggest = args.size() == 1 && args[0] == "--suggest";
    if (!args.empty() && !suggest) throw UsageError{"db splits に指定できるのは --suggest だけです"};
    marketdb::MarketDb db(ExistingMarketDb(context));
    if (!suggest) {
        for (const auto& s : db.AllSplits()) {
            std::printf("%s %s %g %s\n", s.Code.Text().c_str(), platform::FormatSlashed(s.ExDate).c_str(), s.Ratio,
                        s.Origin.c_str());
        }
        return 0;
    }
    const auto found = marketdb::SuggestSplits(db);
    for (const auto& s : found) {
        std::printf("%s %s %s → %s %s: 比 %g (確かめて: mirolanda-cli split %s %s %g)\n", s.Code.Text().c_str(),
                    platform::FormatSlashed(s.Before).c_str(), market::FormatTenths(s.CloseBefore).c_str(),
                    platform::FormatSlashed(s.ExDate).c_str(), market::FormatTenths(s.Close).c_str(), s.Ratio,
                    s.Code.Text().c_str(), platform::FormatSlashed(s.ExDate).c_str(), s.Ratio);
    }
    std::printf("候補 %zu\n", found.size());
    return 0;
}

}  // namespace mirolanda::cli
