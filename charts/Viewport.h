// Which bars of a chart are on screen and how wide each is: the zoom and scroll state the
// chart widget drives with the wheel, a drag and the keys, kept as plain logic. The newest bars
// sit at the right edge of the plot; the crosshair's bar stays on screen.
#pragma once

#include <cstddef>
#include <optional>

namespace mirolanda::charts {

class Viewport {
public:
    static constexpr double kMinBarWidth = 1.0;
    static constexpr double kMaxBarWidth = 60.0;
    static constexpr double kDefaultBarWidth = 8.0;

    // A new chart shows its newest bars.
    void Reset(size_t barCount, double plotWidth, double barWidth = kDefaultBarWidth);
    // A resized plot keeps its right edge's bar.
    void SetPlotWidth(double plotWidth);

    size_t BarCount() const { return count_; }
    double PlotWidth() const { return plotWidth_; }
    double BarWidth() const { return barWidth_; }
    // The bars on screen: [First(), End()).
    size_t First() const;
    size_t End() const { return end_; }
    size_t Visible() const;

    // The middle of a bar's place, from the plot's left edge (may lie outside the plot).
    double CentreX(size_t index) const;
    // The bar whose place holds x; nothing left of the first bar or right of the last.
    std::optional<size_t> IndexAt(double x) const;

    // Wheel steps: positive zooms in (wider bars); the bar under `anchorX` stays under it.
    void Zoom(int steps, double anchorX);
    // Bars to move: positive shows newer bars.
    void Scroll(long bars);
    // A drag by `dx` pixels: dragging right shows older bars. Fractions of a bar carry over.
    void Drag(double dx);
    // Home/End: the oldest or newest bars, the crosshair on the oldest or newest bar.
    void JumpToOldest();
    void JumpToNewest();

    std::optional<size_t> Cursor() const { return cursor_; }
    void SetCursor(std::optional<size_t> index);
    // ←/→: the crosshair moves by `bars` and the view follows; the first press puts it on the
    // newest bar on screen.
    void MoveCursor(long bars);

private:
    void Clamp();
    void Follow();

    size_t count_ = 0;
    double plotWidth_ = 0;
    double barWidth_ = kDefaultBarWidth;
    size_t end_ = 0;        // one past the bar at the right edge
    double dragRest_ = 0;   // pixels of a drag not yet a whole bar
    std::optional<size_t> cursor_;
};

}  // namespace mirolanda::charts
