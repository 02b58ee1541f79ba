#include "painter/PixelCanvas.h"

#include <QPen>
#include <cmath>

#include "painter/Colours.h"
#include "painter/Utf8Text.h"

namespace mirolanda::painter {

PixelCanvas::PixelCanvas(QPainter& painter, QSizeF size, double ratio, uint32_t background)
    : painter_(painter), size_(size), ratio_(ratio > 0 ? ratio : 1.0), background_(background),
      metrics_(painter.font()) {}

double PixelCanvas::Snap(double v) const {
    return std::round(v * ratio_) / ratio_;
}

double PixelCanvas::TextWidth(std::string_view text) const {
    return metrics_.horizontalAdvance(FromUtf8(text));
}

double MeasuringCanvas::TextWidth(std::string_view text) const {
    return metrics_.horizontalAdvance(FromUtf8(text));
}

double PixelCanvas::TextHeight(std::string_view) const {
    return metrics_.height();
}

void PixelCanvas::Clear() {
    painter_.fillRect(QRectF(QPointF(0, 0), size_), ColorFromBgr(background_));
}

void PixelCanvas::Line(double x1, double y1, double x2, double y2, uint32_t colour, platform::PenStyle style,
                       int width) {
    const QColor c = ColorFromBgr(colour);
    const double w = std::max(1, width);
    const bool upright = x1 == x2, level = y1 == y2;
    if ((upright || level) && style == platform::PenStyle::Solid) {
        // A straight line as a rectangle of whole device pixels, centred on the coordinate
        // across it and taking in both end pixels along it.
        const double half = w / 2;
        const double left = upright ? Snap(x1 - half) : Snap(std::min(x1, x2));
        const double right = upright ? left + Snap(w) : Snap(std::max(x1, x2)) + 1;
        const double top = level ? Snap(y1 - half) : Snap(std::min(y1, y2));
        const double bottom = level ? top + Snap(w) : Snap(std::max(y1, y2)) + 1;
        painter_.fillRect(QRectF(left, top, right - left, bottom - top), c);
        return;
    }
    QPen pen(c, w, style == platform::PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine, Qt::FlatCap);
    painter_.save();
    painter_.setPen(pen);
    painter_.setRenderHint(QPainter::Antialiasing, !upright && !level);
    // Upright and level dotted lines go through the middle of a device pixel.
    const double middle = 0.5 / ratio_;
    if (upright || level) {
        x1 = Snap(x1) + middle, x2 = Snap(x2) + middle, y1 = Snap(y1) + middle, y2 = Snap(y2) + middle;
    }
    painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    painter_.restore();
}

void PixelCanvas::Rect(double x, double y, double width, double height, std::optional<uint32_t> fill,
                       uint32_t outline) {
    const double left = Snap(x), top = Snap(y);
    const double right = std::max(Snap(x + width), left + 1 / ratio_);
    const double bottom = std::max(Snap(y + height), top + 1 / ratio_);
    const QColor edge = ColorFromBgr(outline);
    if (fill && *fill == outline) {
        painter_.fillRect(QRectF(left, top, right - left, bottom - top), edge);
        return;
    }
    // The outline is one pixel of the chart, inside the rectangle.
    const double t = std::min({1.0, right - left, bottom - top});
    if (fill) painter_.fillRect(QRectF(left, top, right - left, bottom - top), ColorFromBgr(*fill));
    painter_.fillRect(QRectF(left, top, right - left, t), edge);
    painter_.fillRect(QRectF(left, bottom - t, right - left, t), edge);
    painter_.fillRect(QRectF(left, top, t, bottom - top), edge);
    painter_.fillRect(QRectF(right - t, top, t, bottom - top), edge);
}

void PixelCanvas::Text(double x, double y, std::string_view text, uint32_t colour) {
    painter_.setPen(ColorFromBgr(colour));
    painter_.drawText(QPointF(x, y + metrics_.ascent()), FromUtf8(text));
}

}  // namespace mirolanda::painter
