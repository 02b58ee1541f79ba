#include "platform/HttpDates.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/Date.h"

namespace mirolanda::platform {
namespace {

std::optional<long long> Digits(std::string_view text) {
    long long value = 0;
    if (text.empty() || text.size() > 12) return std::nullopt;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

int MonthNumber(std::string_view name) {
    static constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (size_t i = 0; i < kMonths.size(); ++i)
        if (kMonths[i] == name) return static_cast<int>(i) + 1;
    return 0;
}

}  // namespace

std::optional<long long> ParseHttpDate(std::string_view text) {
    // "Sun, 06 Nov 1994 08:49:37 GMT": fixed columns.
    text = Trim(text);
    if (text.size() != 29 || text[3] != ',' || text[4] != ' ' || text[7] != ' ' || text[11] != ' ' ||
        text[16] != ' ' || text[19] != ':' || text[22] != ':' || text.substr(25) != " GMT")
        return std::nullopt;
    auto day = Digits(text.substr(5, 2));
    const int month = MonthNumber(text.substr(8, 3));
    auto year = Digits(text.substr(12, 4));
    auto hour = Digits(text.substr(17, 2));
    auto minute = Digits(text.substr(20, 2));
    auto second = Digits(text.substr(23, 2));
    if (!day || !month || !year || !hour || !minute || !second) return std::nullopt;
    if (!IsValidDate(static_cast<int>(*year), month, static_cast<int>(*day)) || *hour > 23 || *minute > 59 ||
        *second > 60)
        return std::nullopt;
    return SecondsFromCivil(DateTime{{static_cast<int>(*year), month, static_cast<int>(*day)}, static_cast<int>(*hour),
                                     static_cast<int>(*minute), static_cast<int>(*second)});
}

std::optional<long> ParseRetryAfter(std::string_view value, long long now) {
    value = Trim(value);
    if (auto seconds = Digits(value)) return static_cast<long>(std::min<long long>(*seconds, 1LL << 30));
    auto when = ParseHttpDate(value);
    if (!when) return std::nullopt;
    return static_cast<long>(std::clamp<long long>(*when - now, 0, 1LL << 30));
}

}  // namespace mirolanda::platform
