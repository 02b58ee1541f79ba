#include "app/widgets/ElidedLabel.h"

#include <QFontMetrics>

namespace mirolanda::app {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void ElidedLabel::SetFullText(const QString& text, const QString& detail) {
    full_ = text;
    detail_ = detail;
    Refresh();
}

QSize ElidedLabel::minimumSizeHint() const {
    // Any width will do: the text is shortened to fit.
    return {0, QLabel::minimumSizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Refresh();
}

void ElidedLabel::Refresh() {
    const int width = contentsRect().width() - 2 * margin() - 2 * indent();
    const QString shown = fontMetrics().elidedText(full_, Qt::ElideRight, std::max(width, 0));
    QLabel::setText(shown);
    QString tip;
    if (shown != full_) tip = full_;
    if (!detail_.isEmpty()) tip = (tip.isEmpty() ? full_ : tip) + QLatin1Char('\n') + detail_;
    setToolTip(tip);
}

}  // namespace mirolanda::app
