// The price chart's canvas on a QImage: the chart's units are twips (15 to a device-independent
// pixel, whatever the image's device-pixel ratio), so its fixed margins keep their proportions,
// and the font is chosen small enough that the chart's sixteen and a half text lines fit the
// picture's height.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "platform/Canvas.h"

namespace mirolanda::painter {

class ChartCanvas final : public platform::Canvas {
public:
    // Paints into `image` until destroyed.
    explicit ChartCanvas(QImage& image);

    double Width() const override;
    double Height() const override;
    double TextWidth(std::string_view text) const override;
    double TextHeight(std::string_view text) const override;
    void Clear() override;
    void Line(double x1, double y1, double x2, double y2, uint32_t colour, platform::PenStyle style,
              int width) override;
    void Rect(double x, double y, double width, double height, std::optional<uint32_t> fill,
              uint32_t outline) override;
    void Text(double x, double y, std::string_view text, uint32_t colour) override;

    // The font the chart uses on an image of this height.
    static QFont ChartFont(int imageHeight);

private:
    QImage& image_;
    QPainter painter_;
    QFont font_;
    QFontMetricsF metrics_;
    double lineHeight_;  // twips
};

}  // namespace mirolanda::painter
