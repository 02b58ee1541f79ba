// holdings: the holdings grid without a window, for a cron job that mails the user when a
// holding has reached an alert threshold.
#include <cstdio>

#include "cli/Commands.h"
#include "holdings/BuyData.h"
#include "holdings/BuyGrid.h"
#include "holdings/History.h"
#include "platform/Table.h"
#include "settings/CommandOptions.h"
#include "settings/MarketSplits.h"

namespace mirolanda::cli {
namespace {

// Exit status when at least one holding is marked, so that cron can tell it apart.
constexpr int kMarkedStatus = 3;

const char* AlertWord(holdings::BuyAlert alert) {
    switch (alert) {
        case holdings::BuyAlert::Up: return "up";
        case holdings::BuyAlert::Down: return "down";
        case holdings::BuyAlert::None: break;
    }
    return "";
}

int RunHoldings(CliContext& context, const Args& args) {
    if (!args.empty()) throw UsageError{"holdings に引数はありません"};
    platform::Table table;
    auto load = holdings::LoadBuyData(table, context.folders.Setting);
    if (!load.Problems.empty()) std::fprintf(stderr, "%s\n", load.Message().c_str());

    holdings::HistoryFolder history(context.folders.StockData);
    std::string unread;
    const holdings::SplitsOf splits = settings::MarketSplitsFrom(context.Settings(), unread);
    if (!unread.empty()) std::fprintf(stderr, "mirolanda-cli: 株式分割を読めません: %s\n", unread.c_str());
    holdings::BuyGrid grid = holdings::UpdateBuyGrid(table, history, settings::AlertsFrom(context.Settings()), splits);
    for (const auto& problem : grid.Problems) std::fprintf(stderr, "%s\n", problem.c_str());
    for (int i = 0; i < grid.Grid.RowCount(); ++i) {
        const std::string& note = grid.Marks[static_cast<size_t>(i)].SplitNote;
        if (!note.empty()) std::fprintf(stderr, "%s: %s\n", grid.Grid.Cell(i, holdings::kGridCode).c_str(), note.c_str());
    }
    for (int i = 0; i < grid.Grid.RowCount(); ++i) {
        const auto& row = grid.Grid.RowAt(i);
        std::printf("%s\t%s\t%s\t%s\t%s\n", row[holdings::kGridCode].c_str(), row[holdings::kGridPrice].c_str(),
                    row[holdings::kGridCurrent].c_str(), row[holdings::kGridRate].c_str(),
                    AlertWord(grid.Marks[static_cast<size_t>(i)].Alert));
    }
    return grid.AnyMarked() ? kMarkedStatus : 0;
}

}  // namespace

const Command kHoldingsCommand = {
    "holdings",
    "holdings\n"
    "設定フォルダの 売買情報.txt の持株を1件1行、タブ区切りで表示します: コード、購入価格、現在値 (保存されて\n"
    "いる最新の終値)、上昇率 (%)、上昇率が設定の警告の値 (BuyUpChkMode、BuyUpNum、BuyDownChkMode、\n"
    "BuyDownNum) に達したとき \"up\" または \"down\"。終了ステータスは 0、警告の付いた持株があれば 3。\n"
    "持株ファイルの読めない行は標準エラーに表示して飛ばします。市場データベースに記録された株式分割\n"
    "('split' を参照) をまたぐときは、購入日から現在の終値までの分割で調整した購入価格で上昇率と警告を\n"
    "求めます。価格は保存されているとおりに表示し、分割は標準エラーに表示します。",
    RunHoldings,
};

}  // namespace mirolanda::cli
