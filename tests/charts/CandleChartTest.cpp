// The candlestick chart on a recording canvas: a candle's body and wicks and its volume bar on
// the pixels of their prices, no candle for a day without trade, and the marks.
#include <gtest/gtest.h>

#include "ChartFixtures.h"
#include "charts/CandleChart.h"
#include "charts/Indicators.h"

namespace mirolanda::charts {
namespace {

using Op = test::RecordingCanvas::Op;

ChartData Chart(std::vector<market::Bar> bars) {
    ChartData chart;
    chart.Series.Code = 7203;
    chart.Series.Name = "トヨタ自動車";
    chart.Series.Bars = std::move(bars);
    for (auto& average : chart.Averages) average.assign(chart.Size(), std::nullopt);
    return chart;
}

void ExpectOp(const Op& op, double x, double y, double x2, double y2, const char* what) {
    EXPECT_DOUBLE_EQ(op.x, x) << what;
    EXPECT_DOUBLE_EQ(op.y, y) << what;
    EXPECT_DOUBLE_EQ(op.x2, x2) << what;
    EXPECT_DOUBLE_EQ(op.y2, y2) << what;
}

TEST(CandleChart, BodiesWicksAndVolumesLandOnThePixelsOfTheirPrices) {
    // 800×600 with 7×12 text: plot x 6–710, prices y 36–456, volumes y 463–584. Prices 90–120
    // yen with 1.5 yen of room: y = round(456 − (tenths − 885) / 330 × 420).
    const auto chart = Chart({test::Day(2024, 5, 16, 100, 120, 90, 110, 1000), test::NoTrade(2024, 5, 17),
                              test::Day(2024, 5, 20, 110, 115, 95, 100, 500)});
    test::RecordingCanvas canvas;
    Viewport view;
    view.Reset(chart.Size(), LayOut(canvas).PlotWidth(), 10);  // columns 685, 695, 705
    ChartStyle style;
    DrawCandleChart(canvas, chart, view, style);
    const auto& c = style.Colours;

    const auto up = canvas.Of(Op::Rect, c.Up);
    ASSERT_EQ(up.size(), 1u);
    ExpectOp(up[0], 682, 182, 7, 129, "陽線 body: 110 at y 182, 100 at y 310, seven pixels wide");
    EXPECT_FALSE(up[0].fill) << "陽線 are hollow";
    const auto upWicks = canvas.Of(Op::Line, c.Up);
    ASSERT_EQ(upWicks.size(), 2u);
    ExpectOp(upWicks[0], 685.5, 55, 685.5, 181, "upper wick from 120 to the body");
    ExpectOp(upWicks[1], 685.5, 311, 685.5, 437, "lower wick from the body to 90");

    const auto down = canvas.Of(Op::Rect, c.Down);
    ASSERT_EQ(down.size(), 1u);
    ExpectOp(down[0], 702, 182, 7, 129, "陰線 body");
    EXPECT_EQ(down[0].fill, c.Down) << "陰線 are filled";
    const auto downWicks = canvas.Of(Op::Line, c.Down);
    ASSERT_EQ(downWicks.size(), 2u);
    ExpectOp(downWicks[0], 705.5, 119, 705.5, 181, "upper wick from 115");
    ExpectOp(downWicks[1], 705.5, 311, 705.5, 373, "lower wick to 95");

    const auto volumes = canvas.Of(Op::Rect, c.Volume);
    ASSERT_EQ(volumes.size(), 2u) << "no volume and no candle on the day without trade";
    ExpectOp(volumes[0], 682, 463, 7, 121, "the largest volume fills the pane");
    ExpectOp(volumes[1], 702, 524, 7, 60, "half of it, rounded half away from zero");
    EXPECT_TRUE(canvas.HasText("7203 トヨタ自動車  日足  分割調整済"));
    EXPECT_TRUE(canvas.HasText("2024/05/20 始 110")) << "the read-out of the newest bar";
}

TEST(CandleChart, MarksSplitsTheYearRangeThePurchaseAndTheCrosshairOnlyWhenOnScreen) {
    std::vector<market::Bar> bars;
    for (int d = 1; d <= 28; ++d) bars.push_back(test::Day(2024, 2, d, 100 + d, 110 + d, 90 + d, 105 + d, 100));
    auto chart = Chart(bars);
    chart.SplitBars = {3, 20};
    chart.YearHighLow = FiftyTwoWeekRange(chart.Series.Bars);
    chart.Holding = Purchase{{2024, 2, 22}, 1250};
    test::RecordingCanvas canvas;
    Viewport view;
    view.Reset(chart.Size(), LayOut(canvas).PlotWidth(), 60);  // bars 17–27 on screen
    view.MoveCursor(0);
    ChartStyle style;
    DrawCandleChart(canvas, chart, view, style);
    const auto& c = style.Colours;
    EXPECT_EQ(canvas.Of(Op::Text, c.Split).size(), 1u) << "the split of bar 3 is off screen";
    EXPECT_TRUE(canvas.HasText("52週高値 138")) << "bar 27 is on screen";
    EXPECT_FALSE(canvas.HasText("52週安値")) << "bar 0 is not";
    EXPECT_TRUE(canvas.HasText("取得 125"));
    EXPECT_EQ(canvas.Of(Op::Line, c.Holding).size(), 2u) << "the purchase price and day";
    EXPECT_EQ(canvas.Of(Op::Line, c.Crosshair).size(), 2u);
    EXPECT_TRUE(canvas.HasText("133")) << "the crosshair's close on the price scale";

    view.Reset(0, LayOut(canvas).PlotWidth());
    DrawCandleChart(canvas, Chart({}), view, style);
    EXPECT_TRUE(canvas.HasText("データがありません"));
}

}  // namespace
}  // namespace mirolanda::charts
