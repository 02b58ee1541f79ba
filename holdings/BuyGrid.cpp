#include "holdings/BuyGrid.h"

#include <cstdio>

#include "holdings/BuyData.h"
#include "platform/Numbers.h"
#include "platform/Errors.h"

namespace mirolanda::holdings {

bool BuyGrid::AnyMarked() const {
    for (const auto& mark : Marks) {
        if (mark.Alert != BuyAlert::None) return true;
    }
    return false;
}

void ResetBuyGridTable(platform::Table& grid) {
    grid.Clear();
    grid.SetColumnCount(kGridColumns);
    grid.SetHeading({"コード", "買値", "株価", "上昇率"});
}

std::string FormatRiseRate(double rate) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", rate);
    std::string text = buffer;
    // "###.00" shows no leading zero before the point.
    if (text.starts_with("0.")) text.erase(0, 1);
    else if (text.starts_with("-0.")) text.erase(1, 1);
    return text;
}

namespace {

// The current price: the close of the newest stored day (0 without a history file).
int32_t CurrentPrice(const quotes::IssueRecord& record) {
    int32_t close = record.Days[0].Price;
    return close < 0 ? 0 : close;
}

// One alert pass over the grid's rows.
void MarkRows(BuyGrid& grid, std::string_view percentText, bool rising, uint32_t colour) {
    auto percent = platform::WholeNumber(percentText);
    if (!percent) return;  // a threshold that is not a number means no alert
    for (int i = 0; i < grid.Grid.RowCount(); ++i) {
        const std::string& shown = grid.Grid.Cell(i, kGridRate);
        if (shown.empty()) continue;  // no rate (purchase price 0)
        auto rate = platform::WholeNumber(shown);
        if (!rate) continue;
        if (rising ? *rate >= *percent : *rate <= *percent) {
            grid.Marks[static_cast<size_t>(i)] = {rising ? BuyAlert::Up : BuyAlert::Down, colour};
        }
    }
}

}  // namespace

BuyGrid UpdateBuyGrid(const platform::Table& holdings, const History& history, const BuyAlertSettings& alerts) {
    BuyGrid grid;
    ResetBuyGridTable(grid.Grid);
    for (const auto& row : holdings.Rows()) {
        auto cell = [&](int column) -> const std::string& {
            static const std::string empty;
            return column < static_cast<int>(row.size()) ? row[static_cast<size_t>(column)] : empty;
        };
        std::optional<int32_t> current;
        try {
            current = CurrentPrice(history.Record(market::CodeOfCell(cell(kBuyCode))));
        } catch (const platform::Error& error) {
            grid.Problems.emplace_back(error.what());
        }
        double price = platform::LeadingNumber(cell(kBuyPrice));
        std::string rate = price == 0 || !current ? std::string() : FormatRiseRate(*current / price * 100.0);
        grid.Grid.AddRow({cell(kBuyCode), cell(kBuyPrice), current ? std::to_string(*current) : std::string(), rate});
    }
    grid.Marks.assign(static_cast<size_t>(grid.Grid.RowCount()), BuyRowMark{});
    if (alerts.UpOn) MarkRows(grid, alerts.UpPercent, true, alerts.UpColour);
    if (alerts.DownOn) MarkRows(grid, alerts.DownPercent, false, alerts.DownColour);
    return grid;
}

}  // namespace mirolanda::holdings
