#include "quotesite/HtmlCommon.h"

#include <algorithm>
#include <limits>

namespace mirolanda::quotesite {
namespace {

// Only ASCII letters fold: the texts are UTF-8, and folding a byte of a multibyte
// character would change which character it is.
char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool SameNoCase(char a, char b) { return AsciiUpper(a) == AsciiUpper(b); }

}  // namespace

size_t FindNoCase(std::string_view text, std::string_view key, size_t from) {
    if (from > text.size()) return std::string_view::npos;
    auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), key.begin(), key.end(), SameNoCase);
    return it == text.end() && !key.empty() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

size_t FindLastNoCase(std::string_view text, std::string_view key) {
    auto it = std::find_end(text.begin(), text.end(), key.begin(), key.end(), SameNoCase);
    return it == text.end() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

std::string LineReader::ReadLine() {
    if (AtEnd()) return {};
    return lines_[pos_++];
}

std::string FindLine(LineReader& file, std::string_view key) {
    std::string line;
    while (!file.AtEnd()) {
        line = file.ReadLine();
        if (FindNoCase(line, key) != std::string_view::npos) break;
    }
    // A match on the last line counts as no match: nothing of the row would follow it.
    return file.AtEnd() ? std::string() : line;
}

std::string TextBetween(std::string_view text, std::string_view start, std::string_view end) {
    if (text.empty()) return {};
    size_t at = FindNoCase(text, start);
    if (at == std::string_view::npos) return {};
    // Look for the end marker after the start marker, so the two can never overlap.
    size_t from = at + start.size();
    size_t stop = FindNoCase(text, end, from);
    if (stop == std::string_view::npos) return {};
    return std::string(text.substr(from, stop - from));
}

std::string StripTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inTag = false;
    for (char c : text) {
        if (inTag) {
            if (c == '>') inTag = false;
        } else if (c == '<') {
            inTag = true;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

int64_t ParseNumber(std::string_view text) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    bool seenDigit = false;
    for (char c : text) {
        if (IsDigit(c)) {
            int digit = c - '0';
            // Saturate instead of wrapping: a huge number must stay huge so callers can refuse it.
            value = (value > (kMax - digit) / 10) ? kMax : value * 10 + digit;
            seenDigit = true;
        } else if (c != ',' && seenDigit) {
            break;
        }
    }
    return value;
}

}  // namespace mirolanda::quotesite
