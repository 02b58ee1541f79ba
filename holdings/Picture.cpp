#include "holdings/Picture.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "holdings/History.h"

namespace mirolanda::holdings {

namespace {

constexpr double kRightMargin = 50;  // between the plot and the canvas's right edge
constexpr double kTextLeft = 10;     // left edge of the three text lines
constexpr double kMarkerOffset = 1;  // the purchase-day marker is three lines this far apart

// The chart's measures. Heights are counted upward from the bottom edge; the plot's
// origin is its lower-left corner at (TW, 8·TH).
struct ChartSpace {
    Canvas& canvas;
    double TH, TW, dw, SW, SH;

    explicit ChartSpace(Canvas& c)
        : canvas(c),
          TH(c.TextHeight("000000")),
          TW(c.TextWidth("000000")),
          dw(TW / 6),
          SW(c.Width()),
          SH(c.Height()) {}

    double PlotRight() const { return SW - kRightMargin; }

    // Text with its left edge at x and its bottom at height h.
    void PrintChartText(double x, double h, std::string_view text, uint32_t colour) const {
        canvas.Text(x, SH - h - canvas.TextHeight(text), text, colour);
    }
    void DrawFrameLine(double x1, double h1, double x2, double h2, uint32_t colour,
                       PenStyle style = PenStyle::Solid) const {
        canvas.Line(x1, SH - h1, x2, SH - h2, colour, style, 1);
    }
    void DrawPlotLine(double x1, double y1, double x2, double y2, uint32_t colour,
                      PenStyle style = PenStyle::Solid) const {
        DrawFrameLine(TW + x1, 8 * TH + y1, TW + x2, 8 * TH + y2, colour, style);
    }
};

int32_t RoundedStep(int32_t lowest, int32_t highest) {
    // Halves go to the even neighbour, as nearbyint does in the default rounding mode.
    return static_cast<int32_t>(std::nearbyint((static_cast<double>(highest) - lowest) / 8.0));
}

void PrintPriceLabel(const ChartSpace& s, int64_t value, double h) {
    std::string text = std::to_string(value);
    s.PrintChartText((6 - static_cast<double>(text.size())) * s.dw, h, text, kChartBlack);
}

void DrawChartFrame(const ChartSpace& s, int32_t lowest, int32_t highest, int32_t g, const market::IssueCode& code,
                    std::string_view name, std::string_view purchaseDate, int32_t purchasePrice,
                    std::optional<double> ystep) {
    const double TH = s.TH;
    PrintPriceLabel(s, lowest, 7.5 * TH);
    for (int step = 1; step <= 3; ++step) {
        PrintPriceLabel(s, static_cast<int64_t>(lowest) + 2 * step * static_cast<int64_t>(g), (7.5 + 2 * step) * TH);
        s.DrawFrameLine(s.TW, (8 + 2 * step) * TH, s.PlotRight(), (8 + 2 * step) * TH, kChartGrey);
    }
    PrintPriceLabel(s, highest, 15.5 * TH);

    s.DrawFrameLine(s.TW, 8 * TH, s.TW, 16 * TH, kChartBlack);
    s.DrawFrameLine(s.TW, 8 * TH, s.PlotRight(), 8 * TH, kChartBlack);
    s.DrawFrameLine(s.TW, 16 * TH, s.PlotRight(), 16 * TH, kChartBlack);
    s.DrawFrameLine(s.PlotRight(), 8 * TH, s.PlotRight(), 16 * TH, kChartBlack);

    // Not clipped: a purchase price outside the period's range lies above or below the band.
    if (ystep) {
        double h = 8 * TH + (static_cast<double>(purchasePrice) - lowest) * *ystep;
        s.DrawFrameLine(s.TW, h, s.PlotRight(), h, kChartRed, PenStyle::Dotted);
    }

    std::string price = std::to_string(purchasePrice);
    std::string lineA = code.Text() + "　" + std::string(TrimTrailingBlanks(name)) + "　" +
                        std::string(purchaseDate) + "　　終 " + price;
    s.PrintChartText(kTextLeft, 5 * TH, lineA, kChartBlack);
    s.PrintChartText(kTextLeft, 3 * TH, "購入日 " + std::string(purchaseDate) + "　買値 " + price, kChartBlack);
    s.PrintChartText(kTextLeft, 1 * TH, kChartMark, kChartBlack);
}

// The month of a stored date "yyyy/mm/dd" (characters 6 and 7), 0 when they are not digits.
int MonthOf(std::string_view date) {
    if (date.size() < 7 || date[5] < '0' || date[5] > '9' || date[6] < '0' || date[6] > '9') return 0;
    return (date[5] - '0') * 10 + (date[6] - '0');
}

// A flat period (or one day) has no range to scale: give it a band of about 5 % either side
// (at least 4 yen, so that the five labels differ), its price in the middle.
void WidenFlatRange(int32_t& lowest, int32_t& highest) {
    const int32_t pad = std::max<int32_t>(4, lowest / 20);
    const int32_t price = lowest;
    lowest = std::max<int32_t>(0, price - pad);
    highest = price + pad;
}

// A lone close: a small cross, one digit wide, since a line needs two days.
void DrawPoint(const ChartSpace& s, double x, double y) {
    s.DrawPlotLine(x - s.dw / 2, y, x + s.dw / 2, y, kChartBlack);
    s.DrawPlotLine(x, y - s.dw / 2, x, y + s.dw / 2, kChartBlack);
}

}  // namespace

ChartWindow ChooseChartWindow(const quotes::IssueRecord& record, std::string_view purchaseDate) {
    const int last = quotes::kHistoryDays - 1;
    int k = last;  // no day on or before the purchase: centre on the oldest entry
    for (int i = 0; i <= last; ++i) {
        if (std::string_view(record.Days[static_cast<size_t>(i)].Date) <= purchaseDate) {
            k = i;
            break;
        }
    }
    ChartWindow window;
    window.Newest = std::max(k - kChartHalfWindow, 0);
    int oldest = std::min(k + kChartHalfWindow, last);
    while (oldest > window.Newest && record.Days[static_cast<size_t>(oldest)].Price == -1) --oldest;
    window.Oldest = oldest;

    int32_t highest = 0;
    int32_t lowest = 999999999;
    bool any = false;
    for (int i = window.Newest; i <= window.Oldest; ++i) {
        int32_t close = record.Days[static_cast<size_t>(i)].Price;
        if (close == -1) break;
        any = true;
        highest = std::max(highest, close);
        lowest = std::min(lowest, close);
    }
    window.Lowest = any ? lowest : 0;
    window.Highest = any ? highest : 0;
    return window;
}

void DrawBuyChart(Canvas& canvas, const quotes::IssueRecord& record, std::string_view purchaseDate,
                  const market::IssueCode& code, int32_t purchasePrice) {
    ChartWindow w = ChooseChartWindow(record, purchaseDate);
    PlotPriceChart(record, code, purchaseDate, canvas, w.Oldest, w.Newest, w.Lowest, w.Highest, purchasePrice);
}

void PlotPriceChart(const quotes::IssueRecord& record, const market::IssueCode& code, std::string_view purchaseDate,
                    Canvas& canvas, int oldest, int newest, int32_t lowest, int32_t highest, int32_t purchasePrice) {
    ChartSpace s(canvas);
    const double TH = s.TH;
    // A close of 0 is no price: the record of an issue without a history file holds only those.
    const bool stored = oldest >= newest && record.Days[static_cast<size_t>(newest)].Price > 0;
    if (stored && highest == lowest) WidenFlatRange(lowest, highest);
    // One day has no horizontal scale: its point stands in the middle of the plot.
    std::optional<double> xstep;
    if (oldest > newest) xstep = (s.PlotRight() - s.TW) / (oldest - newest);
    std::optional<double> ystep;
    if (highest > lowest) ystep = 8 * TH / (static_cast<double>(highest) - lowest);

    canvas.Clear();
    DrawChartFrame(s, lowest, highest, RoundedStep(lowest, highest), code, record.Name, purchaseDate, purchasePrice,
                   ystep);

    if (stored && ystep) {
        double prevX = 0, prevY = 0;
        int month = 0;
        int p = 0;
        for (int i = oldest; i >= newest; --i, ++p) {
            const auto& day = record.Days[static_cast<size_t>(i)];
            double x = xstep ? p * *xstep : (s.PlotRight() - s.TW) / 2;
            double y = (static_cast<double>(day.Price) - lowest) * *ystep;
            if (p > 0 && day.Price != -1) s.DrawPlotLine(prevX, prevY, x, y, kChartBlack);
            if (!xstep) DrawPoint(s, x, y);
            prevX = x;
            prevY = y;

            int dayMonth = MonthOf(day.Date);
            if (dayMonth != month && month != 0) {
                s.DrawPlotLine(x, 0, x, 8 * TH, kChartGrey);
                s.PrintChartText(x + canvas.TextWidth("00000"), 7 * TH, day.Date.substr(5, 2), kChartBlack);
            }
            month = dayMonth;

            if (day.Date == purchaseDate) {
                for (double dx : {-kMarkerOffset, 0.0, kMarkerOffset}) {
                    s.DrawPlotLine(x + dx, 0, x + dx, 8 * TH, kChartRed, PenStyle::Dotted);
                }
            }
        }
    }
    canvas.Flush();
}

}  // namespace mirolanda::holdings
