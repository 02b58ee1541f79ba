#include "tools/Encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace mirolanda::tools {
namespace {

std::string Convert(std::string_view text, const char* to, const char* from = "UTF-8") {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv cannot convert to ") + to);
    std::string out(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t result = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    int err = errno;
    ::iconv_close(cd);
    // No character of these encodings grows past twice its bytes in another of them, so
    // the buffer is large enough; any failure is a character without a form.
    if (result == static_cast<size_t>(-1)) {
        throw std::runtime_error(std::string("no ") + to + " form for text at byte " +
                                 std::to_string(text.size() - inLeft) + " (errno " + std::to_string(err) + ")");
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::string Utf8ToEucJp(std::string_view utf8) { return Convert(utf8, "EUC-JP-MS"); }
std::string Utf8ToCp932(std::string_view utf8) { return Convert(utf8, "CP932"); }
std::string EucJpToUtf8(std::string_view euc) { return Convert(euc, "UTF-8", "EUC-JP-MS"); }

}  // namespace mirolanda::tools
