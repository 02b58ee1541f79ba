// Bars made by hand for the chart tests, and a canvas that records what is drawn.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "market/Bar.h"
#include "platform/Canvas.h"

namespace mirolanda::charts::test {

// A day's bar in whole yen.
inline market::Bar Day(int y, int m, int d, int64_t open, int64_t high, int64_t low, int64_t close, int64_t volume) {
    return {{y, m, d}, market::FromYen(open), market::FromYen(high), market::FromYen(low), market::FromYen(close),
            volume, std::nullopt, 1.0};
}
inline market::Bar NoTrade(int y, int m, int d) {
    return {{y, m, d}, 0, 0, 0, 0, 0, std::nullopt, 1.0};
}

// Every character 7 pixels wide, every line 12 high.
class RecordingCanvas final : public platform::Canvas {
public:
    struct Op {
        enum Kind { Line, Rect, Text } kind;
        double x = 0, y = 0, x2 = 0, y2 = 0;  // Rect: x2, y2 are width and height
        uint32_t colour = 0;
        std::optional<uint32_t> fill;
        platform::PenStyle style = platform::PenStyle::Solid;
        std::string text;
    };
    double width = 800, height = 600;
    std::vector<Op> ops;

    double Width() const override { return width; }
    double Height() const override { return height; }
    double TextWidth(std::string_view text) const override { return 7.0 * static_cast<double>(text.size()); }
    double TextHeight(std::string_view) const override { return 12; }
    void Clear() override { ops.clear(); }
    void Line(double x1, double y1, double x2, double y2, uint32_t colour, platform::PenStyle style, int) override {
        ops.push_back({Op::Line, x1, y1, x2, y2, colour, std::nullopt, style, {}});
    }
    void Rect(double x, double y, double w, double h, std::optional<uint32_t> fill, uint32_t outline) override {
        ops.push_back({Op::Rect, x, y, w, h, outline, fill, platform::PenStyle::Solid, {}});
    }
    void Text(double x, double y, std::string_view text, uint32_t colour) override {
        ops.push_back({Op::Text, x, y, 0, 0, colour, std::nullopt, platform::PenStyle::Solid, std::string(text)});
    }

    std::vector<Op> Of(Op::Kind kind, uint32_t colour) const {
        std::vector<Op> found;
        for (const auto& op : ops) {
            if (op.kind == kind && op.colour == colour) found.push_back(op);
        }
        return found;
    }
    bool HasText(const std::string& part) const {
        for (const auto& op : ops) {
            if (op.kind == Op::Text && op.text.find(part) != std::string::npos) return true;
        }
        return false;
    }
};

}  // namespace mirolanda::charts::test
