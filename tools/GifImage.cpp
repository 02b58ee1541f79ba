#include "tools/GifImage.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace mirolanda::tools {
namespace {

// Packs variable-width codes least significant bit first, as GIF's LZW stream wants.
class CodeWriter {
public:
    void Put(unsigned code, int width) {
        bits_ |= static_cast<uint32_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<char>(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    std::string Finish() {
        if (count_ > 0) bytes_.push_back(static_cast<char>(bits_ & 0xFF));
        return std::move(bytes_);
    }

private:
    std::string bytes_;
    uint32_t bits_ = 0;
    int count_ = 0;
};

void PutWord(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

int PaletteBits(size_t colours) {
    int bits = 1;
    while ((size_t{1} << bits) < colours) ++bits;
    return std::max(bits, 2);  // LZW's minimum code size is at least 2
}

}  // namespace

std::string EncodeGif(const IndexedImage& image) {
    if (image.Palette.size() < 2 || image.Palette.size() > 256 || image.Width <= 0 || image.Height <= 0 ||
        image.Width > 0xFFFF || image.Height > 0xFFFF ||
        image.Pixels.size() != static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height)) {
        throw std::invalid_argument("EncodeGif: inconsistent image");
    }
    int bits = PaletteBits(image.Palette.size());
    std::string out = "GIF89a";
    PutWord(out, image.Width);
    PutWord(out, image.Height);
    out += static_cast<char>(0x80 | ((bits - 1) << 4) | (bits - 1));  // global table of 2^bits colours
    out += '\0';                                                        // background colour
    out += '\0';                                                        // pixel aspect
    for (size_t i = 0; i < (size_t{1} << bits); ++i) {
        Rgb c = i < image.Palette.size() ? image.Palette[i] : Rgb{};
        out += static_cast<char>(c.R);
        out += static_cast<char>(c.G);
        out += static_cast<char>(c.B);
    }
    out += ',';  // image descriptor: whole screen, no local table, not interlaced
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, image.Width);
    PutWord(out, image.Height);
    out += '\0';

    // With literals only, the decoder adds one table entry per code after the first that
    // follows a clear; a clear every 2^bits − 2 literals keeps the code width at bits + 1.
    const unsigned clear = 1u << bits;
    const int width = bits + 1;
    const size_t run = (size_t{1} << bits) - 2;
    CodeWriter codes;
    size_t sinceClear = run;
    for (uint8_t pixel : image.Pixels) {
        if (pixel >= image.Palette.size()) throw std::invalid_argument("EncodeGif: pixel outside the palette");
        if (sinceClear == run) {
            codes.Put(clear, width);
            sinceClear = 0;
        }
        codes.Put(pixel, width);
        ++sinceClear;
    }
    codes.Put(clear + 1, width);  // end of information
    std::string data = codes.Finish();

    out += static_cast<char>(bits);
    for (size_t pos = 0; pos < data.size(); pos += 255) {
        size_t n = std::min<size_t>(255, data.size() - pos);
        out += static_cast<char>(n);
        out.append(data, pos, n);
    }
    out += '\0';  // end of the image's sub-blocks
    out += ';';   // trailer
    return out;
}

std::string IntradayChartGif(const Market& market, const Issue& issue, const platform::Date& day) {
    constexpr int kWidth = 120;
    constexpr int kHeight = 60;
    IndexedImage image{kWidth, kHeight, {{255, 255, 255}, {220, 220, 220}, {0, 0, 200}, {200, 0, 0}}, {}};
    image.Pixels.assign(static_cast<size_t>(kWidth) * kHeight, 0);
    auto set = [&](int x, int y, uint8_t colour) {
        if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) image.Pixels[static_cast<size_t>(y) * kWidth + x] = colour;
    };
    for (int y = 0; y < kHeight; y += 15)
        for (int x = 0; x < kWidth; ++x) set(x, y, 1);
    for (int x = 0; x < kWidth; x += 30)
        for (int y = 0; y < kHeight; ++y) set(x, y, 1);

    DayQuote q = market.Quote(issue, day);
    int64_t high = q.Traded ? q.High : q.Close + 1;
    int64_t low = q.Traded ? q.Low : q.Close - 1;
    int64_t open = q.Traded ? q.Open : q.Close;
    auto rowOf = [&](int64_t price) {
        return static_cast<int>((high - price) * (kHeight - 5) / std::max<int64_t>(1, high - low)) + 2;
    };
    // A random walk from the open that is pulled towards the straight way to the close and
    // stays within the day's range; in 1/64 yen, so that a narrow range still moves.
    constexpr int64_t kScale = 64;
    int64_t price = open * kScale;
    int previous = rowOf(open);
    for (int x = 0; x < kWidth; ++x) {
        int64_t target = (open + (q.Close - open) * x / (kWidth - 1)) * kScale;
        int64_t step = static_cast<int64_t>(Mix(market.Options().Seed, issue.Key, static_cast<uint64_t>(x), 21) % 5) - 2;
        price = std::clamp<int64_t>(price + step * (high - low) * kScale / 25 + (target - price) / 6, low * kScale,
                                    high * kScale);
        int row = x == kWidth - 1 ? rowOf(q.Close) : rowOf(price / kScale);
        for (int y = std::min(previous, row); y <= std::max(previous, row); ++y) set(x, y, 2);
        previous = row;
    }
    set(kWidth - 1, rowOf(q.Close), 3);
    return EncodeGif(image);
}

}  // namespace mirolanda::tools
