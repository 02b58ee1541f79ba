// The program's one door to the Kodemorph library: EUC-JP file in, Shift_JIS file out.
#pragma once

#include <filesystem>

#include "platform/Errors.h"

namespace mirolanda::quotesite {

// Kodemorph could not be found or does not export its function.
class KodemorphError : public platform::Error {
public:
    using platform::Error::Error;
};

// Loads "libkodemorph.so" from the program's library folder (platform::LibraryFolder) at the
// first call (it stays loaded) and converts source into target. Throws KodemorphError naming the library when it cannot
// be loaded. The library's own result is ignored: failures show as an empty target.
void ConvertToShiftJis(const std::filesystem::path& source, const std::filesystem::path& target);

// For tests and tools: load the library from this path instead, before the first call.
void SetKodemorphPath(const std::filesystem::path& library);

}  // namespace mirolanda::quotesite
