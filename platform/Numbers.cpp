#include "platform/Numbers.h"

#include "platform/TextFields.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace mirolanda::platform {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the numeric text at the start of `text` (sign, digits, point, digits), 0 when
// no digit is among them.
size_t NumericPrefix(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        size_t afterPoint = i + 1;
        size_t fraction = 0;
        while (afterPoint + fraction < text.size() && IsDigit(text[afterPoint + fraction])) ++fraction;
        if (digits + fraction > 0) i = afterPoint + fraction;
        digits += fraction;
    }
    return digits > 0 ? i : 0;
}

// Reads a numeric text as found by NumericPrefix; values too large for a double give ±inf.
double ReadNumeric(std::string_view numeric) {
    bool negative = !numeric.empty() && numeric[0] == '-';
    if (!numeric.empty() && (numeric[0] == '-' || numeric[0] == '+')) numeric.remove_prefix(1);
    double value = 0;
    auto result = std::from_chars(numeric.data(), numeric.data() + numeric.size(), value);
    if (result.ec == std::errc::result_out_of_range) value = std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    text = SkipBlanks(text);
    size_t length = NumericPrefix(text);
    return length == 0 ? 0.0 : ReadNumeric(text.substr(0, length));
}

std::optional<double> WholeNumber(std::string_view text) {
    text = SkipBlanks(text);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    size_t length = NumericPrefix(text);
    if (length == 0 || length != text.size()) return std::nullopt;
    return ReadNumeric(text);
}

std::optional<int64_t> RoundHalfEven(double value, int64_t low, int64_t high) {
    if (!std::isfinite(value)) return std::nullopt;
    // nearbyint rounds in the default mode, which sends halves to the even neighbour.
    double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high)) return std::nullopt;
    return static_cast<int64_t>(rounded);
}

namespace {

template <typename Int>
Int CellToInt(std::string_view text) {
    constexpr auto low = std::numeric_limits<Int>::min();
    constexpr auto high = std::numeric_limits<Int>::max();
    double value = LeadingNumber(text);
    if (auto rounded = RoundHalfEven(value, low, high)) return static_cast<Int>(*rounded);
    return value < 0 ? low : high;
}

}  // namespace

int32_t CellToInt32(std::string_view text) {
    return CellToInt<int32_t>(text);
}

int16_t CellToInt16(std::string_view text) {
    return CellToInt<int16_t>(text);
}

long LeadingInteger(std::string_view text, long fallback) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return fallback;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > 100000000000L) break;  // far beyond any setting; never overflow
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

std::string FormatNumber(double value) {
    if (value == 0) return "0";  // no "-0"
    // Fixed notation: the shortest form would write 100000 as "1e+05", which every reader of
    // a cell takes for 1. The buffer holds any finite double written out in full.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

std::optional<long> WholeInteger(std::string_view text, long low, long high) {
    std::string_view digits = TrimBlanks(text);
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

}  // namespace mirolanda::platform
