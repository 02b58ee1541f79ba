// A minimal baseline JPEG encoder (one grey component, the standard Huffman tables), for
// the publisher's chart images that the simulator serves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mirolanda::tools {

// Encodes a grey image (Width × Height bytes, row by row) as a baseline JFIF file.
// quality is 1–100 as in the usual scaling of the standard table.
std::string EncodeGreyJpeg(int width, int height, const std::vector<uint8_t>& pixels, int quality = 75);

}  // namespace mirolanda::tools
