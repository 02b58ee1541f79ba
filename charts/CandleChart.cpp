#include "charts/CandleChart.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "charts/Readout.h"

namespace mirolanda::charts {

namespace {

using platform::PenStyle;

constexpr double kMargin = 6;
constexpr double kVolumeShare = 0.22;  // of the height below the header

std::string Title(const ChartData& chart) {
    std::string title = chart.Series.Code.Text();
    if (!chart.Series.Name.empty()) title += " " + chart.Series.Name;
    title += "  " + std::string(PeriodCaption(chart.Span));
    title += chart.Adjusted ? "  分割調整済" : "  分割調整なし";
    return title;
}

// 1, 2 or 5 × a power of ten, the least not below `rough`.
double NiceStep(double rough) {
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= rough) return m * power;
    }
    return 10 * power;
}

struct Painter {
    platform::Canvas& canvas;
    const ChartData& chart;
    const Viewport& view;
    const ChartStyle& style;
    ChartLayout layout;
    ChartScale scale;
    double textHeight;

    const ChartColours& colours() const { return style.Colours; }
    // The middle pixel column of a bar's place, and the x through that column's middle. Lines
    // run through the middles of pixels; rectangles start on their edges.
    double Column(size_t i) const { return layout.PlotLeft + std::floor(view.CentreX(i)); }
    double Middle(size_t i) const { return Column(i) + 0.5; }
    double Y(double price) const { return scale.PriceY(layout, price); }
    bool OnScreen(size_t i) const { return i >= view.First() && i < view.End(); }

    void Header() const {
        canvas.Text(kMargin, 2, Title(chart), colours().Text);
        if (chart.Size() == 0) return;
        const size_t shown = view.Cursor().value_or(chart.Size() - 1);
        canvas.Text(kMargin, 2 + textHeight, FormatReadout(chart, ReadoutAt(chart, shown)), colours().Text);
    }

    void PriceGrid() const {
        const double rows = std::max(2.0, (layout.PriceBottom - layout.PriceTop) / (textHeight * 3));
        const double step = NiceStep(std::max(1.0, (scale.High - scale.Low) / rows));
        for (double p = std::ceil(scale.Low / step) * step; p <= scale.High; p += step) {
            const double y = Y(p);
            canvas.Line(layout.PlotLeft, y + 0.5, layout.PlotRight - 1, y + 0.5, colours().Grid, PenStyle::Solid, 1);
            canvas.Text(layout.PlotRight + 4, y - textHeight / 2, GroupedTenths(static_cast<market::Tenths>(p)),
                        colours().Text);
        }
        canvas.Line(layout.PlotLeft, layout.VolumeTop - 0.5, layout.PlotRight - 1, layout.VolumeTop - 0.5, colours().Grid,
                    PenStyle::Solid, 1);
    }

    // Months along the bottom (years on a monthly chart), where there is room for the label.
    void DateAxis() const {
        double free = layout.PlotLeft;
        for (size_t i = view.First(); i < view.End(); ++i) {
            const auto& day = chart.Series.Bars[i].Day;
            const bool years = chart.Span == Period::Month;
            if (i > 0) {
                const auto& before = chart.Series.Bars[i - 1].Day;
                if (years ? before.Year == day.Year : before.Month == day.Month) continue;
            }
            const std::string label = years ? std::to_string(day.Year) : platform::FormatSlashed(day).substr(0, 7);
            const double x = Column(i);
            if (x < free) continue;
            canvas.Line(x + 0.5, layout.PriceTop, x + 0.5, layout.VolumeBottom - 1, colours().Grid, PenStyle::Solid, 1);
            canvas.Text(x + 2, layout.AxisTop, label, colours().Text);
            free = x + canvas.TextWidth(label) + 8;
        }
    }

