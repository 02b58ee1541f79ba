// The holding price chart: the closes of up to 85 stored days before and after the purchase
// day, scaled between the period's lowest and highest close, with price labels, grid lines,
// the purchase price and day in red, month separators and the holding's text lines.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Canvas.h"
#include "quotes/StockFile.h"

namespace mirolanda::holdings {

using platform::Canvas;
using platform::PenStyle;

inline constexpr uint32_t kChartBlack = 0;
inline constexpr uint32_t kChartGrey = 8421504;
inline constexpr uint32_t kChartRed = 255;
inline constexpr int kChartHalfWindow = 85;
inline constexpr std::string_view kChartMark = "Mirolanda 持株チャート（終値）";

// The entries a chart shows, as indices into the record's days (newest first), and the
// price range of those days.
struct ChartWindow {
    int Newest = 0;
    int Oldest = 0;
    int32_t Lowest = 0;
    int32_t Highest = 0;
};

// Picks the window: centred on the purchase day (or the last stored day before it), 85
// entries either side, cut to the stored days; the range of the closes within it.
ChartWindow ChooseChartWindow(const quotes::IssueRecord& record, std::string_view purchaseDate);

// Clears the canvas and draws the whole chart of one holding.
void DrawBuyChart(Canvas& canvas, const quotes::IssueRecord& record, std::string_view purchaseDate,
                  const market::IssueCode& code, int32_t purchasePrice);

// Draws the chart of a chosen window. A flat range (or one day) is drawn in a band around its
// price; one day is a point in the middle; a window with no stored day draws the frame,
// labels and texts only.
void PlotPriceChart(const quotes::IssueRecord& record, const market::IssueCode& code, std::string_view purchaseDate,
                    Canvas& canvas, int oldest, int newest, int32_t lowest, int32_t highest, int32_t purchasePrice);

}  // namespace mirolanda::holdings
