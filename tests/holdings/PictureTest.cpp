// The price chart drawn on a recording canvas: which days it shows, where the labels, lines
// and marks fall, and the windows that have no scale.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "MemoryHistory.h"
#include "holdings/History.h"
#include "holdings/Picture.h"

namespace mirolanda::holdings {
namespace {

using test::MakeRecord;
using test::MakeRecordDays;

// Every character is 100 units wide and 200 high: TH = 200, TW = 600, one digit 100.
class RecordingCanvas final : public Canvas {
public:
    struct Op {
        enum Kind { Clear, Line, Text } kind;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        uint32_t colour = 0;
        PenStyle style = PenStyle::Solid;
        std::string text;
    };
    std::vector<Op> ops;

    double Width() const override { return 4335; }
    double Height() const override { return 3375; }
    double TextWidth(std::string_view text) const override { return 100.0 * static_cast<double>(Characters(text)); }
    double TextHeight(std::string_view) const override { return 200; }
    void Clear() override { ops.push_back({Op::Clear, 0, 0, 0, 0, 0, PenStyle::Solid, {}}); }
    void Line(double x1, double y1, double x2, double y2, uint32_t colour, PenStyle style, int) override {
        ops.push_back({Op::Line, x1, y1, x2, y2, colour, style, {}});
    }
    void Rect(double, double, double, double, std::optional<uint32_t>, uint32_t) override {}
    void Text(double x, double y, std::string_view text, uint32_t colour) override {
        ops.push_back({Op::Text, x, y, 0, 0, colour, PenStyle::Solid, std::string(text)});
    }

