#include "bonus/FieldList.h"

#include "platform/SjisText.h"

namespace mirolanda::bonus {

std::string Trim(std::string_view text) {
    return std::string(platform::TrimBlanks(text));
}

std::string QuoteField(std::string_view text) {
    // Appended piece by piece: GCC 12 misreads "\"" + string as an overlapping copy.
    std::string out = "\"";
    out += platform::QuotableText(text);
    out += '"';
    return out;
}

std::optional<long> WholeInteger(std::string_view text, long low, long high) {
    std::string t = Trim(text);
    std::string_view digits = t;
    bool negative = !digits.empty() && digits.front() == '-';
    if (negative) digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::string FitChars(std::string_view text, size_t width) {
    std::string out;
    size_t chars = 0;
    for (size_t i = 0; i < text.size() && chars < width;) {
        size_t length = 1;
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0) length = 4;
        else if (lead >= 0xE0) length = 3;
        else if (lead >= 0xC0) length = 2;
        if (i + length > text.size()) length = text.size() - i;
        out.append(text.substr(i, length));
        i += length;
        ++chars;
    }
    out.append(width - chars, ' ');
    return out;
}

}  // namespace mirolanda::bonus
