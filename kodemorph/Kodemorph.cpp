// Kodemorph: the one function libkodemorph.so exports. Converts an EUC-JP file into a
// Shift_JIS file; the outcome shows only in the target file, the result is always 0.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "kodemorph/Jconv.h"

namespace {

// Reads the whole source, converts it and writes exactly the converted bytes. Any failure
// (empty source, no memory) leaves the target as it is: empty, since it was opened "w+b".
void ConvertOpenFiles(const char* sourcePath, std::FILE* source, std::FILE* target) {
    struct stat info {};
    if (::stat(sourcePath, &info) != 0 || info.st_size <= 0) return;
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size > SIZE_MAX / 8 - 4) return;
    auto* input = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 4));
    auto* output = static_cast<char*>(std::malloc(static_cast<size_t>(size) * 8));
    if (input && output) {
        const size_t n = std::fread(input, 1, static_cast<size_t>(size), source);
        // Four zero bytes end the text for the converter; they are not counted in n.
        std::memset(input + n, 0, 4);
        const size_t m = jconv(kJconvEucJp, input, n, kJconvShiftJis, output);
        if (m > 0) std::fwrite(output, 1, m, target);
    }
    std::free(input);
    std::free(output);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t Kodemorph(const char* source, const char* target) {
    if (source == nullptr || target == nullptr) return 0;
    // "r+b": a source that cannot be opened for updating counts as not opened.
    std::FILE* in = std::fopen(source, "r+b");
    // The target is created or emptied whether or not the source opened.
    std::FILE* out = std::fopen(target, "w+b");
    if (in && out) ConvertOpenFiles(source, in, out);
    if (in) std::fclose(in);
    if (out) std::fclose(out);
    return 0;
}
