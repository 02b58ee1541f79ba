#include "platform/SjisText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <iconv.h>
#include <stdexcept>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/TextFields.h"

namespace mirolanda::platform {
namespace {

// One iconv descriptor per direction and thread, opened on first use: opening costs far
// more than converting a line.
class Converter {
public:
    Converter(const char* to, const char* from, std::string_view substitute)
        : cd_(iconv_open(to, from)), substitute_(substitute) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv_open ") + from + " -> " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // skip(in, left) tells how many bytes the bad character at `in` occupies.
    template <typename Skip>
    std::string Convert(std::string_view input, Skip skip) {
        std::string out;
        out.reserve(input.size() * 3 / 2 + 16);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            if (rc != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a truncated last character): substitute and go on.
            out.append(substitute_);
            size_t n = skip(reinterpret_cast<const unsigned char*>(in), inLeft);
            in += n;
            inLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
    std::string substitute_;
};

size_t SkipSjis(const unsigned char* p, size_t left) {
    return (IsSjisLeadByte(p[0]) && left >= 2) ? 2 : 1;
}

size_t SkipUtf8(const unsigned char* p, size_t left) {
    size_t n = 1;
    if (p[0] >= 0xF0) n = 4;
    else if (p[0] >= 0xE0) n = 3;
    else if (p[0] >= 0xC0) n = 2;
    // Stop early at a byte that is not a continuation byte, so one bad byte costs one 〓.
    size_t i = 1;
    while (i < n && i < left && (p[i] & 0xC0) == 0x80) ++i;
    return i;
}

}  // namespace

bool IsSjisLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string SjisToUtf8(std::string_view sjis) {
    thread_local Converter converter("UTF-8", "CP932", "\xE3\x80\x93");
    return converter.Convert(sjis, SkipSjis);
}

std::string Utf8ToSjis(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8", "\x81\xAC");
    return converter.Convert(utf8, SkipUtf8);
}

std::string FitSjis(std::string_view sjis, size_t width) {
    size_t end = 0;
    while (end < sjis.size()) {
        size_t n = (IsSjisLeadByte(static_cast<unsigned char>(sjis[end])) && end + 1 < sjis.size()) ? 2 : 1;
        if (end + n > width) break;
        end += n;
    }
    std::string out(sjis.substr(0, end));
    out.resize(width, ' ');
    return out;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError(path, "ファイルを開けません(" + ErrnoText(errno) + ")");
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(path, "通常のファイルではありません");
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    while (true) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            throw FileError(path, "ファイルを読み込めません(" + ErrnoText(err) + ")");
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

std::vector<std::string> ReadSjisLines(const std::filesystem::path& path) {
    return SplitLines(SjisToUtf8(ReadFileBytes(path)));
}

std::string EncodeSjisLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return Utf8ToSjis(text);
}

void WriteSjisLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    ReplaceFile(path, EncodeSjisLines(lines));
}

}  // namespace mirolanda::platform
