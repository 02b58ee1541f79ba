// The candlestick chart drawn on a canvas: a header with the issue and the crosshair's
// read-out, the candles with their moving averages over a volume pane, the price scale on the
// right, the months (or years) along the bottom, and the marks of splits, of the 52-week high
// and low and of a holding's purchase. Units are the canvas's pixels; the caller keeps the
// viewport, whose plot width LayOut gives.
#pragma once

#include <array>
#include <cstdint>

#include "charts/ChartData.h"
#include "charts/Viewport.h"
#include "platform/Canvas.h"

namespace mirolanda::charts {

// 0x00BBGGRR, as the settings file keeps colours.
struct ChartColours {
    uint32_t Background = 0xFFFFFF;
    uint32_t Text = 0x000000;
    uint32_t Grid = 0xE0E0E0;
    uint32_t Up = 0x0000E0;    // 陽線: red, hollow
    uint32_t Down = 0xC04000;  // 陰線: blue, filled
    uint32_t Volume = 0xA0A0A0;
    std::array<uint32_t, 3> Averages = {0x0090E0, 0x20A020, 0xA040A0};  // orange, green, purple
    uint32_t Split = 0x808000;  // teal
    uint32_t Holding = 0x00A000;
    uint32_t Crosshair = 0x606060;
};

struct ChartStyle {
    ChartColours Colours;
    std::array<bool, 3> ShowAverages = {true, true, true};
};

// Where the parts of the chart lie on a canvas of a given size.
struct ChartLayout {
    double PlotLeft = 0, PlotRight = 0;
    double PriceTop = 0, PriceBottom = 0;
    double VolumeTop = 0, VolumeBottom = 0;
    double AxisTop = 0;  // the dates' line

    double PlotWidth() const { return PlotRight - PlotLeft; }
};

ChartLayout LayOut(const platform::Canvas& canvas);

// The vertical scales of the bars on screen: prices (with the averages and the purchase
// shown) into the price pane with a little room above and below, volumes into the volume pane.
struct ChartScale {
    double Low = 0, High = 1;  // tenths at PriceBottom and PriceTop
    int64_t MaxVolume = 1;

    // Whole pixels, so that a candle's edges fall on the pixels of its prices.
    double PriceY(const ChartLayout& layout, double price) const;
    double VolumeY(const ChartLayout& layout, int64_t volume) const;
};

ChartScale ScaleFor(const ChartData& chart, const Viewport& view, const ChartStyle& style);

// The body of a candle in a place `barWidth` wide: about seven tenths of it, an odd number of
// pixels so that the wick runs down its middle, at least one.
double BodyWidth(double barWidth);

// Draws the whole chart from scratch. The viewport must have been given LayOut's plot width.
void DrawCandleChart(platform::Canvas& canvas, const ChartData& chart, const Viewport& view, const ChartStyle& style);

}  // namespace mirolanda::charts
