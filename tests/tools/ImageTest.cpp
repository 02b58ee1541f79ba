// The simulator's images are checked with Qt's own decoders, which the window uses to show them.
#include <gtest/gtest.h>

#include <QImage>
#include <regex>

#include "tools/GifImage.h"
#include "tools/JpegImage.h"
#include "tools/Market.h"
#include "tools/SimPublisher.h"

namespace mirolanda::tools {
namespace {

const platform::Date kDay{2026, 12, 7};  // a Monday

QImage Decode(const std::string& bytes, const char* format) {
    return QImage::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), format);
}

TEST(GifImage, EveryPixelDecodesToItsColourForAnyPaletteSize) {
    for (size_t colours : {2u, 3u, 4u, 5u, 16u, 200u, 256u}) {
        IndexedImage image{37, 23, {}, {}};
        for (size_t i = 0; i < colours; ++i)
            image.Palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
        for (size_t p = 0; p < 37 * 23; ++p) image.Pixels.push_back(static_cast<uint8_t>(Mix(colours, p) % colours));
        std::string gif = EncodeGif(image);
        ASSERT_EQ(gif.rfind("GIF89a", 0), 0u);
        ASSERT_EQ(gif.back(), ';');
        QImage decoded = Decode(gif, "GIF");
        ASSERT_FALSE(decoded.isNull()) << colours;
        ASSERT_EQ(decoded.size(), QSize(37, 23));
        int wrong = 0;
        for (int y = 0; y < 23; ++y) {
            for (int x = 0; x < 37; ++x) {
                Rgb want = image.Palette[image.Pixels[static_cast<size_t>(y * 37 + x)]];
                QRgb got = decoded.pixel(x, y);
                wrong += qRed(got) != want.R || qGreen(got) != want.G || qBlue(got) != want.B;
            }
        }
        EXPECT_EQ(wrong, 0) << colours << " colours";
    }
    EXPECT_THROW(EncodeGif(IndexedImage{2, 2, {{0, 0, 0}, {1, 1, 1}}, {0, 1, 2, 0}}), std::invalid_argument);
    EXPECT_THROW(EncodeGif(IndexedImage{2, 2, {{0, 0, 0}}, {0, 0, 0, 0}}), std::invalid_argument);
}

TEST(GifImage, IntradayChartIsAPictureOfTheDay) {
    Market market({200, 5});
    const Issue& issue = market.Issues()[7];
    std::string gif = IntradayChartGif(market, issue, kDay);
    QImage image = Decode(gif, "GIF");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(120, 60));
    int line = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) line += image.pixel(x, y) == qRgb(0, 0, 200);
    EXPECT_GE(line, 120);  // the price line crosses the whole picture
    EXPECT_EQ(gif, IntradayChartGif(market, issue, kDay));
    EXPECT_NE(gif, IntradayChartGif(market, market.Issues()[8], kDay));
}

TEST(JpegImage, GreyImageDecodesCloseToItsPixels) {
    // 37 × 29 is no multiple of 8, so the edge blocks are padded.
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 37; ++x) pixels.push_back(static_cast<uint8_t>(x * 6 + y * 2));
    std::string jpeg = EncodeGreyJpeg(37, 29, pixels, 90);
    ASSERT_EQ(jpeg.rfind("\xFF\xD8\xFF\xE0", 0), 0u);
    ASSERT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
    QImage image = Decode(jpeg, "JPEG");
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(37, 29));
    int worst = 0;
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 37; ++x) worst = std::max(worst, std::abs(qGray(image.pixel(x, y)) - pixels[static_cast<size_t>(y * 37 + x)]));
    EXPECT_LE(worst, 12);
}

TEST(Publisher, ListsFollowTheAnswerFormatAndMoveWithTheDate) {
    const std::regex line(R"(\d{8},[01],\d+,"\d{8}"\r)");
    for (const char* mode : {"Short", "Long"}) {
        auto charts = PublisherCharts(mode, kDay, 1);
        ASSERT_EQ(charts.size(), std::string_view(mode) == "Short" ? 10u : 6u);
        for (size_t i = 0; i < charts.size(); ++i) {
            const auto& c = charts[i];
            int weekday = platform::Weekday(c.Day);
            EXPECT_TRUE(std::string_view(mode) == "Short" ? weekday >= 1 && weekday <= 5 : weekday == 5);
            EXPECT_GE(c.Stamp, platform::FormatYmd(c.Day));
            EXPECT_LE(c.Stamp, platform::FormatYmd(kDay));
            if (i > 0) {
                EXPECT_LT(platform::DaysFromCivil(c.Day), platform::DaysFromCivil(charts[i - 1].Day));
            }
        }
        std::string answer = ListAnswer(charts);
        size_t lines = 0;
        for (size_t start = 0; start < answer.size(); ++lines) {
            size_t end = answer.find('\n', start);
            ASSERT_NE(end, std::string::npos);
            EXPECT_TRUE(std::regex_match(answer.substr(start, end - start), line)) << answer.substr(start, end - start);
            start = end + 1;
        }
        EXPECT_EQ(lines, charts.size());
    }
    EXPECT_TRUE(PublisherCharts("Medium", kDay, 1).empty());

    // A later market date revises the stamps of recent charts, which the program shows as updatable.
    auto before = PublisherCharts("Short", platform::AddDays(kDay, -3), 1);
    auto after = PublisherCharts("Short", kDay, 1);
    int newer = 0;
    for (const auto& b : before)
        for (const auto& a : after)
            if (a.Day == b.Day && a.Stamp > b.Stamp) ++newer;
    EXPECT_GT(newer, 0);
}

TEST(Publisher, ImagesAreRealJpegsAboveTheCreatedSizeAndScrambleBack) {
    for (uint64_t seed : {1u, 2u, 3u}) {
        for (const auto& c : PublisherCharts("Long", kDay, seed)) {
            std::string date = platform::FormatYmd(c.Day);
            auto first = ChartJpeg("Long", kDay, seed, date, 1);
            EXPECT_FALSE(ChartJpeg("Long", kDay, seed, date, 0));
            EXPECT_FALSE(ChartJpeg("Long", kDay, seed, date, c.Count + 1));
            if (c.Flag == 0) {
                EXPECT_FALSE(first) << date;
                continue;
            }
            ASSERT_TRUE(first) << date;
            auto last = ChartJpeg("Long", kDay, seed, date, c.Count);
            ASSERT_TRUE(last);
            EXPECT_NE(*first, *last);
            EXPECT_GT(first->size(), 1025u);
            QImage image = Decode(*first, "JPEG");
            ASSERT_FALSE(image.isNull()) << date;
            EXPECT_EQ(image.size(), QSize(160, 120));

            std::string scrambled = *first;
            Scramble(scrambled);
            EXPECT_EQ(static_cast<uint8_t>(scrambled[0]), 0xFF ^ 0x6B);
            for (size_t i = 0; i < scrambled.size(); i += 97)
                EXPECT_EQ(static_cast<uint8_t>(scrambled[i]), static_cast<uint8_t>((*first)[i]) ^ 0x6B);
            Scramble(scrambled);
            EXPECT_EQ(scrambled, *first);
        }
    }
    EXPECT_FALSE(ChartJpeg("Short", kDay, 1, "2026120", 1));
    EXPECT_FALSE(ChartJpeg("Short", kDay, 1, "19990101", 1));
    EXPECT_FALSE(ChartJpeg("Other", kDay, 1, "20261207", 1));
}

}  // namespace
}  // namespace mirolanda::tools
