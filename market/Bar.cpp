#include "market/Bar.h"

#include <cstdlib>

#include "platform/TextFields.h"

namespace mirolanda::market {

int64_t WholeYen(Tenths price) {
    const int64_t yen = price / 10;
    const int64_t rest = price % 10;  // same sign as price
    if (rest > 5 || (rest == 5 && yen % 2 != 0)) return yen + 1;
    if (rest < -5 || (rest == -5 && yen % 2 != 0)) return yen - 1;
    return yen;
}

std::string FormatTenths(Tenths price) {
    const int64_t magnitude = price < 0 ? -price : price;
    std::string text = (price < 0 ? "-" : "") + std::to_string(magnitude / 10);
    if (magnitude % 10 != 0) text += "." + std::to_string(magnitude % 10);
    return text;
}

std::optional<Tenths> ParseTenths(std::string_view text) {
    text = platform::TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    constexpr int64_t kMax = int64_t{1} << 53;
    int64_t tenths = 0;
    size_t i = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, digits = true) {
        tenths = tenths * 10 + (text[i] - '0');
        if (tenths > kMax) return std::nullopt;
    }
    tenths *= 10;
    if (i < text.size() && text[i] == '.') {
        int place = 0;
        int next = -1;  // the hundredths digit, for rounding
        bool restNonZero = false;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++place, digits = true) {
            const int d = text[i] - '0';
            if (place == 0) tenths += d;
            else if (place == 1) next = d;
            else if (d != 0) restNonZero = true;
        }
        if (next > 5 || (next == 5 && (restNonZero || tenths % 2 != 0))) ++tenths;
    }
    if (!digits || i != text.size() || tenths > kMax * 10) return std::nullopt;
    return negative ? -tenths : tenths;
}

}  // namespace mirolanda::market
