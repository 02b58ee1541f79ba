// export CODE [--from] [--to] [--adjusted] [--period]: one issue's bars as CSV on stdout.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/MarketStore.h"
#include "marketdb/Export.h"

namespace mirolanda::cli {
namespace {

market::Period PeriodOf(const std::string& text) {
    if (auto period = market::ParsePeriod(text)) return *period;
    throw UsageError{"--period には day、week、month のどれかを指定してください: " + text};
}

int RunExport(CliContext& context, const Args& args) {
    if (args.empty()) throw UsageError{"export には銘柄コードを指定してください"};
    const auto code = market::CodeFromText(args[0]);
    if (!code) throw UsageError{"銘柄コードではありません: " + args[0]};
    platform::Date from{1, 1, 1}, to{9999, 12, 31};
    bool adjusted = false;
    market::Period period = market::Period::Day;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " には値が必要です"};
            return args[++i];
        };
        auto date = [&]() {
            const std::string& text = value();
            auto d = platform::ParseSlashed(text);
            if (!d) throw UsageError{a + " には yyyy/mm/dd を指定してください: " + text};
            return *d;
        };
        if (a == "--from") from = date();
        else if (a == "--to") to = date();
        else if (a == "--adjusted") adjusted = true;
        else if (a == "--period") period = PeriodOf(value());
        else throw UsageError{"そのようなオプションはありません: " + a};
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
    "市場データベースにある銘柄の足を CSV (UTF-8) で標準出力に書きます: 見出し\n"
    "date,open,high,low,close,volume、日付は yyyy-mm-dd、株価は円で末尾の 0 を付けません。売買のない日は\n"
    "省きます。--adjusted を付けると、その日より後の株式分割の係数を各日の株価に掛け (0.1 円に四捨五入)、\n"
    "出来高を割ります。--from と --to で日を選びます。週 (月曜から金曜) や暦の月は選んだ日から作ります:\n"
    "最初の日の始値、最高の高値、最低の安値、最後の日の終値、出来高の合計で、日付は最後の日です。",
    RunExport,
};

}  // namespace mirolanda::cli
