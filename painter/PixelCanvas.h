// A canvas in device-independent pixels over any QPainter (a widget being painted, a QImage
// for a PNG): the candlestick chart's surface. Edges are put on whole device pixels, so that
// candles and grid lines stay sharp at any device-pixel ratio; only slanted lines (the moving
// averages) are smoothed.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QSizeF>

#include "platform/Canvas.h"

namespace mirolanda::painter {

class PixelCanvas final : public platform::Canvas {
public:
    // Paints with `painter` on an area of `size` pixels whose device-pixel ratio is `ratio`;
    // Clear() fills it with `background` (0x00BBGGRR).
    PixelCanvas(QPainter& painter, QSizeF size, double ratio, uint32_t background);

    double Width() const override { return size_.width(); }
    double Height() const override { return size_.height(); }
    double TextWidth(std::string_view text) const override;
    double TextHeight(std::string_view text) const override;
    void Clear() override;
    void Line(double x1, double y1, double x2, double y2, uint32_t colour, platform::PenStyle style,
              int width) override;
    void Rect(double x, double y, double width, double height, std::optional<uint32_t> fill,
              uint32_t outline) override;
    void Text(double x, double y, std::string_view text, uint32_t colour) override;

private:
    // The nearest device-pixel edge.
    double Snap(double v) const;

    QPainter& painter_;
    QSizeF size_;
    double ratio_;
    uint32_t background_;
    QFontMetricsF metrics_;
};

// A canvas that draws nothing and measures texts in a font: lays a chart out before painting.
class MeasuringCanvas final : public platform::Canvas {
public:
    MeasuringCanvas(const QFont& font, QSizeF size) : size_(size), metrics_(font) {}
    double Width() const override { return size_.width(); }
    double Height() const override { return size_.height(); }
    double TextWidth(std::string_view text) const override;
    double TextHeight(std::string_view) const override { return metrics_.height(); }
    void Clear() override {}
    void Line(double, double, double, double, uint32_t, platform::PenStyle, int) override {}
    void Rect(double, double, double, double, std::optional<uint32_t>, uint32_t) override {}
    void Text(double, double, std::string_view, uint32_t) override {}

private:
    QSizeF size_;
    QFontMetricsF metrics_;
};

}  // namespace mirolanda::painter
