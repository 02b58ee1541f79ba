// The zoom and scroll state as the wheel, a drag and the keys drive it.
#include <gtest/gtest.h>

#include "charts/Viewport.h"

namespace mirolanda::charts {
namespace {

TEST(Viewport, ANewChartShowsItsNewestBarsAtTheRightEdge) {
    Viewport v;
    v.Reset(1000, 800, 8);
    EXPECT_EQ(v.Visible(), 100u);
    EXPECT_EQ(v.First(), 900u);
    EXPECT_EQ(v.End(), 1000u);
    EXPECT_DOUBLE_EQ(v.CentreX(999), 796);
    EXPECT_EQ(v.IndexAt(799), 999u);
    EXPECT_EQ(v.IndexAt(0), 900u);
    EXPECT_FALSE(v.IndexAt(801));
    v.Reset(10, 800, 8);
    EXPECT_EQ(v.First(), 0u) << "fewer bars than places";
    EXPECT_FALSE(v.IndexAt(10)) << "left of the oldest bar";
}

TEST(Viewport, TheWheelZoomsAboutTheBarUnderTheMouseWithinTheLimits) {
    Viewport v;
    v.Reset(1000, 800, 8);
    v.Scroll(-100);  // bars 800 … 899
    const auto under = v.IndexAt(400);
    v.Zoom(1, 400);
    EXPECT_DOUBLE_EQ(v.BarWidth(), 10);
    EXPECT_EQ(v.IndexAt(400), under);
    v.Zoom(-3, 400);
    EXPECT_EQ(v.IndexAt(400), under);
    v.Zoom(100, 0);
    EXPECT_DOUBLE_EQ(v.BarWidth(), Viewport::kMaxBarWidth);
    const auto right = v.IndexAt(799);
    v.Zoom(-100, 799);
    EXPECT_DOUBLE_EQ(v.BarWidth(), Viewport::kMinBarWidth);
    EXPECT_EQ(v.Visible(), 800u);
    EXPECT_EQ(v.IndexAt(799), right);
}

TEST(Viewport, DraggingAndKeysScrollWithinTheSeriesAndTheCrosshairStaysOnScreen) {
    Viewport v;
    v.Reset(1000, 800, 8);
    v.Drag(3);
    v.Drag(6);  // 9 pixels: one bar, one pixel carried
    EXPECT_EQ(v.End(), 999u);
    v.Drag(-100000);
    EXPECT_EQ(v.End(), 1000u) << "never past the newest bar";
    v.Drag(100000);
    EXPECT_EQ(v.First(), 0u);
    EXPECT_EQ(v.End(), 100u) << "never before the oldest";

    v.JumpToNewest();
    EXPECT_EQ(v.Cursor(), 999u);
    v.MoveCursor(-1);
    EXPECT_EQ(v.Cursor(), 998u);
    v.JumpToOldest();
    EXPECT_EQ(v.Cursor(), 0u);
    EXPECT_EQ(v.First(), 0u);
    v.MoveCursor(-1);
    EXPECT_EQ(v.Cursor(), 0u);
    v.MoveCursor(150);
    EXPECT_EQ(v.Cursor(), 150u);
    EXPECT_EQ(v.End(), 151u) << "the view follows the crosshair";

    Viewport fresh;
    fresh.Reset(1000, 800, 8);
    fresh.Scroll(-50);
    fresh.MoveCursor(1);
    EXPECT_EQ(fresh.Cursor(), 949u) << "the first press: the newest bar on screen";
}

}  // namespace
}  // namespace mirolanda::charts
