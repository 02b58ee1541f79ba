// split CODE yyyy/mm/dd RATIO: records a split by hand.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cli/Commands.h"
#include "cli/MarketStore.h"

namespace mirolanda::cli {
namespace {

int RunSplit(CliContext& context, const Args& args) {
    if (args.size() != 3) throw UsageError{"split には CODE yyyy/mm/dd RATIO を指定してください"};
    const auto code = market::CodeFromText(args[0]);
    if (!code) throw UsageError{"銘柄コードではありません: " + args[0]};
    const auto exDate = platform::ParseSlashed(args[1]);
    if (!exDate) throw UsageError{"日付 yyyy/mm/dd ではありません: " + args[1]};
    char* end = nullptr;
    const double ratio = std::strtod(args[2].c_str(), &end);
    if (args[2].empty() || *end != '\0' || !std::isfinite(ratio) || ratio <= 0 || ratio == 1 || ratio > 1e6 ||
        ratio < 1e-6) {
        throw UsageError{"RATIO は旧1株あたりの新株数で、1 以外の正の数です: " + args[2]};
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
    "銘柄が権利落ち日に株式分割したことを市場データベースに記録します: 旧1株あたり新 RATIO 株 (1→5 の分割\n"
    "なら 5、10→1 の併合なら 0.1)。権利落ち日より前の株価は、調整した株価を表示または書き出すところで\n"
    "1/RATIO 倍になります。その銘柄と権利落ち日の分割が既に記録されていれば (J-Quants から、または手で)、\n"
    "そのままにします。",
    RunSplit,
};

}  // namespace mirolanda::cli
