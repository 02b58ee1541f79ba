// The candlestick chart on the screen: paints the domain's chart through a pixel canvas and
// turns the wheel (zoom), a drag (scroll), the mouse (crosshair) and ←/→/Home/End into the
// viewport's moves. Colours follow the window's palette, so a dark theme stays readable.
#pragma once

#include <QWidget>
#include <optional>

#include "charts/CandleChart.h"

namespace mirolanda::app {

class ChartView final : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    // Shows a new chart at its newest bars.
    void SetChart(charts::ChartData chart);
    // The candles' colours from the settings; the rest from the palette.
    void SetCandleColours(uint32_t up, uint32_t down);
    void SetShowAverages(const std::array<bool, 3>& shown);

    const charts::ChartData& Chart() const { return chart_; }
    const charts::Viewport& View() const { return view_; }
    charts::ChartStyle Style() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Lays the chart out for the widget's size and font, and gives the viewport its width.
    void FitView();

    charts::ChartData chart_;
    charts::Viewport view_;
    charts::ChartLayout layout_;
    uint32_t up_ = charts::ChartColours{}.Up, down_ = charts::ChartColours{}.Down;
    std::array<bool, 3> averages_ = {true, true, true};
    std::optional<double> dragX_;
};

}  // namespace mirolanda::app