    static size_t Characters(std::string_view utf8) {
        size_t n = 0;
        for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return n;
    }
    std::vector<Op> Lines(uint32_t colour, PenStyle style) const {
        std::vector<Op> found;
        for (const auto& op : ops) {
            if (op.kind == Op::Line && op.colour == colour && op.style == style) found.push_back(op);
        }
        return found;
    }
    std::vector<Op> Texts() const {
        std::vector<Op> found;
        for (const auto& op : ops) {
            if (op.kind == Op::Text) found.push_back(op);
        }
        return found;
    }
    // Lines of the close: black, solid, and not one of the frame's four sides.
    std::vector<Op> CloseLines() const {
        std::vector<Op> found;
        for (const auto& op : Lines(kChartBlack, PenStyle::Solid)) {
            bool frame = (op.x1 == 600 && op.x2 == 600) || (op.x1 == 4285 && op.x2 == 4285) ||
                         (op.y1 == op.y2 && (op.y1 == 3375 - 1600 || op.y1 == 3375 - 3200));
            if (!frame) found.push_back(op);
        }
        return found;
    }
    size_t CloseSegments() const { return CloseLines().size(); }
};

constexpr double kPlotLeft = 600;
constexpr double kPlotRight = 4285;
constexpr double kBandBottom = 3375 - 1600;  // y of height 8·TH
constexpr double kBandTop = 3375 - 3200;     // y of height 16·TH

// 260 days from 2001/12/31 backward, closes between 300 and 459.
quotes::IssueRecord FullRecord() {
    std::vector<int32_t> closes;
    for (int i = 0; i < 260; ++i) closes.push_back(300 + (i * 37) % 160);
    return MakeRecord("極洋", "2001/12/31", closes);
}

// The purchase marker's centre line, in positions from the plot's left edge.
std::optional<double> MarkerPosition(const RecordingCanvas& canvas, double xstep) {
    auto marks = canvas.Lines(kChartRed, PenStyle::Dotted);
    std::vector<RecordingCanvas::Op> vertical;
    for (const auto& op : marks) {
        if (op.x1 == op.x2) vertical.push_back(op);
    }
    if (vertical.size() != 3) return std::nullopt;
    EXPECT_DOUBLE_EQ(vertical[0].x1 + 1, vertical[1].x1);
    EXPECT_DOUBLE_EQ(vertical[2].x1 - 1, vertical[1].x1);
    EXPECT_DOUBLE_EQ(vertical[1].y1, kBandBottom);
    EXPECT_DOUBLE_EQ(vertical[1].y2, kBandTop);
    return (vertical[1].x1 - kPlotLeft) / xstep;
}

TEST(PictureTest, WindowIsCentredOnThePurchaseDay) {
    auto record = FullRecord();
    std::string date = record.Days[100].Date;
    ChartWindow w = ChooseChartWindow(record, date);
    EXPECT_EQ(w.Newest, 15);
    EXPECT_EQ(w.Oldest, 185);

    RecordingCanvas canvas;
    DrawBuyChart(canvas, record, date, 1301, 350);
    ASSERT_EQ(canvas.ops.front().kind, RecordingCanvas::Op::Clear);
    auto position = MarkerPosition(canvas, (kPlotRight - kPlotLeft) / 170);
    ASSERT_TRUE(position);
    EXPECT_NEAR(*position, 85, 1e-9);  // the 86th position from the left
    EXPECT_EQ(canvas.CloseSegments(), 170u);
}

TEST(PictureTest, WindowAtTheEndsOfTheHistory) {
    auto record = FullRecord();
    {
        SCOPED_TRACE("purchase on the newest day");
        ChartWindow w = ChooseChartWindow(record, record.Days[0].Date);
        EXPECT_EQ(w.Newest, 0);
        EXPECT_EQ(w.Oldest, 85);
        RecordingCanvas canvas;
        DrawBuyChart(canvas, record, record.Days[0].Date, 1301, 350);
        EXPECT_NEAR(*MarkerPosition(canvas, (kPlotRight - kPlotLeft) / 85), 85, 1e-9);  // right edge
    }
    {
        SCOPED_TRACE("30 days, purchase on the oldest");
        std::vector<int32_t> closes(30);
        for (int i = 0; i < 30; ++i) closes[static_cast<size_t>(i)] = 400 + i;
        auto short30 = MakeRecord("B", "2001/06/30", closes);
        ChartWindow w = ChooseChartWindow(short30, short30.Days[29].Date);
        EXPECT_EQ(w.Newest, 0);
        EXPECT_EQ(w.Oldest, 29);
        EXPECT_EQ(w.Lowest, 400);
        EXPECT_EQ(w.Highest, 429);
        RecordingCanvas canvas;
        DrawBuyChart(canvas, short30, short30.Days[29].Date, 1302, 400);
        EXPECT_NEAR(*MarkerPosition(canvas, (kPlotRight - kPlotLeft) / 29), 0, 1e-9);  // left edge
        EXPECT_EQ(canvas.CloseSegments(), 29u);
    }
    {
        SCOPED_TRACE("purchase on a day that is not stored");
        auto gap = MakeRecordDays("C", {{"2001/05/08", 310}, {"2001/05/07", 300}, {"2001/05/04", 320}});
        ChartWindow w = ChooseChartWindow(gap, "2001/05/05");
        EXPECT_EQ(w.Newest, 0);
        EXPECT_EQ(w.Oldest, 2);
        RecordingCanvas canvas;
        DrawBuyChart(canvas, gap, "2001/05/05", 1303, 300);
        EXPECT_FALSE(MarkerPosition(canvas, 1));
    }
}

std::vector<std::string> PriceLabels(int32_t lowest, int32_t highest) {
    auto record = MakeRecord("D", "2001/05/10", {highest, lowest});
    RecordingCanvas canvas;
    DrawBuyChart(canvas, record, "2001/05/10", 1301, lowest);
    std::vector<std::string> labels;
    for (const auto& op : canvas.Texts()) {
        // Labels end at TW and are centred on heights 8, 10, …, 16 · TH.
        if (op.x1 + 100.0 * static_cast<double>(RecordingCanvas::Characters(op.text)) != kPlotLeft) continue;
        labels.push_back(op.text);
        double centre = op.y1 + 100;
        EXPECT_DOUBLE_EQ(std::fmod(3375 - centre, 400), 0) << op.text;
    }
    return labels;
}

TEST(PictureTest, PriceLabelsUseTheRoundedStep) {
    EXPECT_EQ(PriceLabels(300, 460), (std::vector<std::string>{"300", "340", "380", "420", "460"}));
    EXPECT_EQ(PriceLabels(300, 312), (std::vector<std::string>{"300", "304", "308", "312", "312"}));
    EXPECT_EQ(PriceLabels(300, 301), (std::vector<std::string>{"300", "300", "300", "300", "301"}));
}

TEST(PictureTest, GridLinesPurchaseLineAndTexts) {
    auto record = MakeRecord("極洋    ", "2001/05/10", {460, 380, 300});
    RecordingCanvas canvas;
    DrawBuyChart(canvas, record, "2001/05/09", 1301, 340);

    auto grey = canvas.Lines(kChartGrey, PenStyle::Solid);
    ASSERT_EQ(grey.size(), 3u);  // no month change in these days
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(grey[i].y1, 3375 - 200.0 * (10 + 2 * static_cast<double>(i)));
        EXPECT_DOUBLE_EQ(grey[i].x1, kPlotLeft);
        EXPECT_DOUBLE_EQ(grey[i].x2, kPlotRight);
    }
    // 340 is a quarter of the way from 300 to 460: height 8·TH + 2·TH.
    auto red = canvas.Lines(kChartRed, PenStyle::Dotted);
    ASSERT_EQ(red.size(), 4u);  // the purchase line and the marker's three lines
    EXPECT_DOUBLE_EQ(red[0].y1, 3375 - 2000);
    EXPECT_DOUBLE_EQ(red[0].y2, 3375 - 2000);

