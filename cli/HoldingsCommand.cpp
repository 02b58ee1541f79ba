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
    if (!args.empty()) throw UsageError{"holdings takes no arguments"};
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
    "Prints one line per holding of the settings folder's 売買情報.txt, TAB-separated: code,\n"
    "purchase price, current price (the newest stored close), rise rate in percent, and \"up\"\n"
    "or \"down\" when the rate has reached the alert threshold of the settings (BuyUpChkMode,\n"
    "BuyUpNum, BuyDownChkMode, BuyDownNum). Exits 0, or 3 when any holding is marked.\n"
    "Lines of the holdings file that cannot be read are reported on stderr and skipped. Across a\n"
    "split recorded in the market database (see 'split'), the rate and the alert use the purchase\n"
    "price adjusted by the splits between the purchase date and the current close; the price is\n"
    "printed as stored, and the split is named on stderr.",
    RunHoldings,
};

}  // namespace mirolanda::cli