    void Candle(size_t i) const {
        const market::Bar& bar = chart.Series.Bars[i];
        if (!bar.Traded()) return;
        const double body = BodyWidth(view.BarWidth());
        const double left = Column(i) - (body - 1) / 2, x = Middle(i);
        const double top = Y(static_cast<double>(std::max(bar.Open, bar.Close)));
        const double bottom = Y(static_cast<double>(std::min(bar.Open, bar.Close)));
        const double high = Y(static_cast<double>(bar.High)), low = Y(static_cast<double>(bar.Low));
        const bool up = bar.Close > bar.Open;
        const uint32_t colour = bar.Close == bar.Open ? colours().Text : up ? colours().Up : colours().Down;
        // The wicks stop at the body, so that a hollow body stays empty.
        if (high < top) canvas.Line(x, high, x, top - 1, colour, PenStyle::Solid, 1);
        if (low > bottom) canvas.Line(x, bottom + 1, x, low, colour, PenStyle::Solid, 1);
        canvas.Rect(left, top, body, bottom - top + 1, up ? std::nullopt : std::optional<uint32_t>(colour), colour);
    }

    void VolumeBar(size_t i) const {
        const market::Bar& bar = chart.Series.Bars[i];
        if (!bar.Traded() || bar.Volume <= 0) return;
        const double body = BodyWidth(view.BarWidth());
        const double top = scale.VolumeY(layout, bar.Volume);
        canvas.Rect(Column(i) - (body - 1) / 2, top, body, layout.VolumeBottom - top, colours().Volume,
                    colours().Volume);
    }

    void Averages() const {
        for (size_t a = 0; a < chart.Averages.size(); ++a) {
            if (!style.ShowAverages[a]) continue;
            const auto& values = chart.Averages[a];
            std::optional<size_t> last;
            for (size_t i = view.First(); i < view.End(); ++i) {
                if (!values[i]) continue;
                if (last) canvas.Line(Middle(*last), Y(*values[*last]), Middle(i), Y(*values[i]),
                                      colours().Averages[a], PenStyle::Solid, 1);
                last = i;
            }
        }
    }

    void Splits() const {
        for (size_t i : chart.SplitBars) {
            if (!OnScreen(i)) continue;
            canvas.Line(Middle(i), layout.PriceTop, Middle(i), layout.VolumeBottom, colours().Split, PenStyle::Dotted, 1);
            canvas.Text(Column(i) + 3, layout.PriceTop, "分割", colours().Split);
        }
    }

    void YearHighLow() const {
        if (!chart.YearHighLow) return;
        const auto& range = *chart.YearHighLow;
        auto mark = [&](size_t i, market::Tenths price, const std::string& caption, bool above) {
            if (!OnScreen(i)) return;
            const std::string text = caption + " " + GroupedTenths(price);
            const double width = canvas.TextWidth(text);
            const double x = std::clamp(Middle(i) - width / 2, layout.PlotLeft, layout.PlotRight - width);
            const double y = above ? Y(static_cast<double>(price)) - textHeight - 2 : Y(static_cast<double>(price)) + 3;
            canvas.Text(x, std::clamp(y, layout.PriceTop, layout.PriceBottom - textHeight), text, colours().Text);
        };
        mark(range.HighIndex, range.High, "52週高値", true);
        mark(range.LowIndex, range.Low, "52週安値", false);
    }

    void Purchase() const {
        if (!chart.Holding) return;
        const double y = Y(static_cast<double>(chart.Holding->Price));
        canvas.Line(layout.PlotLeft, y + 0.5, layout.PlotRight - 1, y + 0.5, colours().Holding, PenStyle::Dotted, 1);
        canvas.Text(layout.PlotLeft + 2, y - textHeight, "取得 " + GroupedTenths(chart.Holding->Price), colours().Holding);
        const auto& bars = chart.Series.Bars;
        const long day = platform::DaysFromCivil(chart.Holding->Day);
        const auto at = std::find_if(bars.begin(), bars.end(),
                                     [&](const market::Bar& b) { return platform::DaysFromCivil(b.Day) >= day; });
        const auto i = static_cast<size_t>(at - bars.begin());
        if (at == bars.end() || !OnScreen(i)) return;
        canvas.Line(Middle(i), layout.PriceTop, Middle(i), layout.PriceBottom, colours().Holding, PenStyle::Dotted, 1);
    }

