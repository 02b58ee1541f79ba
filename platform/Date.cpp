#include "platform/Date.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace mirolanda::platform {
namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::optional<int> Digits(std::string_view text) {
    int value = 0;
    if (text.empty()) return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

// Howard Hinnant's days_from_civil / civil_from_days.
long DaysFromCivil(const Date& date) {
    long y = date.Year - (date.Month <= 2 ? 1 : 0);
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long mp = (date.Month + 9) % 12;
    long doy = (153 * mp + 2) / 5 + date.Day - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date CivilFromDays(long days) {
    days += 719468;
    long era = (days >= 0 ? days : days - 146096) / 146097;
    long doe = days - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long y = yoe + era * 400;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return Date{static_cast<int>(y + (m <= 2 ? 1 : 0)), m, d};
}

Date AddDays(const Date& date, long days) {
    return CivilFromDays(DaysFromCivil(date) + days);
}

int Weekday(const Date& date) {
    long w = (DaysFromCivil(date) + 4) % 7;  // 1970-01-01 was a Thursday
    return static_cast<int>(w < 0 ? w + 7 : w);
}

std::string FormatYmd(const Date& date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", date.Year, date.Month, date.Day);
    return buf;
}

std::string FormatSlashed(const Date& date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", date.Year, date.Month, date.Day);
    return buf;
}

std::string FormatDashed(const Date& date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
    return buf;
}

std::string FormatHhMm(const DateTime& time) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", time.Hour, time.Minute);
    return buf;
}

std::optional<Date> ParseYmd(std::string_view text) {
    if (text.size() != 8) return std::nullopt;
    auto y = Digits(text.substr(0, 4)), m = Digits(text.substr(4, 2)), d = Digits(text.substr(6, 2));
    if (!y || !m || !d || !IsValidDate(*y, *m, *d)) return std::nullopt;
    return Date{*y, *m, *d};
}

namespace {

std::optional<Date> ParseSeparated(std::string_view text, char separator) {
    if (text.size() != 10 || text[4] != separator || text[7] != separator) return std::nullopt;
    auto y = Digits(text.substr(0, 4)), m = Digits(text.substr(5, 2)), d = Digits(text.substr(8, 2));
    if (!y || !m || !d || !IsValidDate(*y, *m, *d)) return std::nullopt;
    return Date{*y, *m, *d};
}

}  // namespace

std::optional<Date> ParseSlashed(std::string_view text) { return ParseSeparated(text, '/'); }

std::optional<Date> ParseDashed(std::string_view text) { return ParseSeparated(text, '-'); }

std::optional<Date> DataDateUnder(const DateTime& now, const std::function<bool(const Date&)>& isBusiness) {
    Date candidate = now.Day;
    if (now.Hour * 100 + now.Minute < 900) candidate = AddDays(candidate, -1);
    for (int step = 0; step <= kDataDateStepsBack; ++step) {
        if (!IsValidDate(candidate.Year, candidate.Month, candidate.Day)) break;
        if (isBusiness(candidate)) return candidate;
        candidate = AddDays(candidate, -1);
    }
    return std::nullopt;
}

DateTime TokyoDateTime(std::time_t utcSeconds) {
    constexpr long kTokyoOffset = 9 * 3600;  // UTC+9 all year: Japan keeps no daylight saving
    return AddSeconds(DateTime{{1970, 1, 1}, 0, 0, 0}, static_cast<long>(utcSeconds) + kTokyoOffset);
}

DateTime SystemClock::Now() const { return TokyoDateTime(std::time(nullptr)); }

long SecondsFromCivil(const DateTime& time) {
    return DaysFromCivil(time.Day) * 86400L + time.Hour * 3600L + time.Minute * 60L + time.Second;
}

DateTime AddSeconds(const DateTime& time, long seconds) {
    const long total = SecondsFromCivil(time) + seconds;
    const long days = total >= 0 ? total / 86400 : (total - 86399) / 86400;
    const long rest = total - days * 86400;
    return {CivilFromDays(days), static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60)};
}

void FixedClock::AdvanceSeconds(long seconds) { now_ = AddSeconds(now_, seconds); }

std::optional<DateTime> ParseDateTime(std::string_view text) {
    if (!text.empty() && text[0] == '@') {
        // At most eleven digits, so that the day stays within the years dates can hold.
        const std::string_view digits = text.substr(1);
        long long seconds = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
        if (digits.empty() || digits.size() > 11 || digits[0] == '-' || error != std::errc() ||
            end != digits.data() + digits.size()) {
            return std::nullopt;
        }
        return TokyoDateTime(static_cast<std::time_t>(seconds));
    }
    // YYYY-MM-DD HH:MM
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':') return std::nullopt;
    auto y = Digits(text.substr(0, 4)), m = Digits(text.substr(5, 2)), d = Digits(text.substr(8, 2));
    auto hh = Digits(text.substr(11, 2)), mm = Digits(text.substr(14, 2));
    if (!y || !m || !d || !hh || !mm || !IsValidDate(*y, *m, *d) || *hh > 23 || *mm > 59) return std::nullopt;
    return DateTime{Date{*y, *m, *d}, *hh, *mm, 0};
}

}  // namespace mirolanda::platform
