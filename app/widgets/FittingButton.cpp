#include "app/widgets/FittingButton.h"

#include <QFontMetricsF>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace mirolanda::app {
namespace {

// Shares of the button's font size tried in turn, down to three quarters: smaller is hard to read.
constexpr int kSteps = 10;
constexpr double kStep = 0.025;

QFont Scaled(const QFont& font, double share) {
    QFont scaled = font;
    if (font.pointSizeF() > 0) {
        scaled.setPointSizeF(font.pointSizeF() * share);
    } else {
        scaled.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * share)));
    }
    return scaled;
}

// The width the style's label takes: the caption without its '&', and the icon beside it.
double LabelWidth(const QStyleOptionButton& option, const QFont& font) {
    double width = QFontMetricsF(font).size(Qt::TextShowMnemonic, option.text).width();
    if (!option.icon.isNull()) width += option.iconSize.width() + 4;
    return width;
}

}  // namespace

FittingButton::FittingButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

QFont FittingButton::CaptionFont() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return CaptionFont(option);
}

QFont FittingButton::CaptionFont(const QStyleOptionButton& option) const {
    const int room = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).width();
    if (LabelWidth(option, font()) <= room) return font();
    QFont smaller;
    for (int step = 1; step <= kSteps; ++step) {
        smaller = Scaled(font(), 1.0 - step * kStep);
        if (LabelWidth(option, smaller) <= room) break;
    }
    return smaller;
}

void FittingButton::paintEvent(QPaintEvent*) {
    // As QPushButton paints, with the caption's font in the painter the style draws text with.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QFont font = CaptionFont(option);
    painter.setFont(font);
    option.fontMetrics = QFontMetrics(font, this);
    painter.drawControl(QStyle::CE_PushButton, option);
}

}  // namespace mirolanda::app
