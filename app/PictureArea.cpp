#include "app/PictureArea.h"

#include <QPainter>

namespace mirolanda::app {

PictureArea::PictureArea(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

QImage& PictureArea::Image() {
    QSize inner = contentsRect().size().expandedTo(QSize(1, 1));
    if (image_.size() != inner) {
        image_ = QImage(inner, QImage::Format_RGB32);
        image_.fill(Qt::white);
    }
    return image_;
}

void PictureArea::Clear() {
    Image().fill(Qt::white);
    update();
}

bool PictureArea::ShowFile(const QString& path) {
    QImage picture(path);
    Clear();
    if (picture.isNull()) return false;
    QPainter painter(&Image());
    painter.drawImage(0, 0, picture);
    update();
    return true;
}

void PictureArea::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), Image());
}

void PictureArea::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    Image();
}

}  // namespace mirolanda::app
