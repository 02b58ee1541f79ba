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

bool Before(const platform::Date& a, const platform::Date& b) {
    return platform::DaysFromCivil(a) < platform::DaysFromCivil(b);
}

std::string SplitNote(const std::vector<market::Split>& applied, double adjusted) {
    std::string note;
    char text[96];
    for (const auto& s : applied) {
        if (s.Ratio >= 1) std::snprintf(text, sizeof text, "%s 1→%g 分割", platform::FormatSlashed(s.ExDate).c_str(), s.Ratio);
        else std::snprintf(text, sizeof text, "%s %g→1 併合", platform::FormatSlashed(s.ExDate).c_str(), 1 / s.Ratio);
        note += (note.empty() ? "" : "、") + std::string(text);
    }
    std::snprintf(text, sizeof text, "。上昇率は買値 %g 円として計算しています", adjusted);
    return note + text;
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
            BuyRowMark& mark = grid.Marks[static_cast<size_t>(i)];
            mark.Alert = rising ? BuyAlert::Up : BuyAlert::Down;
            mark.CodeColour = colour;
        }
    }
}

}  // namespace

double AdjustedPurchasePrice(double price, const platform::Date& purchaseDay, const platform::Date& currentDay,
                             const std::vector<market::Split>& splits, std::vector<market::Split>* applied) {
    for (const auto& s : splits) {
        if (Before(purchaseDay, s.ExDate) && !Before(currentDay, s.ExDate)) {
            price *= s.Factor();
            if (applied) applied->push_back(s);
        }
    }
    return price;
}

BuyGrid UpdateBuyGrid(const platform::Table& holdings, const History& history, const BuyAlertSettings& alerts,
                      const SplitsOf& splits) {
    BuyGrid grid;
    ResetBuyGridTable(grid.Grid);
    std::vector<std::string> notes;
    for (const auto& row : holdings.Rows()) {
        auto cell = [&](int column) -> const std::string& {
            static const std::string empty;
            return column < static_cast<int>(row.size()) ? row[static_cast<size_t>(column)] : empty;
        };
        std::optional<int32_t> current;
        std::optional<platform::Date> currentDay;
        const market::IssueCode code = market::CodeOfCell(cell(kBuyCode));
        try {
            const quotes::IssueRecord record = history.Record(code);
            current = CurrentPrice(record);
            currentDay = platform::ParseSlashed(record.Days[0].Date);
        } catch (const platform::Error& error) {
            grid.Problems.emplace_back(error.what());
        }
        double price = platform::LeadingNumber(cell(kBuyPrice));
        notes.emplace_back();
        const auto purchaseDay = platform::ParseSlashed(cell(kBuyDate));
        if (splits && purchaseDay && currentDay && price != 0) {
            std::vector<market::Split> applied;
            price = AdjustedPurchasePrice(price, *purchaseDay, *currentDay, splits(code), &applied);
            if (!applied.empty()) notes.back() = SplitNote(applied, price);
        }
        std::string rate = price == 0 || !current ? std::string() : FormatRiseRate(*current / price * 100.0);
        grid.Grid.AddRow({cell(kBuyCode), cell(kBuyPrice), current ? std::to_string(*current) : std::string(), rate});
    }
    grid.Marks.assign(static_cast<size_t>(grid.Grid.RowCount()), BuyRowMark{});
    for (size_t i = 0; i < notes.size(); ++i) grid.Marks[i].SplitNote = std::move(notes[i]);
    if (alerts.UpOn) MarkRows(grid, alerts.UpPercent, true, alerts.UpColour);
    if (alerts.DownOn) MarkRows(grid, alerts.DownPercent, false, alerts.DownColour);
    return grid;
}

}  // namespace mirolanda::holdings
