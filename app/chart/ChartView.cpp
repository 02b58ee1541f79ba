#include "app/chart/ChartView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "painter/Colours.h"
#include "painter/PixelCanvas.h"

namespace mirolanda::app {

namespace {

// `share` of the way from one colour to the other.
uint32_t Blend(const QColor& from, const QColor& to, double share) {
    auto mix = [&](int a, int b) { return static_cast<int>(a + (b - a) * share); };
    return painter::BgrFromColor(QColor(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue())));
}

}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(200, 150);
}

void ChartView::SetChart(charts::ChartData chart) {
    chart_ = std::move(chart);
    view_.Reset(chart_.Size(), view_.PlotWidth());
    FitView();
    update();
}

void ChartView::SetCandleColours(uint32_t up, uint32_t down) {
    up_ = up, down_ = down;
    update();
}

void ChartView::SetShowAverages(const std::array<bool, 3>& shown) {
    averages_ = shown;
    update();
}

charts::ChartStyle ChartView::Style() const {
    charts::ChartStyle style;
    auto& c = style.Colours;
    const QColor base = palette().color(QPalette::Base), text = palette().color(QPalette::Text);
    c.Background = painter::BgrFromColor(base);
    c.Text = painter::BgrFromColor(text);
    c.Grid = Blend(base, text, 0.12);
    c.Volume = Blend(base, text, 0.35);
    c.Crosshair = Blend(base, text, 0.6);
    c.Up = up_, c.Down = down_;
    style.ShowAverages = averages_;
    return style;
}

void ChartView::FitView() {
    layout_ = charts::LayOut(painter::MeasuringCanvas(font(), size()));
    view_.SetPlotWidth(layout_.PlotWidth());
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitView();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const charts::ChartStyle style = Style();
    painter::PixelCanvas canvas(painter, size(), devicePixelRatioF(), style.Colours.Background);
    charts::DrawCandleChart(canvas, chart_, view_, style);
}

void ChartView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) return;
    view_.Zoom(steps, event->position().x() - layout_.PlotLeft);
    update();
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragX_ = event->position().x();
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    const double x = event->position().x();
    if (dragX_ && (event->buttons() & Qt::LeftButton)) {
        view_.Drag(x - *dragX_);
        dragX_ = x;
    }
    view_.SetCursor(view_.IndexAt(x - layout_.PlotLeft));
    update();
}

void ChartView::mouseReleaseEvent(QMouseEvent*) {
    dragX_.reset();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left: view_.MoveCursor(-1); break;
        case Qt::Key_Right: view_.MoveCursor(1); break;
        case Qt::Key_Home: view_.JumpToOldest(); break;
        case Qt::Key_End: view_.JumpToNewest(); break;
        default: QWidget::keyPressEvent(event); return;
    }
    update();
}

}  // namespace mirolanda::app
