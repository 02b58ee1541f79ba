// chart: draws one issue's candlestick chart into a PNG file without a display.
#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>

#include "charts/CandleChart.h"
#include "cli/Commands.h"
#include "painter/PixelCanvas.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "settings/ChartSetup.h"

namespace mirolanda::cli {
namespace {

struct ChartArgs {
    charts::ChartRequest request;
    std::filesystem::path png;
    int width = 1280, height = 800;
};

platform::Date DateArg(const std::string& option, const std::string& text) {
    const auto day = platform::ParseSlashed(text);
    if (!day) throw UsageError{option + " には yyyy/mm/dd を指定してください: \"" + text + "\""};
    return *day;
}

void ParseSize(const std::string& text, ChartArgs& a) {
    int w = 0, h = 0;
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || x != 'x' || w < 200 || h < 150 ||
        w > 8000 || h > 8000) {
        throw UsageError{"--size には 200x150 から 8000x8000 までの WxH を指定してください: \"" + text + "\""};
    }
    a.width = w, a.height = h;
}

ChartArgs ParseArgs(const Args& args) {
    ChartArgs a;
    std::optional<market::IssueCode> code;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{arg + " には値が必要です"};
            return args[++i];
        };
        if (arg == "--png") {
            a.png = value();
        } else if (arg == "--period") {
            const auto period = charts::ParsePeriod(value());
            if (!period) throw UsageError{"--period には day、week、month のどれかを指定してください"};
            a.request.Span = *period;
        } else if (arg == "--from") {
            a.request.From = DateArg(arg, value());
        } else if (arg == "--to") {
            a.request.To = DateArg(arg, value());
        } else if (arg == "--size") {
            ParseSize(value(), a);
        } else if (arg == "--raw") {
            a.request.Adjusted = false;
        } else if (!code && (code = market::CodeFromText(arg))) {
        } else {
            throw UsageError{"余分な引数です: " + arg};
        }
    }
    if (!code) throw UsageError{"chart には銘柄コード (1000 から 9999、または 130A のように英字を含むコード) を指定してください"};
    if (a.png.empty()) throw UsageError{"chart には --png FILE が必要です"};
    a.request.Code = *code;
    return a;
}

// The chart on an image of the asked size; the bars asked for fill the width while each is at
// least a pixel, else the newest of them are shown.
QImage Render(const charts::ChartData& chart, const charts::ChartStyle& style, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QFont font;
    font.setPixelSize(std::clamp(height / 60, 12, 24));
    painter.setFont(font);
    painter::PixelCanvas canvas(painter, QSizeF(width, height), 1.0, style.Colours.Background);
    charts::Viewport view;
    const double plot = charts::LayOut(canvas).PlotWidth();
    view.Reset(chart.Size(), plot, std::min(12.0, plot / static_cast<double>(std::max<size_t>(1, chart.Size()))));
    charts::DrawCandleChart(canvas, chart, view, style);
    return image;
}

int RunChart(CliContext& context, const Args& args) {
    const ChartArgs a = ParseArgs(args);
    const auto history = settings::OpenMarketHistory(context.Settings());
    const charts::ChartData chart = charts::BuildChart(*history, a.request);
    const auto& bars = chart.Series.Bars;
    if (std::none_of(bars.begin(), bars.end(), [](const market::Bar& b) { return b.Traded(); })) throw std::runtime_error(a.request.Code.Text() + ": 表示する株価がありません");
    charts::ChartStyle style;
    style.Colours = settings::ChartColoursFrom(context.Settings());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Render(chart, style, a.width, a.height).save(&buffer, "PNG")) {
        throw platform::FileError(a.png, "PNG画像を作れません");
    }
    platform::ReplaceFile(a.png, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    return 0;
}

}  // namespace

const Command kChartCommand = {
    "chart",
    "chart CODE --png FILE [--period day|week|month] [--from yyyy/mm/dd] [--to yyyy/mm/dd] [--size WxH] [--raw]\n"
    "銘柄のローソク足チャートを出来高と移動平均 (5, 25, 75 日; 13, 26, 52 週; 9, 24, 60 か月) とともに、\n"
    "画面なしで WxH ピクセル (既定 1280x800) の PNG ファイルに描きます。--raw を付けなければ株価は株式分割で\n"
    "調整します。株価は日別CSVフォルダから読み、--from と --to で期間を選びます (既定: 保存されているすべての\n"
    "日)。その期間に株価がなければ終了ステータス 1。",
    RunChart,
    true,
};

}  // namespace mirolanda::cli