    auto texts = canvas.Texts();
    ASSERT_GE(texts.size(), 3u);
    const auto& a = texts[texts.size() - 3];
    const auto& b = texts[texts.size() - 2];
    const auto& mark = texts[texts.size() - 1];
    EXPECT_EQ(a.text, "1301　極洋　2001/05/09　　終 340");
    EXPECT_EQ(b.text, "購入日 2001/05/09　買値 340");
    EXPECT_EQ(mark.text, kChartMark);
    EXPECT_DOUBLE_EQ(a.x1, 10);
    EXPECT_DOUBLE_EQ(a.y1, 3375 - 1000 - 200);
    EXPECT_DOUBLE_EQ(b.y1, 3375 - 600 - 200);
    EXPECT_DOUBLE_EQ(mark.y1, 3375 - 200 - 200);

    RecordingCanvas letters;
    DrawBuyChart(letters, record, "2001/05/09", *market::IssueCode::Parse("130A"), 340);
    EXPECT_EQ(letters.Texts()[letters.Texts().size() - 3].text, "130A　極洋　2001/05/09　　終 340");
}

TEST(PictureTest, MonthChangeDrawsASeparatorAndItsLabel) {
    auto record = MakeRecordDays("E", {{"2001/06/04", 330}, {"2001/06/01", 320}, {"2001/05/31", 310}});
    RecordingCanvas canvas;
    DrawBuyChart(canvas, record, "2001/06/04", 1301, 320);
    double xstep = (kPlotRight - kPlotLeft) / 2;
    std::vector<RecordingCanvas::Op> separators;
    for (const auto& op : canvas.Lines(kChartGrey, PenStyle::Solid)) {
        if (op.x1 == op.x2) separators.push_back(op);
    }
    ASSERT_EQ(separators.size(), 1u);  // the window's first day never gets one
    EXPECT_DOUBLE_EQ(separators[0].x1, kPlotLeft + xstep);
    EXPECT_DOUBLE_EQ(separators[0].y1, kBandBottom);
    EXPECT_DOUBLE_EQ(separators[0].y2, kBandTop);
    bool labelled = false;
    for (const auto& op : canvas.Texts()) {
        if (op.text == "06") {
            labelled = true;
            EXPECT_DOUBLE_EQ(op.x1, kPlotLeft + xstep - 100);  // one digit left of the separator
            EXPECT_DOUBLE_EQ(op.y1, 3375 - 1400 - 200);
        }
    }
    EXPECT_TRUE(labelled);
}

// Height of a price inside a band from `lowest` to `highest` on the recording canvas.
double BandY(double price, double lowest, double highest) {
    return kBandBottom - (price - lowest) * 1600 / (highest - lowest);
}

TEST(PictureTest, FlatOrOneDayWindowsGetABandAroundTheirPrice) {
    struct Case {
        const char* what;
        quotes::IssueRecord record;
        std::string date;
        std::vector<std::string> labels;  // bottom to top
        size_t closeSegments;             // a cross of two for one day, one line per step otherwise
    };
    const Case cases[] = {
        {"one stored day", MakeRecord("F", "2001/05/10", {500}), "2001/05/10", {"475", "487", "499", "511", "525"}, 2},
        {"flat period", MakeRecord("F", "2001/05/10", {500, 500, 500}), "2001/05/09",
         {"475", "487", "499", "511", "525"}, 2},
        {"cheap issue: at least 4 yen", MakeRecord("F", "2001/05/10", {30}), "2001/05/10",
         {"26", "28", "30", "32", "34"}, 2},
        {"price near zero stays positive", MakeRecord("F", "2001/05/10", {2, 2}), "2001/05/10",
         {"0", "2", "4", "6", "6"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingCanvas canvas;
        DrawBuyChart(canvas, c.record, c.date, 1301, 450);
        std::vector<std::string> labels;
        for (const auto& op : canvas.Texts()) {
            if (op.x1 + 100.0 * static_cast<double>(RecordingCanvas::Characters(op.text)) == kPlotLeft) {
                labels.push_back(op.text);
            }
        }
        EXPECT_EQ(labels, c.labels);
        EXPECT_EQ(canvas.CloseSegments(), c.closeSegments);
        const double lowest = std::stod(c.labels.front());
        const double highest = std::stod(c.labels.back());
        const double price = c.record.Days[0].Price;
        // Every close mark passes through the price's height, inside the band.
        for (const auto& op : canvas.CloseLines()) {
            EXPECT_LE(std::min(op.y1, op.y2), BandY(price, lowest, highest));
            EXPECT_GE(std::max(op.y1, op.y2), BandY(price, lowest, highest));
            EXPECT_GT(std::min(op.y1, op.y2), kBandTop);
            EXPECT_LT(std::max(op.y1, op.y2), kBandBottom);
        }
    }
}

TEST(PictureTest, OneDayIsAPointInTheMiddleWithThePurchaseMark) {
    RecordingCanvas canvas;
    DrawBuyChart(canvas, MakeRecord("F", "2001/05/10", {500}), "2001/05/10", 1301, 500);
    const double middle = kPlotLeft + (kPlotRight - kPlotLeft) / 2;
    auto red = canvas.Lines(kChartRed, PenStyle::Dotted);
    ASSERT_EQ(red.size(), 4u);  // the purchase line through the point and the day's three marks
    EXPECT_DOUBLE_EQ(red[0].y1, BandY(500, 475, 525));
    EXPECT_DOUBLE_EQ(red[2].x1, middle);
    size_t crossing = 0;
    for (const auto& op : canvas.CloseLines()) {
        crossing += std::abs((op.x1 + op.x2) / 2 - middle) < 1e-9 && std::abs((op.y1 + op.y2) / 2 - BandY(500, 475, 525)) < 1e-9;
    }
    EXPECT_EQ(crossing, 2u);
}

TEST(PictureTest, NoStoredDayDrawsFrameAndTextsOnly) {
    RecordingCanvas canvas;
    DrawBuyChart(canvas, UnknownIssueRecord(), "2001/05/10", 1301, 450);
    EXPECT_EQ(canvas.CloseSegments(), 0u);
    EXPECT_EQ(canvas.Lines(kChartBlack, PenStyle::Solid).size(), 4u);  // the frame
    bool found = false;
    for (const auto& op : canvas.Texts()) found = found || op.text == "1301　Unknown　2001/05/10　　終 450";
    EXPECT_TRUE(found);
    for (const auto& op : canvas.ops) {
        EXPECT_TRUE(std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(op.x2) && std::isfinite(op.y2));
    }
}

}  // namespace
}  // namespace mirolanda::holdings