    void Crosshair() const {
        if (!view.Cursor() || !OnScreen(*view.Cursor())) return;
        const size_t i = *view.Cursor();
        canvas.Line(Middle(i), layout.PriceTop, Middle(i), layout.VolumeBottom, colours().Crosshair, PenStyle::Dotted, 1);
        const market::Bar& bar = chart.Series.Bars[i];
        if (!bar.Traded()) return;
        const double y = Y(static_cast<double>(bar.Close));
        canvas.Line(layout.PlotLeft, y + 0.5, layout.PlotRight - 1, y + 0.5, colours().Crosshair, PenStyle::Dotted, 1);
        const std::string label = GroupedTenths(bar.Close);
        canvas.Rect(layout.PlotRight + 2, y - textHeight / 2, canvas.TextWidth(label) + 4, textHeight,
                    colours().Crosshair, colours().Crosshair);
        canvas.Text(layout.PlotRight + 4, y - textHeight / 2, label, colours().Background);
    }
};

}  // namespace

ChartLayout LayOut(const platform::Canvas& canvas) {
    ChartLayout l;
    const double th = canvas.TextHeight("0");
    l.PlotLeft = kMargin;
    l.PlotRight = std::max(l.PlotLeft + 1, std::floor(canvas.Width() - canvas.TextWidth("00,000,000.0") - kMargin));
    l.PriceTop = std::floor(2 * th + 2 * kMargin);
    l.AxisTop = std::floor(canvas.Height() - th - 2);
    l.VolumeBottom = l.AxisTop - 2;
    const double below = std::max(0.0, l.VolumeBottom - l.PriceTop);
    l.VolumeTop = std::floor(l.VolumeBottom - below * kVolumeShare);
    l.PriceBottom = std::max(l.PriceTop, l.VolumeTop - kMargin - 1);
    return l;
}

double ChartScale::PriceY(const ChartLayout& layout, double price) const {
    const double share = (price - Low) / (High - Low);
    return std::round(layout.PriceBottom - share * (layout.PriceBottom - layout.PriceTop));
}

double ChartScale::VolumeY(const ChartLayout& layout, int64_t volume) const {
    const double share = static_cast<double>(volume) / static_cast<double>(MaxVolume);
    return std::round(layout.VolumeBottom - share * (layout.VolumeBottom - layout.VolumeTop));
}

ChartScale ScaleFor(const ChartData& chart, const Viewport& view, const ChartStyle& style) {
    double low = HUGE_VAL, high = -HUGE_VAL;
    ChartScale scale;
    for (size_t i = view.First(); i < view.End(); ++i) {
        const auto& bar = chart.Series.Bars[i];
        if (!bar.Traded()) continue;
        low = std::min(low, static_cast<double>(bar.Low));
        high = std::max(high, static_cast<double>(bar.High));
        scale.MaxVolume = std::max(scale.MaxVolume, bar.Volume);
        for (size_t a = 0; a < chart.Averages.size(); ++a) {
            if (!style.ShowAverages[a] || !chart.Averages[a][i]) continue;
            low = std::min(low, *chart.Averages[a][i]);
            high = std::max(high, *chart.Averages[a][i]);
        }
    }
    if (chart.Holding && low <= high) {
        low = std::min(low, static_cast<double>(chart.Holding->Price));
        high = std::max(high, static_cast<double>(chart.Holding->Price));
    }
    if (low > high) return scale;
    // A twentieth of the range above and below (at least a yen), so no candle touches the edge.
    const double room = std::max(10.0, (high - low) / 20);
    scale.Low = std::max(0.0, low - room);
    scale.High = high + room;
    return scale;
}

double BodyWidth(double barWidth) {
    double body = std::floor(barWidth * 0.7);
    if (std::fmod(body, 2) == 0) body -= 1;
    return std::max(1.0, body);
}

void DrawCandleChart(platform::Canvas& canvas, const ChartData& chart, const Viewport& view, const ChartStyle& style) {
    Painter p{canvas, chart, view, style, LayOut(canvas), ScaleFor(chart, view, style), canvas.TextHeight("0")};
    canvas.Clear();
    p.Header();
    if (chart.Size() == 0) {
        const std::string text = "データがありません";
        canvas.Text((canvas.Width() - canvas.TextWidth(text)) / 2, canvas.Height() / 2, text, style.Colours.Text);
        canvas.Flush();
        return;
    }
    p.PriceGrid();
    p.DateAxis();
    p.Splits();
    for (size_t i = view.First(); i < view.End(); ++i) p.VolumeBar(i);
    for (size_t i = view.First(); i < view.End(); ++i) p.Candle(i);
    p.Averages();
    p.Purchase();
    p.YearHighLow();
    p.Crosshair();
    canvas.Flush();
}

}  // namespace mirolanda::charts
