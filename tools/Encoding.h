// Re-encoding UTF-8 text into the byte encodings the simulator serves and the program
// stores: EUC-JP with the Microsoft/NEC extensions (so ㈱ survives) and CP932.
#pragma once

#include <string>
#include <string_view>

namespace mirolanda::tools {

// Throws std::runtime_error for text that has no form in the encoding: the simulator's
// names are chosen so that both encodings hold all of them.
std::string Utf8ToEucJp(std::string_view utf8);
std::string Utf8ToCp932(std::string_view utf8);
// Back from EUC-JP, for checking what was served. Throws std::runtime_error on bytes that
// are not EUC-JP.
std::string EucJpToUtf8(std::string_view euc);

}  // namespace mirolanda::tools
