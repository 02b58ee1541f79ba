#include "app/widgets/PictureArea.h"

#include <QPainter>

namespace mirolanda::app {

PictureArea::PictureArea(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    Render();
}

void PictureArea::Draw(std::function<void(QImage&)> drawing) {
    picture_ = QImage();
    drawing_ = std::move(drawing);
    Render();
}

void PictureArea::Clear() {
    drawing_ = nullptr;
    picture_ = QImage();
    Render();
}

bool PictureArea::ShowFile(const QString& path) {
    drawing_ = nullptr;
    picture_ = QImage(path);
    Render();
    return !picture_.isNull();
}

void PictureArea::Render() {
    Rebuild();
    update();
}

void PictureArea::Rebuild() {
    const qreal ratio = devicePixelRatioF();
    const QSize inner = contentsRect().size().expandedTo(QSize(1, 1));
    buffer_ = QImage(inner * ratio, QImage::Format_RGB32);
    buffer_.setDevicePixelRatio(ratio);
    buffer_.fill(Qt::white);
    if (drawing_) {
        drawing_(buffer_);
    } else if (!picture_.isNull()) {
        QPainter painter(&buffer_);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize fitted = picture_.size().scaled(inner, Qt::KeepAspectRatio);
        painter.drawImage(QRect(QPoint(0, 0), fitted), picture_);
    }
}

void PictureArea::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // Moved to a screen of another pixel ratio without a change of size: draw again for it.
    if (buffer_.devicePixelRatio() != devicePixelRatioF()) Rebuild();
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), buffer_);
}

void PictureArea::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    Render();
}

}  // namespace mirolanda::app
