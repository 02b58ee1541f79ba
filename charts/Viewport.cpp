#include "charts/Viewport.h"

#include <algorithm>
#include <cmath>

namespace mirolanda::charts {

void Viewport::Reset(size_t barCount, double plotWidth, double barWidth) {
    count_ = barCount;
    plotWidth_ = std::max(0.0, plotWidth);
    barWidth_ = std::clamp(barWidth, kMinBarWidth, kMaxBarWidth);
    end_ = count_;
    dragRest_ = 0;
    cursor_.reset();
}

void Viewport::SetPlotWidth(double plotWidth) {
    plotWidth_ = std::max(0.0, plotWidth);
    Clamp();
}

size_t Viewport::Visible() const {
    return std::max<size_t>(1, static_cast<size_t>(plotWidth_ / barWidth_));
}

size_t Viewport::First() const {
    return end_ > Visible() ? end_ - Visible() : 0;
}

double Viewport::CentreX(size_t index) const {
    // Places are counted from the right edge, so the newest bar keeps its place when zoomed.
    const double fromRight = static_cast<double>(end_) - static_cast<double>(index);
    return plotWidth_ - (fromRight - 0.5) * barWidth_;
}

std::optional<size_t> Viewport::IndexAt(double x) const {
    // Places are [left, left + width), counted from the right edge.
    const double fromRight = std::ceil((plotWidth_ - x) / barWidth_) - 1;
    const double index = static_cast<double>(end_) - 1 - fromRight;
    if (fromRight < 0 || index < static_cast<double>(First()) || index >= static_cast<double>(end_)) {
        return std::nullopt;
    }
    return static_cast<size_t>(index);
}

void Viewport::Zoom(int steps, double anchorX) {
    if (steps == 0 || count_ == 0) return;
    const auto anchored = IndexAt(anchorX);
    barWidth_ = std::clamp(barWidth_ * std::pow(1.25, steps), kMinBarWidth, kMaxBarWidth);
    if (anchored) {
        // The right edge that puts the anchored bar's place under the mouse again.
        const double end = static_cast<double>(*anchored) + std::ceil((plotWidth_ - anchorX) / barWidth_);
        end_ = static_cast<size_t>(std::min(end, static_cast<double>(count_)));
    }
    Clamp();
}

void Viewport::Scroll(long bars) {
    const long end = static_cast<long>(end_) + bars;
    end_ = static_cast<size_t>(std::clamp(end, 0L, static_cast<long>(count_)));
    Clamp();
}

void Viewport::Drag(double dx) {
    dragRest_ += dx;
    const auto bars = static_cast<long>(std::trunc(dragRest_ / barWidth_));
    dragRest_ -= static_cast<double>(bars) * barWidth_;
    Scroll(-bars);
}

void Viewport::JumpToOldest() {
    end_ = std::min(count_, Visible());
    if (count_ > 0) cursor_ = 0;
}

void Viewport::JumpToNewest() {
    end_ = count_;
    if (count_ > 0) cursor_ = count_ - 1;
}

void Viewport::SetCursor(std::optional<size_t> index) {
    cursor_ = index && *index < count_ ? index : std::nullopt;
}

void Viewport::MoveCursor(long bars) {
    if (count_ == 0) return;
    const long target = cursor_ ? static_cast<long>(*cursor_) + bars : static_cast<long>(end_) - 1;
    cursor_ = static_cast<size_t>(std::clamp(target, 0L, static_cast<long>(count_) - 1));
    Follow();
}

void Viewport::Follow() {
    if (!cursor_) return;
    if (*cursor_ >= end_) end_ = *cursor_ + 1;
    if (*cursor_ < First()) end_ = std::min(count_, *cursor_ + Visible());
}

void Viewport::Clamp() {
    // The view never starts before the first bar while there are bars enough to fill it.
    end_ = std::min(end_, count_);
    if (end_ < Visible()) end_ = std::min(count_, Visible());
}

}  // namespace mirolanda::charts
