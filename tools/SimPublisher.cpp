#include "tools/SimPublisher.h"

#include <algorithm>

#include "tools/JpegImage.h"
#include "tools/Market.h"

namespace mirolanda::tools {
namespace {

uint64_t ModeSalt(std::string_view mode) { return mode == "Short" ? 31 : 32; }

// A chart: a noisy grey background, a grid and a dark price line, so the picture is real
// enough to look at and its JPEG is comfortably above the 1,025-byte "not created" size.
std::vector<uint8_t> ChartPixels(int width, int height, uint64_t h) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int shade = 225 + static_cast<int>(Mix(h, static_cast<uint64_t>(x), static_cast<uint64_t>(y)) % 24);
            if (x % 40 == 0 || y % 30 == 0) shade = 180;
            pixels[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(shade);
        }
    }
    int row = height / 2;
    for (int x = 0; x < width; ++x) {
        int next = std::clamp(row + static_cast<int>(Mix(h, static_cast<uint64_t>(x), 99) % 7) - 3, 4, height - 5);
        for (int y = std::min(row, next); y <= std::max(row, next); ++y) {
            pixels[static_cast<size_t>(y) * width + x] = 20;
            pixels[static_cast<size_t>(y + 1) * width + x] = 20;
        }
        row = next;
    }
    return pixels;
}

}  // namespace

std::vector<ChartDate> PublisherCharts(std::string_view mode, const platform::Date& marketDay, uint64_t seed) {
    std::vector<ChartDate> charts;
    if (mode != "Short" && mode != "Long") return charts;
    bool shortMode = mode == "Short";
    size_t wanted = shortMode ? 10 : 6;
    long marketDays = platform::DaysFromCivil(marketDay);
    for (long day = marketDays; charts.size() < wanted; --day) {
        platform::Date date = platform::CivilFromDays(day);
        int weekday = platform::Weekday(date);
        if (shortMode ? (weekday == 0 || weekday == 6) : weekday != 5) continue;
        uint64_t h = Mix(seed, ModeSalt(mode), static_cast<uint64_t>(day));
        ChartDate chart;
        chart.Day = date;
        chart.Flag = h % 7 == 3 ? 0 : 1;
        chart.Count = shortMode ? 1 + static_cast<int>((h >> 8) % 4) : 2 + static_cast<int>((h >> 8) % 5);
        // The publisher revises a chart for a few days after its date, so a later market
        // date can carry a newer stamp for the same chart.
        long revised = std::min(marketDays, day + static_cast<long>((h >> 16) % 4));
        chart.Stamp = platform::FormatYmd(platform::CivilFromDays(revised));
        charts.push_back(chart);
    }
    return charts;
}

std::string ListAnswer(const std::vector<ChartDate>& charts) {
    std::string text;
    for (const auto& c : charts) {
        text += platform::FormatYmd(c.Day) + "," + std::to_string(c.Flag) + "," + std::to_string(c.Count) + ",\"" +
                c.Stamp + "\"\r\n";
    }
    return text;
}

std::optional<std::string> ChartJpeg(std::string_view mode, const platform::Date& marketDay, uint64_t seed,
                                     std::string_view date8, int number) {
    for (const auto& c : PublisherCharts(mode, marketDay, seed)) {
        if (platform::FormatYmd(c.Day) != date8) continue;
        if (c.Flag != 1 || number < 1 || number > c.Count) return std::nullopt;
        uint64_t h = Mix(seed, ModeSalt(mode), static_cast<uint64_t>(platform::DaysFromCivil(c.Day)),
                         Mix(static_cast<uint64_t>(number), std::stoull(c.Stamp)));
        constexpr int kWidth = 160;
        constexpr int kHeight = 120;
        return EncodeGreyJpeg(kWidth, kHeight, ChartPixels(kWidth, kHeight, h), 75);
    }
    return std::nullopt;
}

void Scramble(std::string& bytes) {
    for (char& b : bytes) b = static_cast<char>(static_cast<uint8_t>(b) ^ kScrambleKey);
}

}  // namespace mirolanda::tools
