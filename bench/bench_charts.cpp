// The candlestick chart at 1920×1080 over ten years of daily bars: one redraw at the default
// zoom and with every bar on screen, and a switch to weekly and monthly bars (read, gathered,
// averaged and drawn). Baselines in the same run: an empty frame (clearing the image) and the
// holding's line chart drawn on the same image.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "bench/BenchSupport.h"
#include "charts/CandleChart.h"
#include "holdings/Picture.h"
#include "market/MemoryHistory.h"
#include "painter/ChartCanvas.h"
#include "painter/PixelCanvas.h"

using namespace mirolanda;

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

struct Fixture {
    market::MemoryHistory history;
    QImage image{kWidth, kHeight, QImage::Format_RGB32};
    quotes::IssueRecord record;

    Fixture() {
        platform::Date day{2016, 1, 4};
        uint32_t seed = 1;
        market::Tenths close = 20000;
        for (int n = 0; n < 2450;) {
            if (platform::Weekday(day) != 0 && platform::Weekday(day) != 6) {
                seed = seed * 1103515245 + 12345;
                const market::Tenths open = close;
                close = std::max<market::Tenths>(100, close + static_cast<market::Tenths>(seed >> 16) % 801 - 400);
                history.AddBar(7203, "トヨタ自動車", {day, open, std::max(open, close) + 50, std::min(open, close) - 50,
                                                       close, 1000000 + (seed >> 12) % 500000, std::nullopt, 1.0});
                ++n;
            }
            day = platform::AddDays(day, 1);
        }
        history.AddSplit({7203, {2021, 9, 29}, 5.0, "jquants"});
        record.Name = "トヨタ自動車";
        for (int d = 0; d < quotes::kHistoryDays; ++d) {
            record.Days[static_cast<size_t>(d)] = {platform::FormatSlashed(platform::AddDays({2026, 11, 30}, -d)),
                                                   2000 + (d * 37) % 400};
        }
    }

    // The chart on the image as the window paints it.
    void Draw(const charts::ChartData& chart, double barWidth) {
        QPainter painter(&image);
        charts::ChartStyle style;
        painter::PixelCanvas canvas(painter, QSizeF(kWidth, kHeight), 1.0, style.Colours.Background);
        charts::Viewport view;
        view.Reset(chart.Size(), charts::LayOut(canvas).PlotWidth(), barWidth);
        view.MoveCursor(-10);
        charts::DrawCandleChart(canvas, chart, view, style);
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

charts::ChartData Chart(charts::Period period) {
    return charts::BuildChart(TheFixture().history, {7203, period, true, {}, {}, {}});
}

void BM_EmptyFrame(benchmark::State& state) {
    Fixture& f = TheFixture();
    const charts::ChartData empty;
    for (auto _ : state) f.Draw(empty, 8);
}

void BM_HoldingChart(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        painter::ChartCanvas canvas(f.image);
        holdings::DrawBuyChart(canvas, f.record, "2026/08/03", 7203, 2100);
    }
}

void BM_RedrawDaily(benchmark::State& state) {
    Fixture& f = TheFixture();
    const charts::ChartData chart = Chart(charts::Period::Day);
    for (auto _ : state) f.Draw(chart, charts::Viewport::kDefaultBarWidth);
}

// Zoomed out until every pixel column holds a bar: the most a frame draws.
void BM_RedrawDailyZoomedOut(benchmark::State& state) {
    Fixture& f = TheFixture();
    const charts::ChartData chart = Chart(charts::Period::Day);
    for (auto _ : state) f.Draw(chart, charts::Viewport::kMinBarWidth);
}

void BM_SwitchToWeekly(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) f.Draw(Chart(charts::Period::Week), charts::Viewport::kDefaultBarWidth);
}

void BM_SwitchToMonthly(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) f.Draw(Chart(charts::Period::Month), charts::Viewport::kDefaultBarWidth);
}

BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_HoldingChart)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_RedrawDaily)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_RedrawDailyZoomedOut)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_SwitchToWeekly)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_SwitchToMonthly)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TheFixture();
    bench::RatioReporter reporter(bench::Timing::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nten years of daily bars (2,450) at %dx%d\n", kWidth, kHeight);
    bench::PrintMilliseconds(reporter, "frame");
    for (const char* run : {"BM_RedrawDaily", "BM_RedrawDailyZoomedOut", "BM_SwitchToWeekly", "BM_SwitchToMonthly"}) {
        bench::PrintRatio(reporter, run, "BM_EmptyFrame");
        bench::PrintRatio(reporter, run, "BM_HoldingChart");
    }
    std::printf("(goals: a redraw under 16 ms, a switch under 50 ms)\n");
    benchmark::Shutdown();
    return 0;
}
