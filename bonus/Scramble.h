// The byte scrambling of the publisher's chart images: every byte XOR-ed with one fixed key.
// The server scrambles, the program applies the same XOR again to restore the JPEG.
#pragma once

#include <cstdint>
#include <string>

namespace mirolanda::bonus {

inline constexpr uint8_t kScrambleKey = 0x6B;

// XORs every byte with the key, in place; applying it twice gives back the original bytes.
void ScrambleBytes(std::string& bytes);

}  // namespace mirolanda::bonus
