// The drawing surface the charts are drawn on (the holding's line chart, the candlestick
// chart): the window and the CLI implement it with QPainter, tests with a recorder. Positions are in the canvas's own units, x to the right and y
// downward from the top-left corner; colours are 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirolanda::platform {

enum class PenStyle { Solid, Dotted };

class Canvas {
public:
    virtual ~Canvas() = default;
    // The inner size of the drawing area.
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    // The size of a text in the canvas's font.
    virtual double TextWidth(std::string_view text) const = 0;
    virtual double TextHeight(std::string_view text) const = 0;
    // Erases everything drawn so far.
    virtual void Clear() = 0;
    virtual void Line(double x1, double y1, double x2, double y2, uint32_t colour, PenStyle style, int width) = 0;
    // A rectangle with its top-left corner at (x, y), filled unless `fill` is empty, its
    // outline one pixel wide inside the rectangle.
    virtual void Rect(double x, double y, double width, double height, std::optional<uint32_t> fill,
                      uint32_t outline) = 0;
    // Text (UTF-8) with its top-left corner at (x, y).
    virtual void Text(double x, double y, std::string_view text, uint32_t colour) = 0;
    // Called once the chart is complete, to show it.
    virtual void Flush() {}
};

}  // namespace mirolanda::platform
