#include "kodemorph/Jconv.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace {

constexpr char kGeta[2] = {'\x81', '\xAC'};  // 〓, the substitute character
const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

// Second and third bytes of a multi-byte EUC-JP character.
bool IsEucTrail(unsigned char b) {
    return b >= 0xA1 && b <= 0xFE;
}

// Bytes of the EUC-JP character starting at p, by its lead byte: 0x8E two, 0x8F three,
// 0xA1–0xFE two, anything else one. A trail that is not a trail byte ends the character
// early, so a broken lead never swallows the line end or '<' that follows it.
size_t EucCharLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = *p;
    size_t want = 1;
    if (lead == 0x8E || IsEucTrail(lead)) want = 2;
    else if (lead == 0x8F) want = 3;
    size_t n = 1;
    while (n < want && p + n < end && IsEucTrail(p[n])) ++n;
    return n;
}

// Rows 89–92 (lead bytes 0xF9–0xFC) hold the IBM kanji as Microsoft's EUC writes them;
// EUC-JP-MS would turn them into private-use characters, so they are converted here.
bool IsIbmRowChar(const unsigned char* p, const unsigned char* end) {
    return *p >= 0xF9 && *p <= 0xFC && EucCharLength(p, end) == 2;
}

// Shift_JIS bytes of JIS row/cell (both 1–94).
void JisToSjis(int row, int cell, char out[2]) {
    const int lead = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
    int trail = 0;
    if (row % 2 == 1) trail = cell + 0x3F + (cell >= 64 ? 1 : 0);
    else trail = cell + 0x9E;
    out[0] = static_cast<char>(lead);
    out[1] = static_cast<char>(trail);
}

// Skips ASCII eight bytes at a time: pages are mostly markup.
const unsigned char* SkipAscii(const unsigned char* p, const unsigned char* end) {
    while (end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (word & 0x8080808080808080ULL) break;
        p += 8;
    }
    while (p < end && *p < 0x80) ++p;
    return p;
}

class EucToCp932 {
public:
    EucToCp932(char* out, size_t capacity) : out_(out), left_(capacity) {}
    ~EucToCp932() {
        if (main_ != kNoDescriptor) iconv_close(main_);
        if (ibm_ != kNoDescriptor) iconv_close(ibm_);
    }
    EucToCp932(const EucToCp932&) = delete;
    EucToCp932& operator=(const EucToCp932&) = delete;

    size_t Convert(const unsigned char* in, size_t length);

private:
    bool Put(const char* bytes, size_t n);
    bool ConvertRun(const unsigned char* begin, const unsigned char* runEnd, const unsigned char* end);
    bool ConvertIbmRow(const unsigned char* p);

    char* out_;
    size_t left_;
    size_t written_ = 0;
    iconv_t main_ = kNoDescriptor;
    iconv_t ibm_ = kNoDescriptor;
};

bool EucToCp932::Put(const char* bytes, size_t n) {
    if (n > left_) return false;
    std::memcpy(out_, bytes, n);
    out_ += n;
    left_ -= n;
    written_ += n;
    return true;
}

// Converts [begin, runEnd) through iconv; end is the end of the whole input, which tells
// a character cut off by the input's end from one cut off by the run's end.
bool EucToCp932::ConvertRun(const unsigned char* begin, const unsigned char* runEnd, const unsigned char* end) {
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(begin));
    size_t inLeft = static_cast<size_t>(runEnd - begin);
    while (inLeft > 0) {
        char* outBefore = out_;
        const size_t rc = iconv(main_, &in, &inLeft, &out_, &left_);
        written_ += static_cast<size_t>(out_ - outBefore);
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) return false;
        // EILSEQ (no CP932 form, or malformed) or EINVAL (cut off at the end): one 〓, skip
        // the character, go on.
        if (!Put(kGeta, sizeof kGeta)) return false;
        const size_t skip = EucCharLength(reinterpret_cast<const unsigned char*>(in), end);
        in += skip;
        inLeft = skip < inLeft ? inLeft - skip : 0;
        iconv(main_, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

// Rows 89–92 map to CP932's NEC-selected IBM rows by the JIS arithmetic; a CP932 round
// trip then gives the code Windows writes for the character (髙 0xFB 0xFC, not 0xEE 0xE0).
bool EucToCp932::ConvertIbmRow(const unsigned char* p) {
    if (ibm_ == kNoDescriptor) ibm_ = iconv_open("CP932", "CP932");
    char sjis[2];
    JisToSjis(p[0] - 0xA0, p[1] - 0xA0, sjis);
    char converted[8];
    char* in = sjis;
    size_t inLeft = sizeof sjis;
    char* out = converted;
    size_t outLeft = sizeof converted;
    if (ibm_ == kNoDescriptor || iconv(ibm_, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) ||
        out == converted) {
        if (ibm_ != kNoDescriptor) iconv(ibm_, nullptr, nullptr, nullptr, nullptr);
        return Put(kGeta, sizeof kGeta);
    }
    return Put(converted, static_cast<size_t>(out - converted));
}

size_t EucToCp932::Convert(const unsigned char* in, size_t length) {
    main_ = iconv_open("CP932", "EUC-JP-MS");
    if (main_ == kNoDescriptor) return 0;
    const unsigned char* end = in + length;
    const unsigned char* runStart = in;
    const unsigned char* p = in;
    while ((p = SkipAscii(p, end)) < end) {
        if (!IsIbmRowChar(p, end)) {
            p += EucCharLength(p, end);
            continue;
        }
        if (!ConvertRun(runStart, p, end) || !ConvertIbmRow(p)) return written_;
        p += 2;
        runStart = p;
    }
    ConvertRun(runStart, end, end);
    return written_;
}

}  // namespace

extern "C" size_t jconv(int from, const char* in, size_t length, int to, char* out) {
    if (from != kJconvEucJp || to != kJconvShiftJis || in == nullptr || out == nullptr || length == 0) return 0;
    // Every input byte gives at most two output bytes; the 8× room is the caller's promise.
    if (length > static_cast<size_t>(-1) / 8) return 0;
    EucToCp932 converter(out, length * 8);
    return converter.Convert(reinterpret_cast<const unsigned char*>(in), length);
}
