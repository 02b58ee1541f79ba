// Converting the layout's twips (1/1440 inch) to Qt's device-independent pixels, and placing
// a child widget by a rectangle given in twips. At 96 dpi 15 twips make one pixel; on a
// high-dpi screen Qt scales the pixels, so the layout keeps its proportions.
#pragma once

#include <QWidget>

namespace mirolanda::app {

inline constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
constexpr int Twips(int pixels) { return pixels * kTwipsPerPixel; }

// Sets the child's geometry from twips.
inline void Place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

}  // namespace mirolanda::app
