#include "painter/ChartCanvas.h"

#include <QPen>
#include <algorithm>

#include "painter/Colours.h"
#include "painter/Utf8Text.h"

namespace mirolanda::painter {

namespace {

// The holding chart is laid out in twips, 15 to a device-independent pixel as everywhere in
// the window.
constexpr double kTwipsPerPixel = 15;

// The chart stacks its texts and plot over 16.5 text heights from the bottom edge.
constexpr double kTextLines = 16.5;

}  // namespace

QFont ChartCanvas::ChartFont(int imageHeight) {
    QFont font;
    for (int pixels = 12; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).height() * kTextLines <= imageHeight) break;
    }
    return font;
}

ChartCanvas::ChartCanvas(QImage& image)
    : image_(image), painter_(&image), font_(ChartFont(static_cast<int>(image.deviceIndependentSize().height()))),
      metrics_(font_),
      // The chart is laid out in text lines: on a taller picture the lines spread out, so the
      // plot takes the height, while the glyphs keep a readable size, centred in their lines.
      lineHeight_(std::max(metrics_.height(), image.deviceIndependentSize().height() / kTextLines) * kTwipsPerPixel) {
    painter_.setFont(font_);
    // Smooth lines once a pixel of the chart is more than one of the screen's.
    painter_.setRenderHint(QPainter::Antialiasing, image.devicePixelRatio() > 1);
    painter_.scale(1.0 / kTwipsPerPixel, 1.0 / kTwipsPerPixel);
}

double ChartCanvas::Width() const {
    return image_.deviceIndependentSize().width() * kTwipsPerPixel;
}

double ChartCanvas::Height() const {
    return image_.deviceIndependentSize().height() * kTwipsPerPixel;
}

double ChartCanvas::TextWidth(std::string_view text) const {
    return metrics_.horizontalAdvance(FromUtf8(text)) * kTwipsPerPixel;
}

double ChartCanvas::TextHeight(std::string_view) const {
    return lineHeight_;
}

void ChartCanvas::Clear() {
    painter_.save();
    painter_.resetTransform();
    painter_.fillRect(image_.rect(), Qt::white);
    painter_.restore();
}

void ChartCanvas::Line(double x1, double y1, double x2, double y2, uint32_t colour, platform::PenStyle style,
                       int width) {
    // Widths are in pixels whatever the scale: a cosmetic pen.
    QPen pen(ColorFromBgr(colour), width, style == platform::PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    pen.setCosmetic(true);
    painter_.setPen(pen);
    painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void ChartCanvas::Rect(double x, double y, double width, double height, std::optional<uint32_t> fill,
                       uint32_t outline) {
    painter_.setPen(QPen(ColorFromBgr(outline), 0));
    if (fill) painter_.setBrush(ColorFromBgr(*fill));
    else painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(x, y, width, height));
}

void ChartCanvas::Text(double x, double y, std::string_view text, uint32_t colour) {
    // Text is drawn unscaled so the glyphs keep their pixel size; y is the text's top.
    painter_.save();
    painter_.resetTransform();
    painter_.setPen(ColorFromBgr(colour));
    const double centred = (lineHeight_ / kTwipsPerPixel - metrics_.height()) / 2;
    painter_.drawText(QPointF(x / kTwipsPerPixel, y / kTwipsPerPixel + centred + metrics_.ascent()), FromUtf8(text));
    painter_.restore();
}

}  // namespace mirolanda::painter
