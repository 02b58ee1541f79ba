// A picture area of the window: a white, sunken panel that shows an image buffer. Charts are
// painted into Image() (then call update()), pictures from files are shown with ShowFile.
#pragma once

#include <QFrame>
#include <QImage>
#include <QString>

namespace mirolanda::app {

class PictureArea final : public QFrame {
    Q_OBJECT
public:
    explicit PictureArea(QWidget* parent = nullptr);

    // The buffer, sized to the inner area; cleared to white by Clear().
    QImage& Image();
    void Clear();
    // Shows a GIF or JPEG file at the top left; false (and a cleared area) when it cannot be read.
    bool ShowFile(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage image_;
};

}  // namespace mirolanda::app
