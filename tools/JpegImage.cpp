#include "tools/JpegImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace mirolanda::tools {
namespace {

constexpr std::array<int, 64> kZigzag = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                         12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                         35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                         58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The luminance quantisation table of the standard's example, in natural order.
constexpr std::array<int, 64> kLuminanceQuant = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                                 14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                                 18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                                 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

// The standard's luminance Huffman tables: code counts per length 1–16, then the symbols.
constexpr std::array<uint8_t, 16> kDcCounts = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
constexpr std::array<uint8_t, 12> kDcSymbols = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
constexpr std::array<uint8_t, 16> kAcCounts = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d};
constexpr std::array<uint8_t, 162> kAcSymbols = {
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71,
    0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72,
    0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37,
    0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
    0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
    0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3,
    0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3,
    0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2,
    0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};

struct HuffCode {
    uint16_t Bits = 0;
    uint8_t Length = 0;
};

// Canonical codes from the counts per length, indexed by symbol.
std::array<HuffCode, 256> BuildCodes(const uint8_t* counts, const uint8_t* symbols) {
    std::array<HuffCode, 256> table{};
    uint16_t code = 0;
    size_t k = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < counts[length - 1]; ++i) table[symbols[k++]] = {code++, static_cast<uint8_t>(length)};
        code = static_cast<uint16_t>(code << 1);
    }
    return table;
}

// Entropy-coded bits, most significant first, with a 0x00 after every 0xFF byte.
class BitWriter {
public:
    explicit BitWriter(std::string& out) : out_(out) {}
    void Put(uint32_t bits, int length) {
        for (int i = length - 1; i >= 0; --i) {
            byte_ = static_cast<uint8_t>((byte_ << 1) | ((bits >> i) & 1));
            if (++count_ == 8) Flush();
        }
    }
    void Finish() {
        while (count_ != 0) Put(1, 1);  // pad with one-bits
    }

private:
    void Flush() {
        out_ += static_cast<char>(byte_);
        if (byte_ == 0xFF) out_ += '\0';
        byte_ = 0;
        count_ = 0;
    }
    std::string& out_;
    uint8_t byte_ = 0;
    int count_ = 0;
};

void PutWord(std::string& out, int value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void PutSegment(std::string& out, uint8_t marker, const std::string& body) {
    out += '\xFF';
    out += static_cast<char>(marker);
    PutWord(out, static_cast<int>(body.size()) + 2);
    out += body;
}

// The magnitude category of a coefficient and its extra bits (ones' complement for negatives).
std::pair<int, uint32_t> Category(int value) {
    int magnitude = std::abs(value);
    int size = 0;
    while (magnitude >> size) ++size;
    uint32_t bits = value >= 0 ? static_cast<uint32_t>(value) : static_cast<uint32_t>(value + (1 << size) - 1);
    return {size, bits};
}

std::array<double, 64> ForwardDct(const std::array<double, 64>& block) {
    static const auto cosines = [] {
        std::array<double, 64> c{};
        for (int x = 0; x < 8; ++x)
            for (int u = 0; u < 8; ++u) c[x * 8 + u] = std::cos((2 * x + 1) * u * M_PI / 16.0);
        return c;
    }();
    std::array<double, 64> out{};
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) sum += block[y * 8 + x] * cosines[x * 8 + u] * cosines[y * 8 + v];
            double cu = u == 0 ? M_SQRT1_2 : 1.0;
            double cv = v == 0 ? M_SQRT1_2 : 1.0;
            out[v * 8 + u] = 0.25 * cu * cv * sum;
        }
    }
    return out;
}

}  // namespace

std::string EncodeGreyJpeg(int width, int height, const std::vector<uint8_t>& pixels, int quality) {
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        throw std::invalid_argument("EncodeGreyJpeg: inconsistent image");
    }
    quality = std::clamp(quality, 1, 100);
    int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<int, 64> quant{};
    for (int i = 0; i < 64; ++i) quant[i] = std::clamp((kLuminanceQuant[i] * scale + 50) / 100, 1, 255);

    std::string out = "\xFF\xD8";
    PutSegment(out, 0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
    std::string dqt(1, '\0');
    for (int i = 0; i < 64; ++i) dqt += static_cast<char>(quant[kZigzag[i]]);
    PutSegment(out, 0xDB, dqt);
    std::string sof(1, '\x08');
    PutWord(sof, height);
    PutWord(sof, width);
    sof += std::string("\x01\x01\x11\x00", 4);
    PutSegment(out, 0xC0, sof);
    std::string dht(1, '\x00');
    dht.append(kDcCounts.begin(), kDcCounts.end());
    dht.append(kDcSymbols.begin(), kDcSymbols.end());
    dht += '\x10';
    dht.append(kAcCounts.begin(), kAcCounts.end());
    dht.append(kAcSymbols.begin(), kAcSymbols.end());
    PutSegment(out, 0xC4, dht);
    PutSegment(out, 0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6));

    const auto dc = BuildCodes(kDcCounts.data(), kDcSymbols.data());
    const auto ac = BuildCodes(kAcCounts.data(), kAcSymbols.data());
    BitWriter bits(out);
    int previousDc = 0;
    for (int by = 0; by < height; by += 8) {
        for (int bx = 0; bx < width; bx += 8) {
            std::array<double, 64> block{};
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    // Blocks past the edge repeat the last row and column.
                    int sx = std::min(bx + x, width - 1);
                    int sy = std::min(by + y, height - 1);
                    block[y * 8 + x] = pixels[static_cast<size_t>(sy) * width + sx] - 128.0;
                }
            }
            auto coefficients = ForwardDct(block);
            std::array<int, 64> zz{};
            for (int i = 0; i < 64; ++i)
                zz[i] = static_cast<int>(std::lround(coefficients[kZigzag[i]] / quant[kZigzag[i]]));

            auto [dcSize, dcBits] = Category(zz[0] - previousDc);
            previousDc = zz[0];
            bits.Put(dc[dcSize].Bits, dc[dcSize].Length);
            bits.Put(dcBits, dcSize);
            int zeros = 0;
            for (int i = 1; i < 64; ++i) {
                if (zz[i] == 0) {
                    ++zeros;
                    continue;
                }
                for (; zeros >= 16; zeros -= 16) bits.Put(ac[0xF0].Bits, ac[0xF0].Length);
                auto [size, extra] = Category(zz[i]);
                int symbol = (zeros << 4) | size;
                bits.Put(ac[symbol].Bits, ac[symbol].Length);
                bits.Put(extra, size);
                zeros = 0;
            }
            if (zeros > 0) bits.Put(ac[0x00].Bits, ac[0x00].Length);  // end of block
        }
    }
    bits.Finish();
    out += "\xFF\xD9";
    return out;
}

}  // namespace mirolanda::tools
