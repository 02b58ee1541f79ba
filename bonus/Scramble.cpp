#include "bonus/Scramble.h"

namespace mirolanda::bonus {

void ScrambleBytes(std::string& bytes) {
    for (char& c : bytes) c = static_cast<char>(static_cast<uint8_t>(c) ^ kScrambleKey);
}

}  // namespace mirolanda::bonus
