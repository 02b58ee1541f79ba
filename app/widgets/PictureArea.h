// A picture area of the window: a white, sunken panel. A chart is given as a drawing, which
// is run again whenever the area changes size, so it is always drawn for the real size and
// at the screen's device-pixel ratio (sharp on a high-dpi screen); a picture from a file is
// scaled to fit the area, keeping its proportions.
#pragma once

#include <QFrame>
#include <QImage>
#include <QString>
#include <functional>

namespace mirolanda::app {

class PictureArea final : public QFrame {
    Q_OBJECT
public:
    explicit PictureArea(QWidget* parent = nullptr);

    // Draws into a white buffer of the inner area's size (device pixels, its device-pixel
    // ratio set), now and after every change of size, until Clear or ShowFile.
    void Draw(std::function<void(QImage&)> drawing);
    void Clear();
    // Shows a GIF or JPEG file; false (and a cleared area) when it cannot be read.
    bool ShowFile(const QString& path);

    // What the area shows now.
    const QImage& Shown() const { return buffer_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Render();   // rebuilds and asks for a repaint
    void Rebuild();  // draws the buffer for the present size and pixel ratio

    QImage buffer_;
    std::function<void(QImage&)> drawing_;
    QImage picture_;
};

}  // namespace mirolanda::app
