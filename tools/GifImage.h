// Intraday chart images as the quote site serves them: a small GIF per issue, drawn from
// the synthetic day, and the minimal GIF encoder behind it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "tools/Market.h"

namespace mirolanda::tools {

struct Rgb {
    uint8_t R = 0, G = 0, B = 0;
};

// An image of palette indexes, row by row.
struct IndexedImage {
    int Width = 0;
    int Height = 0;
    std::vector<Rgb> Palette;      // 2 to 256 colours
    std::vector<uint8_t> Pixels;   // Width × Height indexes into Palette
};

// A GIF89a file of the image. The LZW stream holds only literal codes, with a clear code
// before the table would grow, which every decoder reads and which needs no dictionary.
std::string EncodeGif(const IndexedImage& image);

// The intraday chart of one issue on one day: a price line from open to close within the
// day's high and low over a light grid.
std::string IntradayChartGif(const Market& market, const Issue& issue, const platform::Date& day);

}  // namespace mirolanda::tools
