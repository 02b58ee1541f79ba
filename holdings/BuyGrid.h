// The holdings grid: for every holding its code, purchase price, current price (the newest
// stored close) and rise rate, with the code cell coloured when the rate has reached the
// user's rise or fall threshold. Built by the window and the command-line tool alike.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <functional>

#include "holdings/History.h"
#include "market/MarketHistory.h"
#include "platform/Table.h"

namespace mirolanda::holdings {

inline constexpr int kGridColumns = 4;
enum GridColumn { kGridCode = 0, kGridPrice = 1, kGridCurrent = 2, kGridRate = 3 };
// Column widths in twips.
inline constexpr std::array<int, kGridColumns> kGridWidths = {700, 800, 800, 800};

// The alert thresholds as the settings hold them; the percentages are kept as typed and read
// when the grid is built. Colours are 0x00BBGGRR.
struct BuyAlertSettings {
    bool UpOn = true;
    std::string UpPercent = "130.0";
    uint32_t UpColour = 65280;
    bool DownOn = true;
    std::string DownPercent = "70.0";
    uint32_t DownColour = 255;
};

enum class BuyAlert { None, Up, Down };

struct BuyRowMark {
    BuyAlert Alert = BuyAlert::None;
    std::optional<uint32_t> CodeColour;  // background of the code cell, when marked
    // The splits the rise rate took into account, for the row's tooltip; empty when none.
    std::string SplitNote;
};

// An issue's recorded splits, ex-dates ascending (a market history's Splits).
using SplitsOf = std::function<std::vector<market::Split>(const market::IssueCode&)>;

// The purchase price comparable with a close of `currentDay`: × the factor of every split whose
// ex-date is after `purchaseDay` and not after `currentDay`, unrounded; and the splits applied.
double AdjustedPurchasePrice(double price, const platform::Date& purchaseDay, const platform::Date& currentDay,
                             const std::vector<market::Split>& splits, std::vector<market::Split>* applied = nullptr);

struct BuyGrid {
    platform::Table Grid{kGridColumns};  // heading row, then one row per holding
    std::vector<BuyRowMark> Marks;       // one per data row
    // History files that could not be read (one message each); their rows show no price.
    std::vector<std::string> Problems;
    bool AnyMarked() const;
};

// Whether the window may draw a chart on a selection event: not before the first build and
// not while a build is being shown (the grid moves its current cell then).
enum class BuyGridState { NotBuilt, No, OK };

// Empties a grid table to its four columns and heading row ("コード", "買値", "株価", "上昇率").
void ResetBuyGridTable(platform::Table& grid);

// A rise rate in percent with two decimals and no leading zero: 0 → ".00", 0.5 → ".50",
// 100 → "100.00", 1234.5 → "1234.50".
std::string FormatRiseRate(double rate);

// Builds the grid from the holdings table. The rate is current ÷ purchase price × 100 with
// the price cell's leading number; a price of 0 leaves the rate empty and the row unmarked.
// The rise pass marks rates ≥ its percentage, then the fall pass rates ≤ its percentage
// (so a row meeting both ends with the fall colour); both compare the rate as shown. A
// percentage that is not a number turns its pass off. Reads one history record per holding;
// a damaged history file leaves that row's price and rate empty and is named in Problems,
// so one bad file never hides the other holdings. With `splits`, the rate and the alerts use the
// purchase price adjusted across the splits between the purchase date and the current close's
// (AdjustedPurchasePrice); the price cell still shows the price as stored and the row's
// SplitNote names the splits.
BuyGrid UpdateBuyGrid(const platform::Table& holdings, const History& history, const BuyAlertSettings& alerts,
                      const SplitsOf& splits = {});

}  // namespace mirolanda::holdings
